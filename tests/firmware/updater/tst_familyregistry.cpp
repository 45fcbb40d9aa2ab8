#include "device/MovraDeviceInfo.h"
#include "device/usb/UsbIds.h"
#include "firmware/updater/FirmwareFamilyRegistry.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QtTest>

#include <memory>

namespace {

QString classNameOf(AbstractFirmwareCommunicator* made)
{
    const std::unique_ptr<AbstractFirmwareCommunicator> owned(made);
    return owned ? QString::fromLatin1(owned->metaObject()->className()) : QString();
}

} // namespace

// The two factory tables of the updater (version query at a device's
// arrival, update by the adjusted type), for the families this build has;
// every other type gets no communicator.
class TestFamilyRegistry : public QObject
{
    Q_OBJECT

private slots:
    void factories_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("commType");
        QTest::addColumn<QString>("versionQuery");
        QTest::addColumn<QString>("update");

        const int usb = int(CommType::USB);
        const int usb3 = int(CommType::USB3);
        const int ethernet = int(CommType::Ethernet);
        const int serial = int(CommType::Serial);
        const int microchip = nsUsbIds::MicrochipVendorId;
        const int cypress = nsUsbIds::CypressVendorId;
        const QString hlx58 = QStringLiteral("HLX58Communicator");
        const QString nxltv2 = QStringLiteral("NXLTV2Communicator");
        const QString bootloader = QStringLiteral("BootloaderCommunicator");
        const QString pic32 = QStringLiteral("BootloaderPIC32Communicator");
        const QString hktr = QStringLiteral("HKTRCommunicator");
        const QString motherboard = QStringLiteral("MotherboardCommunicator");
        const QString channel = QStringLiteral("LightsourceChannelCommunicator");
        const QString console = QStringLiteral("ConsoleChannelCommunicator");
        const QString oneColor = QStringLiteral("Microscope1ColorCommunicator");
        const QString twoColor = QStringLiteral("Microscope2ColorCommunicator");
        const QString ethernetMicroscope = QStringLiteral("MicroscopeEthernetCommunicator");
        const QString none;

        // firmware/bootloader
        QTest::newRow("0 rotary joint") << 0 << microchip << int(nsUsbIds::HLX58ProductId) << "HLX_58" << usb << hlx58
                                        << hlx58;
        QTest::newRow("22 YLQSA Gen2") << 22 << microchip << int(nsUsbIds::YLQSAGen2ProductId) << "YLQSA" << usb
                                       << hlx58 << hlx58;
        QTest::newRow("1 KZR410") << 1 << microchip << int(nsUsbIds::KZR410ProductId) << "KZR410" << usb << nxltv2
                                  << nxltv2;
        QTest::newRow("23 KOTW Gen3") << 23 << microchip << int(nsUsbIds::KOTWGen3ProductId) << "KOTW" << usb << nxltv2
                                      << nxltv2;
        QTest::newRow("3 PIC32 bootloader")
            << 3 << microchip << int(nsUsbIds::PIC32BootloaderProductId) << "Movra Bootloader" << usb << pic32 << pic32;
        QTest::newRow("3 PIC32 product id, any vendor")
            << 3 << 0 << int(nsUsbIds::PIC32BootloaderProductId) << "Bootloader" << usb << pic32 << pic32;
        QTest::newRow("3 other bootloader")
            << 3 << microchip << int(nsUsbIds::HLX58ProductId) << "Movra Bootloader" << usb << bootloader << bootloader;
        QTest::newRow("3 bootloader without product id")
            << 3 << 0 << 0 << "" << int(CommType::None) << bootloader << bootloader;
        QTest::newRow("21 motor: version query only")
            << 21 << microchip << int(nsUsbIds::SarvantiProductId) << "Sarvanti Motor" << usb << hlx58 << none;
        QTest::newRow("21 disk: version query only")
            << 21 << microchip << int(nsUsbIds::SarvantiSecondProductId) << "Sarvanti Disk" << usb << hlx58 << none;
        QTest::newRow("21 other: pulse generator, version query only")
            << 21 << microchip << int(nsUsbIds::SarvantiProductId) << "Sarvanti" << usb << hktr << none;
        QTest::newRow("21 names are case-sensitive")
            << 21 << microchip << int(nsUsbIds::SarvantiProductId) << "Sarvanti motor disk" << usb << hktr << none;
        QTest::newRow("25 disk") << 25 << microchip << int(nsUsbIds::SarvantiGen2ProductId) << "Sarvanti Gen2 Disk"
                                 << usb << hlx58 << none;
        QTest::newRow("25 motor is not disk") << 25 << microchip << int(nsUsbIds::SarvantiGen2SecondProductId)
                                              << "Sarvanti Gen2 Motor" << usb << nxltv2 << none;

