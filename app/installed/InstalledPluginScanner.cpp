#include "app/installed/InstalledPluginScanner.h"

#include "app/installed/AbstractPluginModuleFactory.h"
#include "app/updater/VersionComparison.h"

#include <QFile>
#include <QFileInfo>
#include <QPluginLoader>
#include <QStandardPaths>

InstalledPluginScanner::InstalledPluginScanner(QObject* parent)
    : QObject(parent)
{
}

QString InstalledPluginScanner::acquisitionDataFolder()
{
    const QString own = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return QFileInfo(own).absolutePath() + QStringLiteral("/Movra Tessaly");
}

QString InstalledPluginScanner::defaultPluginFolder(const QString& installationRoot)
{
    return installationRoot + QStringLiteral("/Movra Tessaly/plugins");
}

QString InstalledPluginScanner::pluginFolder(const QString& acquisitionDataFolder, const QString& installationRoot)
{
    const QString fallback = defaultPluginFolder(installationRoot);
    const QDir dataFolder(acquisitionDataFolder);
    if (!dataFolder.exists())
        return fallback;
    QFile pathFile(dataFolder.filePath(QStringLiteral("QXL_Path")));
    if (!pathFile.open(QIODevice::ReadOnly))
        return fallback;
    // The acquisition program writes the path as it is; take it untrimmed.
    const QString content = QString::fromUtf8(pathFile.readAll());
    if (content.contains(QStringLiteral("QXL_Master")))
        return fallback;
    return content + QStringLiteral("/plugins");
}

bool InstalledPluginScanner::scanInstalledPlugins(const QDir& folder, const QString& pluginName, QString* version)
{
    bool found = false;
    const QFileInfoList files = folder.entryInfoList(QDir::Files, QDir::NoSort);
    for (const QFileInfo& file : files) {
        QPluginLoader loader(file.absoluteFilePath());
        QObject* instance = loader.instance();
        if (!instance)
            continue;
        auto* factory = qobject_cast<AbstractPluginModuleFactory*>(instance);
        // Plugins of another interface are not ours to delete.
        if (!factory)
            continue;
        if (factory->pluginName().contains(pluginName)) {
            if (version)
                *version = factory->pluginVersion();
            found = true;
        }
        // The loader stays loaded; the plugin makes a new instance if asked again.
        delete instance;
    }
    return found;
}

QMap<nsUpdater::PluginIdentifier, QString> InstalledPluginScanner::installedPluginVersions(const QDir& folder)
{
    QMap<nsUpdater::PluginIdentifier, QString> versions;
    for (auto it = PluginNames.constBegin(); it != PluginNames.constEnd(); ++it) {
        QString version = nsUpdater::MissingVersionMarker;
        scanInstalledPlugins(folder, it.value(), &version);
        versions.insert(it.key(), version);
    }
    return versions;
}

bool InstalledPluginScanner::isInstalled(const QString& installedVersion)
{
    return installedVersion != nsUpdater::MissingVersionMarker;
}
