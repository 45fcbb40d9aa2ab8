#include "app/updater/VersionComparison.h"

#include "app/updater/VEKUpdaterWidgetTexts.h"
#include "firmware/core/ProgressDialogTexts.h"

#include <QCoreApplication>
#include <QStringList>

namespace nsUpdater {

QList<int> parseVersion(const QString& version)
{
    QList<int> numbers;
    const QStringList parts = version.split(QLatin1Char('.'), Qt::KeepEmptyParts);
    numbers.reserve(parts.size());
    for (const QString& part : parts)
        numbers.append(part.toInt()); // 0 when the part is no integer
    return numbers;
}

bool isNewerVersion(const QString& installedVersion, const QString& availableVersion)
{
    if (availableVersion == MissingVersionMarker)
        return false;
    if (installedVersion == MissingVersionMarker)
        return true;
    const QList<int> installed = parseVersion(installedVersion);
    const QList<int> available = parseVersion(availableVersion);
    const qsizetype length = qMin(installed.size(), available.size());
    for (qsizetype i = 0; i < length; ++i) {
        if (available.at(i) != installed.at(i))
            return available.at(i) > installed.at(i);
    }
    return false;
}

QString updateStatusText(const QString& installedVersion, const QString& availableVersion)
{
    if (availableVersion.contains(MissingVersionMarker) && !installedVersion.contains(MissingVersionMarker))
        return VEKUpdaterWidgetTexts::tr("Update(s) not checked yet");
    if (isNewerVersion(installedVersion, availableVersion))
        return VEKUpdaterWidgetTexts::tr("New version(s) available");
    return VEKUpdaterWidgetTexts::tr("Already up-to-date");
}

QString displayVersion(const QString& version)
{
    if (version == MissingVersionMarker)
        return ProgressDialogTexts::tr("N/A");
    return version;
}

} // namespace nsUpdater