        // firmware/motherboard and firmware/channel
        QTest::newRow("2 NXLT") << 2 << microchip << 0 << "NXLT" << usb << hktr << hktr;
        QTest::newRow("19 HKTR") << 19 << microchip << 0 << "HKTR" << usb << hktr << hktr;
        QTest::newRow("7 memory manager: version query only")
            << 7 << microchip << 0 << "Memory Manager" << usb << motherboard << none;
        QTest::newRow("15 light source") << 15 << microchip << 0 << "Hybrid LED Driver" << usb << channel << channel;
        QTest::newRow("16 KAVOR: motherboard read, channels updated")
            << 16 << microchip << 0 << "KAVOR Driver" << usb << motherboard << channel;
        QTest::newRow("17 motherboard") << 17 << microchip << 0 << "LightSource Driver" << usb << motherboard
                                        << motherboard;

        // firmware/fpga; 10 and 11 on Ethernet read their versions through
        // firmware/microscope.
        QTest::newRow("5 channels") << 5 << microchip << 0 << "Bootloader" << usb << console << console;
        QTest::newRow("6 console") << 6 << microchip << 0 << "Acquisition Console" << usb << console << console;
        QTest::newRow("8 ephys console") << 8 << microchip << 0 << "Console" << usb << console << console;
        QTest::newRow("9 photometry console") << 9 << microchip << 0 << "Console" << usb << console << console;
        QTest::newRow("10 on Ethernet") << 10 << 0 << 0 << "GQZ" << ethernet << ethernetMicroscope << oneColor;
        QTest::newRow("10 on USB") << 10 << microchip << 0 << "GQZ" << usb << twoColor << oneColor;
        QTest::newRow("11 on Ethernet") << 11 << 0 << 0 << "GQZ2" << ethernet << ethernetMicroscope << twoColor;
        QTest::newRow("11 on USB") << 11 << microchip << 0 << "GQZ2" << usb << twoColor << twoColor;

        // firmware/programmer
        const QString imu = QStringLiteral("IMUFirmwareCommunicator");
        const QString fx3 = QStringLiteral("BootCypressFX3Communicator");
        const QString zuvo = QStringLiteral("ZuvoBasestationCommunicator");
        QTest::newRow("14 IMU") << 14 << 0 << int(nsUsbIds::IMUBootloaderProductId) << "IMU" << serial << imu << imu;
        QTest::newRow("20 USB3 driver") << 20 << cypress << int(nsUsbIds::USB3DriverProductId) << "FX3" << usb << fx3
                                        << fx3;
        QTest::newRow("24 Zuvo") << 24 << 0 << int(nsUsbIds::ZuvoBasestationProductId) << "Zuvo" << serial << zuvo
                                 << zuvo;

        // firmware/fx3
        QTest::newRow("18 TV720") << 18 << cypress << int(nsUsbIds::TV720ProductId) << "TV720" << usb3
                                  << "CypressFX3Communicator"
                                  << "CypressFX3Communicator";

