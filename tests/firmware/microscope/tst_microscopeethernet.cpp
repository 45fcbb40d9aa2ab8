#include "firmware/microscope/MicroscopeEthernetCommunicator.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/sim/SimRegisterCrc.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// The driver as the Ethernet grabber lists it, its address also its uid.
const DeviceRecordBuilder Driver = DeviceRecordBuilder::ethernet(QStringLiteral("192.168.1.149"))
                                       .status(DeviceStatus::Available)
                                       .name(QStringLiteral("Microscope Driver"))
                                       .uid(QStringLiteral("192.168.1.149"));

// The driver's reading of a register read: '#', 0x08, width, big-endian
// address, CRC-8 over the bytes between '#' and the CRC, CR.
bool decodeRegisterRead(const QByteArray& frame, quint32* address)
{
    if (frame.size() != 9 || frame.at(0) != '#' || frame.at(1) != 0x08 || frame.at(2) != 0x10 || frame.at(8) != '\r')
        return false;
    if (quint8(frame.at(7)) != sim::registerCrc(frame.mid(1, 6)))
        return false;
    *address = quint32(quint8(frame.at(3))) << 24 | quint32(quint8(frame.at(4))) << 16
               | quint32(quint8(frame.at(5))) << 8 | quint32(quint8(frame.at(6)));
    return true;
}

} // namespace

class TestMicroscopeEthernet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QSharedPointer<MovraDeviceInfo>>();
        qRegisterMetaType<nsUpdater::DeviceIdentifier>("nsUpdater::DeviceIdentifier");
        qRegisterMetaType<nsFirmware::DeviceVersions>("nsFirmware::DeviceVersions");
    }

    void registerReads_data()
    {
        QTest::addColumn<uint>("address");
        QTest::newRow("version register") << 0u;
        QTest::newRow("high address") << 0x12345678u;
        QTest::newRow("channel register") << 0x600u;
    }

    void registerReads()
    {
        QFETCH(uint, address);
        MicroscopeEthernetCommunicator c;
        quint32 decoded = 0xFFFFFFFF;
        QVERIFY(decodeRegisterRead(c.askForDeviceVersion(address), &decoded));
        QCOMPARE(decoded, quint32(address));
    }

    void versionQuerySendsTheReadOfRegisterZero()
    {
        MicroscopeEthernetCommunicator c;
        QSignalSpy sent(&c, &AbstractFirmwareCommunicator::sendCommandToDevice);
        const auto device = Driver.build();
        c.askForInstalledVersion(device);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().at(0).value<QSharedPointer<MovraDeviceInfo>>(), device);
        quint32 address = 1;
        QVERIFY(decodeRegisterRead(sent.first().at(1).toByteArray(), &address));
        QCOMPARE(address, 0u);
        QCOMPARE(c.askForChannelVersion(), QByteArray("\x49\x00\x00", 3));
    }

    void replies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("reported");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("name");

        const QString single = QStringLiteral("Microscope Driver");
        const QString dual = QStringLiteral("MicroscopeDual");
        QTest::newRow("single model") << QByteArray("\x01\x05\x00", 3) << true << 10 << "1.5" << single;
        QTest::newRow("dual model") << QByteArray("\x02\x03\x00", 3) << true << 11 << "2.3" << dual;
        QTest::newRow("signed bytes") << QByteArray("\xFF\xFE\x00", 3) << true << 11 << "-1.-2" << dual;
        QTest::newRow("two bytes are enough") << QByteArray("\x01\x07", 2) << true << 10 << "1.7" << single;
        QTest::newRow("short reply ignored") << QByteArray("\x02", 1) << false << 0 << "" << single;
        QTest::newRow("empty reply ignored") << QByteArray() << false << 0 << "" << single;
    }

    void replies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, reported);
        QFETCH(int, type);
        QFETCH(QString, version);
        QFETCH(QString, name);

        MicroscopeEthernetCommunicator c;
        QSignalSpy versions(&c, &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater);
        const auto device = Driver.build();
        c.askForInstalledVersion(device);
        c.onCommandReceivedFromDevice(device, reply);
        QCOMPARE(versions.size(), reported ? 1 : 0);
        QCOMPARE(device->name(), name);
        if (!reported) {
            QVERIFY(device->motherboardFirmware().isEmpty());
            return;
        }
        QCOMPARE(int(versions.first().at(0).value<nsUpdater::DeviceIdentifier>()), type);
        const auto v = versions.first().at(1).value<nsFirmware::DeviceVersions>();
        QCOMPARE(v.motherboardVersion, version);
        QCOMPARE(v.channelVersion, version);
        QCOMPARE(v.bootloaderVersion, version);
        QCOMPARE(versions.first().at(2).toString(), QStringLiteral("192.168.1.149"));
        QCOMPARE(device->driverType(), type == 11 ? DriverType::MicroscopeDualDriver : DriverType::Undefined);
        // The record's motherboard text ends the relay of further datagrams.
        QCOMPARE(device->motherboardFirmware(), reply);
    }

    // Every reply of every device reaches every communicator: only the
    // device it asked may become the dual model.
    void repliesOfOtherDevicesLeaveThemAlone_data()
    {
        QTest::addColumn<int>("commType");
        QTest::newRow("another Ethernet record") << int(CommType::Ethernet);
        QTest::newRow("a USB device") << int(CommType::USB);
    }

    void repliesOfOtherDevicesLeaveThemAlone()
    {
        QFETCH(int, commType);
        MicroscopeEthernetCommunicator c;
        QSignalSpy versions(&c, &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater);
        c.askForInstalledVersion(Driver.build());
        auto other = Driver.build();
        other->setCommType(CommType(commType));
        other->setName(QStringLiteral("LightSource Driver"));
        c.onCommandReceivedFromDevice(other, QByteArray("\x04\x02\x00", 3));
        QCOMPARE(versions.size(), 0);
        QCOMPARE(other->name(), QStringLiteral("LightSource Driver"));
        QCOMPARE(other->driverType(), DriverType::Undefined);
        QVERIFY(other->motherboardFirmware().isEmpty());
    }

    void noUpdate()
    {
        MicroscopeEthernetCommunicator c;
        QSignalSpy sent(&c, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QVERIFY(c.updateFirmware(QStringLiteral("/nonexistent.mcs"), Driver.build(), {}));
        QVERIFY(!c.sendBootloaderCommand(2, Driver.build()));
        c.onReconnectedToBootloaderReceived(Driver.build());
        QCOMPARE(sent.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestMicroscopeEthernet)
#include "tst_microscopeethernet.moc"
