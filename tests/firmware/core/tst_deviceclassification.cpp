#include "firmware/core/AbstractFirmwareCommunicator.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QtTest>

using namespace nsUpdater;

class TestDeviceClassification : public QObject
{
    Q_OBJECT

private slots:
    void classifies_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("release");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("channelFirmware");
        QTest::addColumn<QByteArray>("motherboardFirmware");
        QTest::addColumn<int>("driverType");
        QTest::addColumn<int>("commType");
        QTest::addColumn<int>("expected");

        const int undefined = int(DriverType::Undefined);
        const int usb = int(CommType::USB);
        auto row = [&](const char* tag, int pid, int vid, int release, const QString& name, const QByteArray& channel,
                       const QByteArray& motherboard, int driver, int comm, int expected) {
            QTest::newRow(tag) << pid << vid << release << name << channel << motherboard << driver << comm << expected;
        };

        // One row per rule, in the rules' order.
        row("1 release 3 HKTR", 0x1234, 0x04D8, 3, "HKTR Pulse", "", "", undefined, usb, HKTR);
        row("2 FX3 00F3", 0x00F3, 0x04B4, 0, "", "", "", undefined, usb, USB3Driver);
        row("2 FX3 4720", 0x4720, 0x04B4, 0, "", "", "", undefined, usb, USB3Driver);
        row("3 Sarvanti F347", 0xF347, 0x04D8, 0, "", "", "", undefined, usb, Sarvanti);
        row("3 Sarvanti F568", 0xF568, 0x04D8, 0, "", "", "", undefined, usb, Sarvanti);
        row("4 Sarvanti Gen2 F348", 0xF348, 0x04D8, 0, "", "", "", undefined, usb, SarvantiGen2);
        row("4 Sarvanti Gen2 F810", 0xF810, 0x04D8, 0, "", "", "", undefined, usb, SarvantiGen2);
        row("5 YLQSA F410", 0xF410, 0x04D8, 0, "", "", "", undefined, usb, YLQSAGen2);
        row("6 release 3 NXLT", 0x1234, 0x04D8, 3, "NXLT V2", "", "", undefined, usb, NXLT);
        row("7 release 4", 0x1234, 0x04D8, 4, "", "", "", undefined, usb, Motherboard);
        row("8 release 11", 0x1234, 0x04D8, 11, "", "", "", undefined, usb, KAVOR);
        row("8 release 12", 0x1234, 0x04D8, 12, "", "", "", undefined, usb, KAVOR);
        row("8 release 13", 0x1234, 0x04D8, 13, "", "", "", undefined, usb, KAVOR);
        row("9 release 5", 0x1234, 0x04D8, 5, "", "", "", undefined, usb, Motherboard);
        row("10 release 6", 0x1234, 0x04D8, 6, "", "", "", undefined, usb, AssistedRotaryJoint);
        row("11 TV720", 0x00F2, 0x04D8, 9, "", "", "", undefined, usb, TV720);
        row("12 release 8", 0x1234, 0x04D8, 8, "", "", "", undefined, usb, GQZ3);
        row("13 release 10", 0x1234, 0x04D8, 10, "", "", "", undefined, usb, GQZ3KAVOR);
        row("14 boot Microscope USB3", 0x1234, 0x04D8, 0, "Bootloader", "Microscope USB3 X", "", undefined, usb, GQZ3);
        row("15 boot Microscope2", 0x1234, 0x04D8, 0, "Bootloader", "Microscope2", "", undefined, usb, GQZ2);
        row("16 boot Microscope Dual", 0x1234, 0x04D8, 0, "Bootloader", "Microscope Dual", "", undefined, usb, GQZ2);
        row("17 boot Microscope", 0x1234, 0x04D8, 0, "Bootloader", "Microscope", "", undefined, usb, Channels);
        row("18 boot Console Channel", 0x1234, 0x04D8, 0, "Bootloader", "Console Channel", "", undefined, usb,
            Channels);
        row("19 boot Console Channel V2", 0x1234, 0x04D8, 0, "Bootloader", "Console Channel V2", "", undefined, usb,
            Channels);
        row("20 boot AcquisitionConsole", 0x1234, 0x04D8, 0, "Bootloader", "x AcquisitionConsole", "", undefined, usb,
            Channels);
        row("21 boot", 0x1234, 0x04D8, 0, "Bootloader", "", "", undefined, usb, Bootloader);
        row("22 HKTR name", 0x1234, 0x04D8, 0, "HKTR", "", "", undefined, usb, HKTR);
        row("23 KZR410", 0xF222, 0x04D8, 0, "", "", "", undefined, usb, KZR410);
        row("24 KOTW", 0xF724, 0x04D8, 0, "", "", "", undefined, usb, KOTWGen3);
        row("25 NXLT name", 0x1234, 0x04D8, 0, "my NXLT", "", "", undefined, usb, NXLT);
        row("26 Acquisition Console", 0x1234, 0x04D8, 0, "Acquisition Console", "", "", undefined, usb, Motherboard);
        row("27 Optogenetics DriverM", 0x1234, 0x04D8, 0, "Optogenetics System", "", "LS DriverM", undefined, usb,
            Motherboard);
        row("28 LightSource Driver", 0x1234, 0x04D8, 0, "LightSource Driver", "", "", undefined, usb, Motherboard);
        row("29 HLX_58", 0x1234, 0x04D8, 0, "HLX_58", "", "", undefined, usb, AssistedRotaryJoint);
        row("30 Hybrid LED Driver", 0x1234, 0x04D8, 0, "Hybrid LED Driver", "", "", undefined, usb, LightSource);
        row("31 release 7", 0x1234, 0x04D8, 7, "", "", "", undefined, usb, EEPROMMemoryManager);
        row("32 dual driver", 0, 0, 0, "", "", "", int(DriverType::MicroscopeDualDriver), int(CommType::Ethernet),
            GQZ2);
        row("33 Ethernet", 0, 0, 0, "", "", "", undefined, int(CommType::Ethernet), GQZ);
        row("34 IMU", 0, 0, 0, "", "", "", int(DriverType::IMUDriver), int(CommType::Serial), IMU);
        row("35 Zuvo", 0, 0, 0, "", "", "", int(DriverType::ZuvoBaseStation), int(CommType::Serial), ZuvoBasestation);
        row("36 nothing", 0, 0, 0, "", "", "", undefined, usb, Camera);

