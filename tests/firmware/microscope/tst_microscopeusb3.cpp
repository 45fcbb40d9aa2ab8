#include "firmware/microscope/MicroscopeUSB3Communicator.h"
#include "tests/firmware/microscope/RegisterDecoder.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Release 8 is the GQZ3 (12), 10 the GQZ3 KAVOR (13), product 0xF2 with
// release 9 the TV720 (18).
const DeviceRecordBuilder Driver = DeviceRecordBuilder::usb3(0x04B4, 0x00F1)
                                       .name(QStringLiteral("Microscope USB3"))
                                       .uid(QStringLiteral("04B4-00F1-0203-04"));

} // namespace

class TestMicroscopeUSB3 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QSharedPointer<MovraDeviceInfo>>();
        qRegisterMetaType<nsUpdater::DeviceIdentifier>("nsUpdater::DeviceIdentifier");
        qRegisterMetaType<nsFirmware::DeviceVersions>("nsFirmware::DeviceVersions");
    }

    void bootloaderVersionWriteVector()
    {
        MicroscopeUSB3Communicator c;
        QSignalSpy sent(&c, &AbstractFirmwareCommunicator::sendCommandToDevice);
        c.askForInstalledVersion(Driver.release(8).build());
        QVERIFY(!sent.isEmpty());
        const QByteArray frame = sent.first().at(1).toByteArray();
        QCOMPARE(frame.left(10), QByteArray::fromHex("23070700000600170000"));
        QCOMPARE(quint8(frame.at(10)), sim::registerCrc(frame.mid(1, 9)));
        QCOMPARE(frame.at(11), '\r');
        QCOMPARE(frame.size(), 12);
    }

    void versionQuery_data()
    {
        QTest::addColumn<int>("release");
        QTest::addColumn<QList<QByteArray>>("writes"); // empty: the read of register 0
        QTest::newRow("GQZ3") << 8 << QList<QByteArray> { "\x17", "", "\x16" };
        QTest::newRow("GQZ3 KAVOR") << 10 << QList<QByteArray> { "\x17", "", "\x16", "\x47" };
    }

    void versionQuery()
    {
        QFETCH(int, release);
        QFETCH(QList<QByteArray>, writes);
        MicroscopeUSB3Communicator c;
        QSignalSpy sent(&c, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QElapsedTimer clock;
        clock.start();
        c.askForInstalledVersion(Driver.release(quint16(release)).build());
        // The driver's pauses: four of 100 ms.
        QVERIFY(clock.elapsed() >= 400);
        QVERIFY(c.awaitingRegisterReply());
        QCOMPARE(sent.size(), writes.size());
        for (int i = 0; i < writes.size(); ++i) {
            const DecodedRegister d = decodeRegister(sent.at(i).at(1).toByteArray());
            QVERIFY2(d.valid, qPrintable(sent.at(i).at(1).toByteArray().toHex()));
            if (writes.at(i).isEmpty()) {
                QVERIFY(!d.write);
                QCOMPARE(d.address, 0u);
            } else {
                QVERIFY(d.write);
                QCOMPARE(d.address, 0x600u);
                QCOMPARE(d.data, writes.at(i) + QByteArray(2, '\0'));
            }
        }
    }

    void replies_data()
    {
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("versions"); // empty: no report

        const QString na = QStringLiteral("N/A");
        QTest::newRow("register reply 5")
            << true << QByteArray("\x05\x02\x03\x04\x09", 5) << QStringList { "5.2.9", na, na };
        QTest::newRow("register reply 1")
            << true << QByteArray("\x01\x00\x07\x04\x03", 5) << QStringList { "1.0.3", na, na };
        QTest::newRow("5 without a register read") << false << QByteArray("\x05\x02\x03\x04\x09", 5) << QStringList();
        QTest::newRow("motherboard reply")
            << false << QByteArray("\x15\x02\x01\x00\x00\xFF", 6) << QStringList { "2.1.-1", na, na };
        QTest::newRow("channel version") << false << QByteArray("\x16\x00\x01\x02\x03", 5)
                                         << QStringList { na, "1.2.3", na };
        QTest::newRow("bootloader version")
            << false << QByteArray("\x17\x00\x02\x09\x05", 5) << QStringList { na, na, "2.5" };
        QTest::newRow("acknowledgement dropped") << true << QByteArray("\x4F\x05\x01\x02\x03", 5) << QStringList();
        QTest::newRow("short channel version") << false << QByteArray("\x16\x00\x01\x02", 4) << QStringList();
        QTest::newRow("short register reply") << true << QByteArray("\x05\x02\x03\x04", 4) << QStringList();
        QTest::newRow("empty") << true << QByteArray() << QStringList();
    }

    void replies()
    {
        QFETCH(bool, asked);
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, versions);
        MicroscopeUSB3Communicator c;
        QSignalSpy reports(&c, &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater);
        const auto device = Driver.release(8).build();
        if (asked)
            c.askForInstalledVersion(device);
        c.onCommandReceivedFromDevice(device, reply);
        QCOMPARE(reports.size(), versions.isEmpty() ? 0 : 1);
        if (versions.isEmpty())
            return;
        QCOMPARE(int(reports.first().at(0).value<nsUpdater::DeviceIdentifier>()), int(nsUpdater::GQZ3));
        const auto v = reports.first().at(1).value<nsFirmware::DeviceVersions>();
        QCOMPARE(QStringList({ v.motherboardVersion, v.channelVersion, v.bootloaderVersion }), versions);
        QCOMPARE(reports.first().at(2).toString(), device->uid());
    }

    void otherTypesIgnored()
    {
        MicroscopeUSB3Communicator c;
        QSignalSpy reports(&c, &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater);
        c.onCommandReceivedFromDevice(Driver.pid(0x00F2).release(9).build(), QByteArray("\x17\x00\x02\x09\x05", 5));
        QCOMPARE(reports.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestMicroscopeUSB3)
#include "tst_microscopeusb3.moc"
