#include "app/main/ApplicationIdentity.h"
#include "app/main/ApplicationStyle.h"
#include "app/main/MainWindow.h"
#include "app/updater/DisplayTables.h"
#include "icons/IconFont.h"
#include "icons/QWidgetWithAccessToIconFont.h"
#include "platform/PlatformServices.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLockFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSharedPointer>
#include <QStandardPaths>

namespace {

const QString LockFileName =
    QStringLiteral("%1.lock").arg(QStringLiteral("5D2E8A71-3C9F-4B06-9E14-A7C3D5F1B28E"), 0, QLatin1Char(' '));
const QString PathFileName = QStringLiteral("VEK_Path");
const QString FontResource = QStringLiteral(":/Fonts/Fonts/Lato/Lato-Regular.ttf");
const QStringList SiblingExecutables { QStringLiteral("MovraStudio.exe"), QStringLiteral("MovraTessaly.exe") };

// The two start-up refusals are shown before any translation exists.
const QString SiblingRunningText =
    QStringLiteral("Another Movra Software is already running.\r\nOnly one instance is allowed.");
const QString AlreadyRunningText =
    QStringLiteral("Movra Maintenance Tool is already running.\r\nOnly one instance is allowed.");

void warn(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QString(), text);
    box.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    nsPlatform::attachParentConsole();

    QApplication application(argc, argv);

    QCoreApplication::setOrganizationName(nsUpdater::OrganizationName);
    QCoreApplication::setOrganizationDomain(MovraOrganizationDomain);
    QCoreApplication::setApplicationName(
        QString(nsUpdater::ApplicationRawName).replace(QRegularExpression(QStringLiteral("_")), QStringLiteral(" ")));

    QFontDatabase::addApplicationFont(FontResource);
    QApplication::setFont(QFont(QStringLiteral("Lato"), 8, QFont::Normal, false));

    bool processListRead = false;
    const QStringList processes = nsPlatform::runningProcessNames(&processListRead);
    if (!processListRead || processes.isEmpty())
        return 0;
    for (const QString& name : processes) {
        if (SiblingExecutables.contains(name)) {
            warn(SiblingRunningText);
            return 0;
        }
    }

    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (!QDir(dataFolder).exists())
        QDir().mkpath(dataFolder);

    QLockFile lock(dataFolder + QLatin1Char('/') + LockFileName);
    if (!lock.tryLock(100)) {
        QApplication::beep();
        warn(AlreadyRunningText);
        return 0;
    }

    QFile pathFile(dataFolder + QLatin1Char('/') + PathFileName);
    if (pathFile.exists())
        pathFile.remove();
    if (pathFile.open(QIODevice::ReadWrite)) {
        pathFile.write(QDir::currentPath().toLocal8Bit());
        pathFile.close();
    }

    QSharedPointer<IconFont> iconFont(new IconFont(nullptr));
    iconFont->loadStyleFonts();
    iconFont->setDefaultIconOption(QStringLiteral("color"), QColor(78, 156, 207));
    iconFont->setDefaultIconOption(QStringLiteral("color-disabled"), QColor(81, 96, 112));
    QWidgetWithAccessToIconFont::setIconFontInstance(iconFont);

    nsUpdater::applyApplicationStyle(application);

    QSharedPointer<MainWindow> window(new MainWindow(nullptr));
    window->show();
    const int exitCode = application.exec();
    window.reset();
    return exitCode;
}