        // Edge cases: the order of the rules.
        row("HKTR release 3 before Sarvanti pid", 0xF347, 0x04D8, 3, "HKTR", "", "", undefined, usb, HKTR);
        row("FX3 pid with another vid falls through", 0x00F3, 0x0EB9, 8, "", "", "", undefined, usb, GQZ3);
        row("FX3 pid with another vid only", 0x00F3, 0x0EB9, 0, "", "", "", undefined, usb, Camera);
        row("release 5 before names", 0x1234, 0x04D8, 5, "Hybrid LED Driver", "", "", undefined, usb, Motherboard);
        row("release 3 without a name", 0x1234, 0x04D8, 3, "Device", "", "", undefined, usb, Camera);
        row("Console Channel with more text", 0x1234, 0x04D8, 0, "Bootloader", "Console Channel V3", "", undefined, usb,
            Bootloader);
        row("Bootloader and HKTR name", 0x1234, 0x04D8, 0, "HKTR Bootloader", "", "", undefined, usb, Bootloader);
        row("Bootloader HKTR with channel text", 0x1234, 0x04D8, 0, "HKTR Bootloader", "Microscope", "", undefined, usb,
            Channels);
        row("Bootloader HKTR release 3", 0x1234, 0x04D8, 3, "HKTR Bootloader", "", "", undefined, usb, HKTR);
        row("Optogenetics without DriverM", 0x1234, 0x04D8, 0, "Optogenetics System", "", "Driver", undefined, usb,
            Camera);
        row("name case matters", 0x1234, 0x04D8, 0, "hybrid led driver", "", "", undefined, usb, Camera);
        row("bootloader case matters", 0x1234, 0x04D8, 0, "bootloader", "Microscope", "", undefined, usb, Camera);
        row("channel text case matters", 0x1234, 0x04D8, 0, "Bootloader", "microscope usb3", "", undefined, usb,
            Bootloader);
        row("TV720 pid needs release 9", 0x00F2, 0x04D8, 0, "", "", "", undefined, usb, Camera);
        row("serial power meter", 0, 0, 0, "", "", "", int(DriverType::PowerMeter), int(CommType::Serial), Camera);
        row("serial zaber", 0, 0, 0, "", "", "", int(DriverType::ZaberChain), int(CommType::Serial), Camera);
        row("serial pump", 0, 0, 0, "", "", "", int(DriverType::WPIPumpDriver), int(CommType::Serial), Camera);
        row("serial undefined", 0, 0, 0, "", "", "", undefined, int(CommType::Serial), Camera);
    }

    void classifies()
    {
        QFETCH(int, pid);
        QFETCH(int, vid);
        QFETCH(int, release);
        QFETCH(QString, name);
        QFETCH(QByteArray, channelFirmware);
        QFETCH(QByteArray, motherboardFirmware);
        QFETCH(int, driverType);
        QFETCH(int, commType);
        QFETCH(int, expected);

        const auto device = DeviceRecordBuilder::on(CommType(commType))
                                .vid(quint16(vid))
                                .pid(quint16(pid))
                                .release(quint16(release))
                                .name(name)
                                .channelFirmware(channelFirmware)
                                .motherboardFirmware(motherboardFirmware)
                                .driverType(DriverType(driverType))
                                .build();

        const DeviceIdentifier result = AbstractFirmwareCommunicator::getDeviceIdentifier(device);
        QCOMPARE(int(result), expected);
        QVERIFY(result != Console && result != ElectrophysiologyConsole && result != FiberPhotometryConsole);
    }

    void ethernetMicroscopeBecomesDualOnceItsDriverTypeIsSet()
    {
        const auto device = DeviceRecordBuilder::on(CommType::Ethernet).build();
        QCOMPARE(AbstractFirmwareCommunicator::getDeviceIdentifier(device), GQZ);
        device->setDriverType(DriverType::MicroscopeDualDriver);
        QCOMPARE(AbstractFirmwareCommunicator::getDeviceIdentifier(device), GQZ2);
    }
};

QTEST_GUILESS_MAIN(TestDeviceClassification)
#include "tst_deviceclassification.moc"
