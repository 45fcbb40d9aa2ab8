#include "app/updater/DisplayTables.h"

#include "firmware/core/MovraWebAddress.h"

using namespace nsUpdater;

const QString MovraWebHost = QStringLiteral(MOVRA_WEB_HOST);
const QString MovraOrganizationDomain = QStringLiteral(MOVRA_ORGANIZATION_DOMAIN);

const QMap<DeviceIdentifier, QString> DeviceIdentifierNames {
    { AssistedRotaryJoint, QStringLiteral("Assisted Rotary Joint") },
    { KZR410, QStringLiteral("KZR410") },
    { NXLT, QStringLiteral("NXLT") },
    { Bootloader, QStringLiteral("Bootloader") },
    { Camera, QStringLiteral("Camera") },
    { Channels, QStringLiteral("Channel(s)") },
    { Console, QStringLiteral("Console") },
    { EEPROMMemoryManager, QStringLiteral("EEPROM Memory Manager") },
    { ElectrophysiologyConsole, QStringLiteral("Electrophysiology Console") },
    { FiberPhotometryConsole, QStringLiteral("Fiber Photometry Console") },
    { GQZ, QStringLiteral("GQZ") },
    { GQZ2, QStringLiteral("GQZ2") },
    { GQZ3, QStringLiteral("GQZ3") },
    { GQZ3KAVOR, QStringLiteral("GQZ3 KAVOR") },
    { IMU, QStringLiteral("IMU") },
    { LightSource, QStringLiteral("Light Source") },
    { KAVOR, QStringLiteral("KAVOR") },
    { Motherboard, QStringLiteral("Motherboard") },
    { TV720, QStringLiteral("TV720") },
    { HKTR, QStringLiteral("HKTR") },
    { USB3Driver, QStringLiteral("USB3 Driver") },
    { Sarvanti, QStringLiteral("Sarvanti") },
    { YLQSAGen2, QStringLiteral("YLQSA Gen2") },
    { KOTWGen3, QStringLiteral("KOTW Gen3") },
    { ZuvoBasestation, QStringLiteral("Zuvo Basestation") },
    { SarvantiGen2, QStringLiteral("Sarvanti Gen2") },
};

namespace {

QString productPage(const char* product)
{
    return MovraWebHost + QStringLiteral("/collections/hardware/products/") + QLatin1String(product);
}

} // namespace

// Types without a page of their own point to the site root; the GQZ3 KAVOR and
// the second Sarvanti share the page of their base model.
const QMap<DeviceIdentifier, QString> DeviceIdentifierWebPages {
    { AssistedRotaryJoint, productPage("assisted-rotary-joint") },
    { KZR410, productPage("kzr410") },
    { NXLT, productPage("nxlt") },
    { Bootloader, MovraWebHost },
    { Camera, productPage("cameras") },
    { Channels, MovraWebHost },
    { Console, MovraWebHost },
    { EEPROMMemoryManager, MovraWebHost },
    { ElectrophysiologyConsole, productPage("electrophysiology-console") },
    { FiberPhotometryConsole, productPage("fiber-photometry-console") },
    { GQZ, productPage("gqz") },
    { GQZ2, productPage("gqz2") },
    { GQZ3, productPage("gqz3") },
    { GQZ3KAVOR, productPage("gqz3") },
    { IMU, MovraWebHost },
    { LightSource, productPage("light-source") },
    { KAVOR, productPage("kavor") },
    { Motherboard, MovraWebHost },
    { TV720, productPage("tv720") },
    { HKTR, productPage("hktr") },
    { USB3Driver, MovraWebHost },
    { Sarvanti, productPage("sarvanti") },
    { YLQSAGen2, MovraWebHost },
    { KOTWGen3, productPage("kotw-gen3") },
    { ZuvoBasestation, MovraWebHost },
    { SarvantiGen2, productPage("sarvanti") },
};

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
