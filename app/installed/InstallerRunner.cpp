#include "app/installed/InstallerRunner.h"

#include "app/updater/VEKUpdaterWidgetTexts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

const char* const InstallerPathProperty = "installerPath";

void removeInstaller(const QString& path)
{
    if (QFile::exists(path))
        QFile::remove(path);
}

} // namespace

InstallerRunner::InstallerRunner(QObject* parent)
    : QObject(parent)
{
}

bool InstallerRunner::isRunning(const QString& installerPath) const
{
    const QList<QProcess*> processes = findChildren<QProcess*>(QString(), Qt::FindDirectChildrenOnly);
    for (const QProcess* process : processes) {
        if (process->property(InstallerPathProperty).toString() == installerPath
            && process->state() != QProcess::NotRunning)
            return true;
    }
    return false;
}

void InstallerRunner::startInstaller(const QString& installerPath)
{
#ifdef Q_OS_UNIX
    if (QFile::exists(installerPath)) {
        QFile::setPermissions(installerPath,
                              QFile::permissions(installerPath) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    }
#endif
    // One process per installer, so a second one does not cut the first short.
    auto* process = new QProcess(this);
    process->setProperty(InstallerPathProperty, installerPath);
    connect(process, &QProcess::errorOccurred, this, [this, process, installerPath](QProcess::ProcessError error) {
        onInstallerErrorOccurred(process, installerPath, error);
    });
    connect(process, &QProcess::finished, this,
            [this, process, installerPath]() { onInstallerFinished(process, installerPath); });
    process->start(installerPath, QStringList(), QIODevice::ReadWrite);
}

void InstallerRunner::onInstallerErrorOccurred(QProcess* process, const QString& installerPath,
                                               QProcess::ProcessError error)
{
    // Every other error of a started process ends in finished().
    if (error != QProcess::FailedToStart)
        return;
    const QString reason = process->errorString();
    removeInstaller(installerPath);
    process->deleteLater();
    emit sendInstallerStartFailed(installerPath, VEKUpdaterWidgetTexts::tr("The installer %1 could not be started: %2")
                                                     .arg(QFileInfo(installerPath).fileName(), reason));
}

void InstallerRunner::onInstallerFinished(QProcess* process, const QString& installerPath)
{
    removeInstaller(installerPath);
    process->deleteLater();
    emit sendInstallerFinished(installerPath);
}
