#pragma once
// Temporary stand-ins for the shared texts, device types and display tables
// until their own units are in; removed then.

#include <QMap>
#include <QString>

namespace nsUpdater {
enum DeviceIdentifier { AssistedRotaryJoint = 0, SarvantiGen2 = 25 };
}
namespace nsFirmware {
struct DeviceVersions
{
    QString motherboardVersion;
    QString channelVersion;
    QString bootloaderVersion;
};
}
namespace ProgressMessages {
inline const QString NotAvailable = QStringLiteral("N/A");
inline const QString BlankBootloaderVersion = QStringLiteral("-1.-1");
inline const QString DefaultBootloaderVersion = QStringLiteral("2.0");
}

inline const QString StandInHost = QStringLiteral("https://www.movrane.com");
inline const QMap<int, QString> DeviceIdentifierNames = {
    { 0, "Assisted Rotary Joint" }, { 1, "KZR410" }, { 2, "NXLT" }, { 3, "Bootloader" }, { 4, "Camera" },
    { 5, "Channel(s)" }, { 6, "Console" }, { 7, "EEPROM Memory Manager" }, { 8, "Electrophysiology Console" },
    { 9, "Fiber Photometry Console" }, { 10, "GQZ" }, { 11, "GQZ2" }, { 12, "GQZ3" }, { 13, "GQZ3 KAVOR" },
    { 14, "IMU" }, { 15, "Light Source" }, { 16, "KAVOR" }, { 17, "Motherboard" }, { 18, "TV720" }, { 19, "HKTR" },
    { 20, "USB3 Driver" }, { 21, "Sarvanti" }, { 22, "YLQSA Gen2" }, { 23, "KOTW Gen3" }, { 24, "Zuvo Basestation" },
    { 25, "Sarvanti Gen2" }
};
inline const QMap<int, QString> DeviceIdentifierWebPages = [] {
    QMap<int, QString> pages;
    for (int i = 0; i < 26; ++i)
        pages.insert(i, StandInHost + QStringLiteral("/page%1").arg(i));
    return pages;
}();
inline const QMap<int, QString> PluginNames = { { 0, "Orvex Analyzer" }, { 1, "Tilmar Analyzer" },
                                                { 2, "Pracel Analyzer" }, { 3, "Movra File Editor" } };
inline const QMap<int, QString> SoftwareNames = { { 0, "Movra Tessaly" }, { 1, "Movra Maintenance Tool" },
                                                  { 2, "Movra Memory Manager" }, { 3, "velim" } };
inline const QString AcquisitionSoftwareWebPage = StandInHost + "/collections/software/products/movra-tessaly";
inline const QMap<int, QString> SoftwareWebPages = {
    { 0, AcquisitionSoftwareWebPage },
    { 1, StandInHost + "/collections/software/products/movra-maintenance-tool" },
    { 2, AcquisitionSoftwareWebPage },
    { 3, StandInHost + "/collections/software/products/velim" }
};
