#include "firmware/programmer/IMUFirmwareCommunicator.h"
#include "firmware/programmer/ZuvoBasestationCommunicator.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

using Record = QSharedPointer<MovraDeviceInfo>;

Record serialRecord(DriverType type, quint16 pid)
{
    return DeviceRecordBuilder::serial(QStringLiteral("ttyACM0"))
        .driverType(type)
        .vid(0x1915)
        .pid(pid)
        .uid(QStringLiteral("1915-%1-41").arg(pid, 4, 16, QLatin1Char('0')).toUpper())
        .build();
}

} // namespace

// What the inertial module and the base station report from the bytes
// their ports deliver, and what the module is sent.
class TestProgrammerCommunicators : public QObject
{
    Q_OBJECT

private slots:
    void imuReply_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("driverType");
        QTest::addColumn<bool>("reported");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("boot");
        const int imu = int(DriverType::IMUDriver);
        QTest::newRow("versions") << QByteArray(R"({"Command":67,"Maj_Firm":1,"Min_Firm":7,"Maj_Boot":2,"Min_Boot":3})")
                                  << imu << true << "1.7"
                                  << "2.3";
        QTest::newRow("command's low byte")
            << QByteArray(R"({"Command":323,"Maj_Firm":0,"Min_Firm":12})") << imu << true << "0.12"
            << "0.0";
        QTest::newRow("unknown firmware")
            << QByteArray(R"({"Command":67,"Maj_Firm":255,"Min_Firm":1,"Maj_Boot":2,"Min_Boot":0})") << imu << true
            << "N/A"
            << "2.0";
        QTest::newRow("unknown bootloader")
            << QByteArray(R"({"Command":67,"Maj_Firm":3,"Min_Firm":1,"Maj_Boot":2,"Min_Boot":255})") << imu << true
            << "3.1"
            << "N/A";
        QTest::newRow("first half") << QByteArray(R"({"Command":67,"Maj_Firm":1,)") << imu << false << ""
                                    << "";
        QTest::newRow("second half") << QByteArray(R"("Min_Firm":7,"Maj_Boot":2,"Min_Boot":3})") << imu << false << ""
                                     << "";
        QTest::newRow("other command") << QByteArray(R"({"Command":68,"Maj_Firm":1})") << imu << false << ""
                                       << "";
        QTest::newRow("no command") << QByteArray(R"({"Maj_Firm":1})") << imu << false << ""
                                    << "";
        QTest::newRow("array") << QByteArray("[67,1,7]") << imu << false << ""
                               << "";
        QTest::newRow("another device") << QByteArray(R"({"Command":67,"Maj_Firm":1,"Min_Firm":7})")
                                        << int(DriverType::ZuvoBaseStation) << false << ""
                                        << "";
    }

    void imuReply()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, driverType);
        QFETCH(bool, reported);
        QFETCH(QString, firmware);
        QFETCH(QString, boot);
        IMUFirmwareCommunicator communicator;
        QSignalSpy versions(&communicator, &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater);
        QSignalSpy closes(&communicator, &AbstractFirmwareCommunicator::sendCloseSerialToDevice);
        const Record record = serialRecord(DriverType(driverType), 0x520F);
        communicator.onCommandReceivedFromDevice(record, reply);
        QCOMPARE(versions.size(), reported ? 1 : 0);
        // The module's port stays open.
        QCOMPARE(closes.size(), 0);
        if (!reported)
            return;
        QCOMPARE(versions.first().at(0).value<nsUpdater::DeviceIdentifier>(), nsUpdater::IMU);
        const auto v = versions.first().at(1).value<nsFirmware::DeviceVersions>();
        QCOMPARE(v.motherboardVersion, firmware);
        QCOMPARE(v.channelVersion, firmware);
        QCOMPARE(v.bootloaderVersion, boot);
        QCOMPARE(versions.first().at(2).toString(), record->uid());
    }

    void imuCommands_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<QByteArray>("versionRequest");
        QTest::newRow("application") << 0x520F << QByteArray("\x43\x25\x98", 3);
        QTest::newRow("bootloader is not asked") << 0x521F << QByteArray();
    }

    void imuCommands()
    {
        QFETCH(int, pid);
        QFETCH(QByteArray, versionRequest);
        IMUFirmwareCommunicator communicator;
        QSignalSpy sent(&communicator, &AbstractFirmwareCommunicator::sendSerialCommandToDevice);
        const Record record = serialRecord(DriverType::IMUDriver, quint16(pid));
        communicator.askForInstalledVersion(record);
        QCOMPARE(sent.size(), versionRequest.isEmpty() ? 0 : 1);
        if (!versionRequest.isEmpty())
            QCOMPARE(sent.first().at(1).toByteArray(), versionRequest);
        communicator.sendApplicationCommand(IMUFirmwareCommunicator::ResetCommand, record);
        QCOMPARE(sent.last().at(1).toByteArray(), QByteArray("\x42\x50\x6E", 3));
        const int before = sent.size();
        communicator.sendApplicationCommand(5, record);
        QCOMPARE(sent.size(), before);
    }

    void baseStationMessage_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<int>("driverType");
        QTest::addColumn<bool>("reported");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("boot");
        const int zuvo = int(DriverType::ZuvoBaseStation);
        QTest::newRow("versions") << QByteArray("C\x01\x04\x02\x00", 5) << zuvo << true << "2.0"
                                  << "1.4";
        QTest::newRow("unsigned bytes") << QByteArray("C\xC8\x05\xFE\x80", 5) << zuvo << true << "254.128"
                                        << "200.5";
        QTest::newRow("unknown parts") << QByteArray("C\xFF\x04\x02\xFF", 5) << zuvo << true << "N/A"
                                       << "N/A";
        QTest::newRow("longer") << QByteArray("C\x01\x04\x02\x00junk", 9) << zuvo << true << "2.0"
                                << "1.4";
        QTest::newRow("other first byte") << QByteArray("D\x01\x04\x02\x00", 5) << zuvo << false << ""
                                          << "";
        QTest::newRow("four bytes") << QByteArray("C\x01\x04\x02", 4) << zuvo << false << ""
                                    << "";
        QTest::newRow("one byte") << QByteArray("C") << zuvo << false << ""
                                  << "";
        QTest::newRow("another device") << QByteArray("C\x01\x04\x02\x00", 5) << int(DriverType::IMUDriver) << false
                                        << ""
                                        << "";
    }

    void baseStationMessage()
    {
        QFETCH(QByteArray, message);
        QFETCH(int, driverType);
        QFETCH(bool, reported);
        QFETCH(QString, firmware);
        QFETCH(QString, boot);
        ZuvoBasestationCommunicator communicator;
        QSignalSpy versions(&communicator, &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater);
        QSignalSpy closes(&communicator, &AbstractFirmwareCommunicator::sendCloseSerialToDevice);
        QSignalSpy sent(&communicator, &AbstractFirmwareCommunicator::sendSerialCommandToDevice);
        const Record record = serialRecord(DriverType(driverType), 0xB007);
        communicator.askForInstalledVersion(record);
        communicator.onCommandReceivedFromDevice(record, message);
        QCOMPARE(sent.size(), 0);
        QCOMPARE(versions.size(), reported ? 1 : 0);
        // The port is released once the versions are read, and only then.
        QCOMPARE(closes.size(), reported ? 1 : 0);
        if (!reported)
            return;
        QCOMPARE(versions.first().at(0).value<nsUpdater::DeviceIdentifier>(), nsUpdater::ZuvoBasestation);
        const auto v = versions.first().at(1).value<nsFirmware::DeviceVersions>();
        QCOMPARE(v.motherboardVersion, firmware);
        QCOMPARE(v.channelVersion, QStringLiteral("N/A"));
        QCOMPARE(v.bootloaderVersion, boot);
    }
};

QTEST_GUILESS_MAIN(TestProgrammerCommunicators)
#include "tst_programmercommunicators.moc"
