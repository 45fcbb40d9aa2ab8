// The shared display tables and the firmware file-name patterns.
#include "app/updater/DisplayTables.h"
#include "app/updater/FirmwareFilePatterns.h"

#include <QDir>
#include <QtTest>

using namespace nsUpdater;

class TestDisplayTables : public QObject
{
    Q_OBJECT
private slots:
    void pluginsAndSoftware();
    void labels();
    void patternMatches_data();
    void patternMatches();
};

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
