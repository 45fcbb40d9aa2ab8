// The shared display tables and the firmware file-name patterns.
#include "app/updater/DisplayTables.h"
#include "app/updater/FirmwareFilePatterns.h"

#include <QDir>
#include <QSet>
#include <QtTest>

using namespace nsUpdater;

class TestDisplayTables : public QObject
{
    Q_OBJECT
private slots:
    void deviceTypes_data();
    void deviceTypes();
    void everyDeviceTypeHasOneRowInKeyOrder();
    void productPagesAreDistinct();
    void pluginsAndSoftware();
    void labels();
    void patternMatches_data();
    void patternMatches();
};

// Page: "own" a product page of its own, "root" the site root, or the id of
// the type whose page it shares.
void TestDisplayTables::deviceTypes_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("page");

    const QList<std::tuple<int, const char*, const char*>> rows {
        { 0, "Assisted Rotary Joint", "own" },
        { 1, "KZR410", "own" },
        { 2, "NXLT", "own" },
        { 3, "Bootloader", "root" },
        { 4, "Camera", "own" },
        { 5, "Channel(s)", "root" },
        { 6, "Console", "root" },
        { 7, "EEPROM Memory Manager", "root" },
        { 8, "Electrophysiology Console", "own" },
        { 9, "Fiber Photometry Console", "own" },
        { 10, "GQZ", "own" },
        { 11, "GQZ2", "own" },
        { 12, "GQZ3", "own" },
        { 13, "GQZ3 KAVOR", "12" },
        { 14, "IMU", "root" },
        { 15, "Light Source", "own" },
        { 16, "KAVOR", "own" },
        { 17, "Motherboard", "root" },
        { 18, "TV720", "own" },
        { 19, "HKTR", "own" },
        { 20, "USB3 Driver", "root" },
        { 21, "Sarvanti", "own" },
        { 22, "YLQSA Gen2", "root" },
        { 23, "KOTW Gen3", "own" },
        { 24, "Zuvo Basestation", "root" },
        { 25, "Sarvanti Gen2", "21" },
    };
    for (const auto& [id, name, page] : rows)
        QTest::addRow("%d %s", id, name) << id << QString::fromLatin1(name) << QString::fromLatin1(page);
}

void TestDisplayTables::deviceTypes()
{
    QFETCH(int, id);
    QFETCH(QString, name);
    QFETCH(QString, page);

    const auto type = DeviceIdentifier(id);
    QVERIFY(DeviceIdentifierNames.contains(type));
    QVERIFY(DeviceIdentifierWebPages.contains(type));
    QCOMPARE(DeviceIdentifierNames.value(type), name);
    const QString address = DeviceIdentifierWebPages.value(type);
    if (page == QLatin1String("root")) {
        QCOMPARE(address, MovraWebHost);
    } else if (page == QLatin1String("own")) {
        QVERIFY2(address.startsWith(MovraWebHost + QLatin1Char('/')), qPrintable(address));
        QVERIFY(address.size() > MovraWebHost.size() + 1);
    } else {
        QCOMPARE(address, DeviceIdentifierWebPages.value(DeviceIdentifier(page.toInt())));
    }
}

void TestDisplayTables::everyDeviceTypeHasOneRowInKeyOrder()
{
    QCOMPARE(DeviceIdentifierNames.size(), 26);
    QCOMPARE(DeviceIdentifierWebPages.size(), 26);
    int expected = 0;
    for (auto it = DeviceIdentifierNames.cbegin(); it != DeviceIdentifierNames.cend(); ++it)
        QCOMPARE(int(it.key()), expected++);
}

void TestDisplayTables::productPagesAreDistinct()
{
    QSet<QString> pages;
    for (const QString& page : DeviceIdentifierWebPages)
        if (page != MovraWebHost)
            pages.insert(page);
    QCOMPARE(pages.size(), 15);
}

void TestDisplayTables::pluginsAndSoftware()
{
    QCOMPARE(PluginNames.values(),
             QStringList({ "Orvex Analyzer", "Tilmar Analyzer", "Pracel Analyzer", "Movra File Editor" }));
    QCOMPARE(PluginNames.firstKey(), OrvexAnalyzer);
    QCOMPARE(SoftwareNames.values(),
             QStringList({ "Movra Tessaly", "Movra Maintenance Tool", "Movra Memory Manager", "velim" }));
    const QString software = MovraWebHost + QStringLiteral("/collections/software/products/");
    QCOMPARE(SoftwareWebPages.values(), QStringList({ software + "movra-tessaly", software + "movra-maintenance-tool",
                                                      software + "movra-tessaly", software + "velim" }));
    QCOMPARE(SoftwareWebPages.value(MovraMemoryManager), SoftwareWebPages.value(MovraTessaly));
    QCOMPARE(AcquisitionSoftwareWebPage, SoftwareWebPages.value(MovraTessaly));
}

