#pragma once

#include "app/installed/PluginFolders.h"
#include "app/updater/DisplayTables.h"

#include <QDir>
#include <QMap>
#include <QObject>
#include <QString>

// Finds the installed versions of the acquisition program's plugins by
// loading every file of its plugin folder as a Qt plugin and asking those
// that implement AbstractPluginModuleFactory for their name and version.
class InstalledPluginScanner : public QObject
{
    Q_OBJECT

public:
    explicit InstalledPluginScanner(QObject* parent = nullptr);

    // The acquisition program's local data folder: "Movra Tessaly" beside
    // this program's own local data folder.
    static QString acquisitionDataFolder();
    // The plugin folder of a standard installation under the root that holds
    // the maker's programs.
    static QString defaultPluginFolder(const QString& installationRoot = nsUpdater::installationRoot());
    // The content of the path file "QXL_Path" in the data folder, as it is,
    // followed by "/plugins"; the default folder when there is no readable
    // path file or its content contains "QXL_Master".
    static QString pluginFolder(const QString& acquisitionDataFolder = InstalledPluginScanner::acquisitionDataFolder(),
                                const QString& installationRoot = nsUpdater::installationRoot());

    // Loads each file of the folder; stores in *version the version of the
    // last plugin listed whose name contains pluginName (case-sensitive).
    // Returns false, leaving *version alone, when none does.
    static bool scanInstalledPlugins(const QDir& folder, const QString& pluginName, QString* version);

    // The installed version of every plugin of PluginNames, in key order;
    // the missing-version marker for those not found.
    static QMap<nsUpdater::PluginIdentifier, QString> installedPluginVersions(const QDir& folder);

    // A plugin row is marked installed when its version is not the marker.
    static bool isInstalled(const QString& installedVersion);
};
