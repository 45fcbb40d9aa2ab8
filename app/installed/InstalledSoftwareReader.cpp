#include "app/installed/InstalledSoftwareReader.h"

#include "app/updater/VersionComparison.h"
#include "platform/PlatformServices.h"

#include <QStringList>

InstalledSoftwareReader::InstalledSoftwareReader(const QString& installationRoot, QObject* parent)
    : QObject(parent)
    , m_root(installationRoot + QLatin1Char('/'))
{
}

QString InstalledSoftwareReader::acquisitionSoftwarePath() const
{
    return m_root + QStringLiteral("Movra Tessaly/MovraTessaly.exe");
}

QString InstalledSoftwareReader::olderAcquisitionSoftwarePath() const
{
    return m_root + QStringLiteral("MovraStudio/MovraStudio.exe");
}

QString InstalledSoftwareReader::memoryManagerPath() const
{
    return m_root + QStringLiteral("Movra Memory Manager/MovraMemoryManager.exe");
}

QString InstalledSoftwareReader::analysisSoftwarePath() const
{
    return m_root + QStringLiteral("velim/velim.exe");
}

QString InstalledSoftwareReader::readInstalledAcquisitionSoftwareVersion(bool* installed) const
{
    return readVersion({ acquisitionSoftwarePath(), olderAcquisitionSoftwarePath() }, installed);
}

QString InstalledSoftwareReader::readInstalledMemoryManagerVersion(bool* installed) const
{
    return readVersion({ memoryManagerPath() }, installed);
}

QString InstalledSoftwareReader::readInstalledAnalysisSoftwareVersion(bool* installed) const
{
    return readVersion({ analysisSoftwarePath() }, installed);
}

QString InstalledSoftwareReader::readVersion(const QStringList& paths, bool* installed) const
{
    // The first file whose version resource can be read decides, even when
    // that resource has no fixed block.
    for (const QString& path : paths) {
        const nsPlatform::ExecutableVersion version = nsPlatform::executableVersion(path);
        if (version.hasVersionInformation) {
            if (installed)
                *installed = true;
            return version.fileVersion;
        }
    }
    if (installed)
        *installed = false;
    return nsUpdater::MissingVersionMarker;
}