void TestDisplayTables::labels()
{
    QCOMPARE(TreeHeaderLabels, QStringList({ "Name", "Status" }));
    QCOMPARE(FpgaLabel, QStringLiteral("FPGA"));
}

void TestDisplayTables::patternMatches_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("matches");

    const QList<std::tuple<QString, const char*>> named {
        { HLX58Gen2FirmwarePattern, "Movra-HLX58_Gen2_Firmware_V1.2.3.hex" },
        { HLX58FirmwarePattern, "Movra-HLX58_Firmware_V1.2.3.hex" },
        { KZR410FirmwarePattern, "Movra-KZR410_Firmware_V1.2.3.hex" },
        { KOTWGen3FirmwarePattern, "Movra-KOTW_Gen3_Firmware_V1.2.3.hex" },
        { HybridChannelFirmwarePattern, "DriverHybridChannel1.2.3.hex" },
        { LightSourceDefaultFirmwarePattern, "Movra-LS_Default_Firmware_V1.2.3.hex" },
        { KAVOROneChannelFirmwarePattern, "Movra-KAVOR_1Ch_Firmware_V1.2.3.hex" },
        { KAVOROnlyFirmwarePattern, "Movra-KAVOR_Only_Firmware_V1.2.3.hex" },
        { HybridMotherboardFirmwarePattern, "DriverHybridMotherboard1.2.3.hex" },
        { KJWFirmwarePattern, "Movra-KJW_Firmware_V1.2.3.hex" },
        { PQWFirmwarePattern, "Movra-PQW_Firmware_V1.2.3.hex" },
        { PQWKAVOROneChannelFirmwarePattern, "Movra-PQW_KAVOR_1Ch_Firmware_V1.2.3.hex" },
        { PQWKAVOROnlyFirmwarePattern, "Movra-PQW_KAVOR_Only_Firmware_V1.2.3.hex" },
        { SarvantiDiskDriverFirmwarePattern, "Movra-Sarvanti_Disk_Driver_Firmware_V1.2.3.hex" },
        { SarvantiDriverFirmwarePattern, "Movra-Sarvanti_Driver_Firmware_V1.2.3.hex" },
        { SarvantiGen2DiskDriverFirmwarePattern, "Movra-Sarvanti_Gen2_Disk_Driver_Firmware_V1.2.3.hex" },
        { SarvantiGen2DriverFirmwarePattern, "Movra-Sarvanti_Gen2_Driver_Firmware_V1.2.3.hex" },
        { FX3ImagePattern, "1.2.3img" },
        { QWMFirmwarePattern, "QWM1.2.3.mcs" },
        { TRZFirmwarePattern, "TRZ1.2.3.mcs" },
        { MicroscopeDriverFirmwarePattern, "MovraMicroscopeDriver1.2.3.mcs" },
    };
    for (const auto& [pattern, fileName] : named)
        QTest::addRow("%s", fileName) << pattern << QString::fromLatin1(fileName) << true;

    QTest::newRow("img with a dot") << FX3ImagePattern << "MovraFX3_Firmware_V1.0.img" << true;
    QTest::newRow("img without a dot") << FX3ImagePattern << "MovraFX3_Firmware_V1.0_img" << true;
    QTest::newRow("img not at the end") << FX3ImagePattern << "firmware.img.bak" << false;
    QTest::newRow("other family") << HLX58FirmwarePattern << "Movra-HLX58_Gen2_Firmware_V1.0.hex" << false;
    QTest::newRow("disk driver is not the driver")
        << SarvantiDriverFirmwarePattern << "Movra-Sarvanti_Disk_Driver_Firmware_V1.0.hex" << false;
    QTest::newRow("wrong extension") << KZR410FirmwarePattern << "Movra-KZR410_Firmware_V1.0.mcs" << false;
    QTest::newRow("mcs is not hex") << QWMFirmwarePattern << "QWM1.0.hex" << false;
}

void TestDisplayTables::patternMatches()
{
    QFETCH(QString, pattern);
    QFETCH(QString, fileName);
    QFETCH(bool, matches);
    QCOMPARE(QDir::match(pattern, fileName), matches);
}

QTEST_GUILESS_MAIN(TestDisplayTables)
#include "tst_displaytables.moc"
