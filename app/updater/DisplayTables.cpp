#include "app/updater/DisplayTables.h"

#include "firmware/core/MovraWebAddress.h"

using namespace nsUpdater;

const QString MovraWebHost = QStringLiteral(MOVRA_WEB_HOST);
const QString MovraOrganizationDomain = QStringLiteral(MOVRA_ORGANIZATION_DOMAIN);

const QString FpgaLabel = QStringLiteral("FPGA");

const QMap<PluginIdentifier, QString> PluginNames {
    { OrvexAnalyzer, QStringLiteral("Orvex Analyzer") },
    { TilmarAnalyzer, QStringLiteral("Tilmar Analyzer") },
    { PracelAnalyzer, QStringLiteral("Pracel Analyzer") },
    { MovraFileEditor, QStringLiteral("Movra File Editor") },
};

const QString AcquisitionSoftwareWebPage =
    MovraWebHost + QStringLiteral("/collections/software/products/movra-tessaly");

const QMap<SoftwareIdentifier, QString> SoftwareNames {
    { MovraTessaly, QStringLiteral("Movra Tessaly") },
    { MovraMaintenanceTool, QStringLiteral("Movra Maintenance Tool") },
    { MovraMemoryManager, QStringLiteral("Movra Memory Manager") },
    { Velim, QStringLiteral("velim") },
};

// The memory manager has no page of its own: it ships with the acquisition program.
const QMap<SoftwareIdentifier, QString> SoftwareWebPages {
    { MovraTessaly, AcquisitionSoftwareWebPage },
    { MovraMaintenanceTool, MovraWebHost + QStringLiteral("/collections/software/products/movra-maintenance-tool") },
    { MovraMemoryManager, AcquisitionSoftwareWebPage },
    { Velim, MovraWebHost + QStringLiteral("/collections/software/products/velim") },
};

const QStringList TreeHeaderLabels { QStringLiteral("Name"), QStringLiteral("Status") };