        // Not a firmware device: no row.
        QTest::newRow("4 camera") << 4 << 0 << 0 << "Camera" << int(CommType::Camera) << none << none;
        QTest::newRow("no such type") << 26 << microchip << 0 << "Device" << usb << none << none;
        QTest::newRow("negative type") << -1 << microchip << 0 << "Device" << usb << none << none;
    }

    void factories()
    {
        QFETCH(int, type);
        QFETCH(int, vid);
        QFETCH(int, pid);
        QFETCH(QString, name);
        QFETCH(int, commType);
        QFETCH(QString, versionQuery);
        QFETCH(QString, update);

        const auto record =
            DeviceRecordBuilder::on(CommType(commType)).vid(quint16(vid)).pid(quint16(pid)).name(name).build();
        const MovraDeviceInfo& device = *record;

        QCOMPARE(classNameOf(FirmwareFamilyRegistry::createVersionQueryCommunicator(type, device)), versionQuery);
        // The families of this build update alike with or without the
        // motherboard phase.
        QCOMPARE(classNameOf(FirmwareFamilyRegistry::createUpdateCommunicator(type, device, false)), update);
        QCOMPARE(classNameOf(FirmwareFamilyRegistry::createUpdateCommunicator(type, device, true)), update);
    }

    // The USB 3 drivers: versions by register commands; outside the
    // motherboard phase their channel is updated, in it their own firmware
    // through the FX3 bridge.
    void usb3Microscopes_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("12 GQZ3") << 12;
        QTest::newRow("13 GQZ3 KAVOR") << 13;
    }

    void usb3Microscopes()
    {
        QFETCH(int, type);
        const auto record = DeviceRecordBuilder::usb3(nsUsbIds::CypressVendorId, nsUsbIds::GQZ3ProductId).build();
        const MovraDeviceInfo& device = *record;
        QCOMPARE(classNameOf(FirmwareFamilyRegistry::createVersionQueryCommunicator(type, device)),
                 QStringLiteral("MicroscopeUSB3Communicator"));
        QCOMPARE(classNameOf(FirmwareFamilyRegistry::createUpdateCommunicator(type, device, false)),
                 QStringLiteral("MicroscopeUSB3ChannelCommunicator"));
        QCOMPARE(classNameOf(FirmwareFamilyRegistry::createUpdateCommunicator(type, device, true)),
                 QStringLiteral("CypressFX3Communicator"));
    }

    // Every row takes part in a lookup, names its folder, and makes
    // parentless communicators.
    void everyRowIsUsable()
    {
        QVERIFY(FirmwareFamilyRegistry::rows().size() > 0);
        for (const auto& row : FirmwareFamilyRegistry::rows()) {
            QVERIFY(row.versionQuery || row.update);
            QVERIFY(row.family && *row.family);
            for (auto factory : { row.versionQuery, row.update }) {
                if (!factory)
                    continue;
                const std::unique_ptr<AbstractFirmwareCommunicator> made(factory());
                QVERIFY(made);
                QVERIFY(!made->parent());
            }
        }
    }

    // The first row that applies decides: a row after one of the same type
    // that takes every device (in every phase) would never be reached.
    void noRowIsShadowed()
    {
        const auto rows = FirmwareFamilyRegistry::rows();
        for (auto later = rows.begin(); later != rows.end(); ++later) {
            for (auto earlier = rows.begin(); earlier != later; ++earlier) {
                if (earlier->deviceType != later->deviceType || !earlier->condition.isEveryDevice())
                    continue;
                const bool versionQueryShadowed = earlier->versionQuery && later->versionQuery;
                const bool updateShadowed = earlier->update && later->update;
                QVERIFY2(!versionQueryShadowed && !updateShadowed,
                         qPrintable(QStringLiteral("row %1 of type %2 is never reached")
                                        .arg(later - rows.begin())
                                        .arg(later->deviceType)));
            }
        }
    }

    void conditions()
    {
        using Condition = FirmwareFamilyRegistry::Condition;
        using Phase = FirmwareFamilyRegistry::Phase;
        const auto record =
            DeviceRecordBuilder::on(CommType::Ethernet).pid(0x1234).name(QStringLiteral("Sarvanti Disk")).build();
        const MovraDeviceInfo& device = *record;

        QVERIFY(Condition().isEveryDevice());
        QVERIFY(Condition().heldBy(device));
        QVERIFY(Condition().withProductId(0x1234).heldBy(device));
        QVERIFY(!Condition().withProductId(0x1235).heldBy(device));
        QVERIFY(Condition().withNameContainingAny("Motor", "Disk").heldBy(device));
        QVERIFY(!Condition().withNameContainingAny("disk").heldBy(device));
        QVERIFY(Condition().onCommType(CommType::Ethernet).heldBy(device));
        QVERIFY(!Condition().onCommType(CommType::USB).heldBy(device));
        QVERIFY(!Condition().exceptOnCommType(CommType::Ethernet).heldBy(device));
        QVERIFY(Condition().exceptOnCommType(CommType::USB).heldBy(device));
        QVERIFY(!Condition().exceptOnCommType(CommType::USB).isEveryDevice());
        QVERIFY(!Condition().withProductId(0x1234).withNameContainingAny("Motor").heldBy(device));

        const Condition with = Condition().inPhase(Phase::WithMotherboard);
        QVERIFY(!with.isEveryDevice());
        QVERIFY(with.heldBy(device)); // the phase is not a device test
        QVERIFY(with.heldInPhase(true));
        QVERIFY(!with.heldInPhase(false));
        QVERIFY(Condition().inPhase(Phase::WithoutMotherboard).heldInPhase(false));
        QVERIFY(Condition().heldInPhase(true) && Condition().heldInPhase(false));
    }
};

QTEST_GUILESS_MAIN(TestFamilyRegistry)
#include "tst_familyregistry.moc"
