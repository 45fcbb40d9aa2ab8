#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Display names, pages and labels shared by the whole updater application.
// Made at static initialisation, so they hold the English texts; whoever
// shows one translates it there if needed. Never changed at run time.

// The maker's web site; every page below is this host followed by a path.
extern const QString MovraWebHost;
// The organisation domain given to the application object.
extern const QString MovraOrganizationDomain;

// The device-row name of the FPGA-based types.
extern const QString FpgaLabel;

namespace nsUpdater {

enum PluginIdentifier : int {
    OrvexAnalyzer = 0,
    TilmarAnalyzer = 1,
    PracelAnalyzer = 2,
    MovraFileEditor = 3,
};

enum SoftwareIdentifier : int {
    MovraTessaly = 0,
    MovraMaintenanceTool = 1,
    MovraMemoryManager = 2,
    Velim = 3,
};

} // namespace nsUpdater

// Plugin names as the plugins report them and the plugin catalogue keys them.
extern const QMap<nsUpdater::PluginIdentifier, QString> PluginNames;
// Program names as the software catalogue keys them, and their pages.
extern const QMap<nsUpdater::SoftwareIdentifier, QString> SoftwareNames;
extern const QMap<nsUpdater::SoftwareIdentifier, QString> SoftwareWebPages;
// The acquisition program's page, also shown as the page of every plugin.
extern const QString AcquisitionSoftwareWebPage;

// The two column headers of the devices, plugins and software trees.
extern const QStringList TreeHeaderLabels;
