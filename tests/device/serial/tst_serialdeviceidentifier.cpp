#include "device/serial/SerialDeviceIdentifier.h"
#include "tests/device/serial/sim/AnsweringDevice.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

using Record = QSharedPointer<MovraDeviceInfo>;
using Answers = QList<AnsweringDevice::Answer>;

SerialPortDescription ftdi()
{
    SerialPortDescription p;
    p.hasVendorId = p.hasProductId = true;
    p.vendorId = 0x0403;
    p.productId = 0x6001;
    p.serialNumber = QStringLiteral("FT1");
    return p;
}

} // namespace

Q_DECLARE_METATYPE(Answers)

// The identification over real pseudo-terminals opened by QSerialPort: the
// device on the far side answers only the command, and at the line speed,
// of its kind.
class TestSerialDeviceIdentifier : public QObject
{
    Q_OBJECT

private slots:
    void identify_data()
    {
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<bool>("chatters");
        QTest::addColumn<int>("driverType"); // 255: not identified
        QTest::addColumn<int>("atLeastMs");
        // The commands seen tell which window answered; the upper bound only
        // catches a report that never ends its window, with room for a loaded
        // machine.
        QTest::addColumn<int>("atMostMs");
        QTest::addColumn<int>("commandsSeen");
        QTest::newRow("stage chain, first window") << AnsweringDevice::stageChain() << false << 22 << 190 << 3000 << 1;
        QTest::newRow("stage chain amid other text")
            << AnsweringDevice::stageChain("#junk ", " trailing") << false << 22 << 190 << 3000 << 1;
        QTest::newRow("pump, after the three stage tests")
            << AnsweringDevice::pump() << false << 25 << 780 << 4000 << 4;
        QTest::newRow("silent") << Answers() << false << 255 << 980 << 4000 << 5;
        QTest::newRow("noise") << Answers() << true << 255 << 980 << 4000 << 5;
        QTest::newRow("late reply counts for nothing")
            << AnsweringDevice::latePump() << false << 255 << 980 << 4000 << 5;
    }

    void identify()
    {
        QFETCH(Answers, answers);
        QFETCH(bool, chatters);
        QFETCH(int, driverType);
        QFETCH(int, atLeastMs);
        QFETCH(int, atMostMs);
        QFETCH(int, commandsSeen);
        auto ports = QSharedPointer<TestPortList>::create();
        AnsweringDevice device(ports, ftdi(), answers, chatters);
        if (!device.start())
            QSKIP("no pseudo-terminal can be opened here");
        const auto record = DeviceRecordBuilder().name(device.portName()).build();

        QElapsedTimer clock;
        clock.start();
        auto identifier = std::make_unique<SerialDeviceIdentifier>(record);
        QSignalSpy identified(identifier.get(), &SerialDeviceIdentifier::sendDeviceIdentified);
        QSignalSpy notIdentified(identifier.get(), &SerialDeviceIdentifier::sendDeviceNotIdentified);
        QVERIFY(QTest::qWaitFor([&] { return identified.size() + notIdentified.size() > 0; }, 10000));
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= atLeastMs && elapsed <= atMostMs, qPrintable(QString::number(elapsed)));
        QCOMPARE(identified.size(), driverType == 255 ? 0 : 1);
        QCOMPARE(notIdentified.size(), driverType == 255 ? 1 : 0);
        QVERIFY((driverType == 255 ? notIdentified : identified).first().at(0).value<Record>() == record);
        QCOMPARE(int(record->driverType()), driverType);

        // The late answer, and anything else, changes nothing now.
        QTest::qWait(500);
        QCOMPARE(identified.size() + notIdentified.size(), 1);

        // The five commands in their order, as far as the test went.
        const QList<QByteArray> all = { "/1 get deviceid\r", "/2 get deviceid\r", "/3 get deviceid\r", "\r\n",
                                        "F5 \r\n" };
        QByteArray expected;
        for (int i = 0; i < commandsSeen; ++i)
            expected += all.at(i);
        QCOMPARE(device.received(), expected);
    }

    // A port that cannot be opened yields no reply: not identified, once.
    void missingPort()
    {
        const auto record = DeviceRecordBuilder().name(QStringLiteral("/dev/nonexistent-serial-port")).build();
        SerialDeviceIdentifier identifier(record);
        QSignalSpy identified(&identifier, &SerialDeviceIdentifier::sendDeviceIdentified);
        QSignalSpy notIdentified(&identifier, &SerialDeviceIdentifier::sendDeviceNotIdentified);
        QVERIFY(notIdentified.wait(10000));
        QTest::qWait(300);
        QCOMPARE(notIdentified.size(), 1);
        QCOMPARE(identified.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSerialDeviceIdentifier)
#include "tst_serialdeviceidentifier.moc"
