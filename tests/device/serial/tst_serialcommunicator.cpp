#include "device/MovraHardwareServer.h"
#include "device/serial/SerialCommunicator.h"
#include "tests/device/serial/sim/AnsweringDevice.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/TestTransports.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

using Record = QSharedPointer<MovraDeviceInfo>;

SerialPortDescription adapter(quint16 vid, quint16 pid, const QString& serial)
{
    SerialPortDescription p;
    p.hasVendorId = p.hasProductId = true;
    p.vendorId = vid;
    p.productId = pid;
    p.serialNumber = serial;
    return p;
}

// Answers every chunk with "<", the chunk and ">" in two parts 150 ms apart.
class EchoDevice : public PtyDevice
{
public:
    using PtyDevice::PtyDevice;
    ~EchoDevice() override { stop(); }

protected:
    void onBytes(const QByteArray& bytes) override
    {
        send("<" + bytes);
        send(">", 150);
    }
};

// The hardware server with its serial thread, and what it relays.
struct Server
{
    explicit Server(QSharedPointer<TestPortList> ports)
        : server(TestTransports().without(TestTransports::Usb).serialOver(ports).shared())
        , inserted(&server, &MovraHardwareServer::deviceInserted)
        , removed(&server, &MovraHardwareServer::deviceRemoved)
        , replies(&server, &MovraHardwareServer::commandReceivedFromDevice)
        , connection(&server, &MovraHardwareServer::deviceConnectionChanged)
    {
        server.startCommunicationThreads();
    }
    ~Server() { server.stopCommunicationThreads(); }

    Record waitForDevice(int timeoutMs = 4000)
    {
        if (!QTest::qWaitFor([this] { return !inserted.isEmpty(); }, timeoutMs))
            return {};
        return inserted.first().at(0).value<Record>();
    }

    MovraHardwareServer server;
    QSignalSpy inserted;
    QSignalSpy removed;
    QSignalSpy replies;
    QSignalSpy connection;
};

} // namespace

class TestSerialCommunicator : public QObject
{
    Q_OBJECT

private slots:
    void openWriteReadClose()
    {
        auto ports = QSharedPointer<TestPortList>::create();
        EchoDevice device(ports, adapter(0x1915, 0x520F, QStringLiteral("IMU1")));
        if (!device.start())
            QSKIP("no pseudo-terminal can be opened here");
        Server s(ports);
        const Record record = s.waitForDevice();
        QVERIFY(record);
        QCOMPARE(record->name(), device.portName());
        QCOMPARE(record->driverType(), DriverType::IMUDriver);

        // Closed until asked: a write is dropped.
        emit s.server.sendSerialCommandToDeviceFromUpdater(record, "early");
        QTest::qWait(200);
        QCOMPARE(device.received(), QByteArray());
        emit s.server.closeSerialDeviceReceivedFromUpdater(record);

        emit s.server.openSerialDeviceReceivedFromUpdater(record);
        QTRY_COMPARE(s.connection.size(), 1);
        QCOMPARE(s.connection.first().at(1).toBool(), true);
        QCOMPARE(device.baudRate(), 115200);

        // Every byte goes, zero bytes included; the reply comes back in its
        // two chunks, as they arrived.
        const QByteArray command("\x43\x00\x98", 3);
        emit s.server.sendSerialCommandToDeviceFromUpdater(record, command);
        QTRY_COMPARE(s.replies.size(), 2);
        QCOMPARE(device.received(), command);
        QCOMPARE(s.replies.at(0).at(1).toByteArray(), "<" + command);
        QCOMPARE(s.replies.at(1).at(1).toByteArray(), QByteArray(">"));
        QVERIFY(s.replies.at(0).at(0).value<Record>() == record);

        // Opened again while open: closed and reopened, reported again.
        emit s.server.openSerialDeviceReceivedFromUpdater(record);
        QTRY_COMPARE(s.connection.size(), 2);
        QCOMPARE(s.connection.last().at(1).toBool(), true);

        emit s.server.closeSerialDeviceReceivedFromUpdater(record);
        QTRY_COMPARE(s.connection.size(), 3);
        QCOMPARE(s.connection.last().at(1).toBool(), false);
        emit s.server.closeSerialDeviceReceivedFromUpdater(record);
        emit s.server.sendSerialCommandToDeviceFromUpdater(record, "late");
        QTest::qWait(300);
        QCOMPARE(s.connection.size(), 3);
        QCOMPARE(device.received(), command);

        // Opened again and pulled out: removed, nothing more.
        emit s.server.openSerialDeviceReceivedFromUpdater(record);
        QTRY_COMPARE(s.connection.size(), 4);
        device.unplug();
        QTRY_COMPARE_WITH_TIMEOUT(s.removed.size(), 1, 10000);
        QVERIFY(s.removed.first().at(0).value<Record>() == record);
        QCOMPARE(s.connection.size(), 4);
    }

    void baudRatePerType_data()
    {
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::addColumn<bool>("pump");
        QTest::addColumn<int>("driverType");
        QTest::addColumn<int>("baud");
        QTest::newRow("pump, once identified") << 0x0403 << 0x6001 << true << 25 << 9600;
        QTest::newRow("inertial module") << 0x1915 << 0x520F << false << 21 << 115200;
        QTest::newRow("base station") << 0x1915 << 0xB007 << false << 24 << 115200;
        QTest::newRow("power meter") << 0x1AD5 << 0x0300 << false << 20 << 115200;
    }

    void baudRatePerType()
    {
        QFETCH(int, vid);
        QFETCH(int, pid);
        QFETCH(bool, pump);
        QFETCH(int, driverType);
        QFETCH(int, baud);
        auto ports = QSharedPointer<TestPortList>::create();
        AnsweringDevice device(ports, adapter(quint16(vid), quint16(pid), QStringLiteral("D")),
                               pump ? AnsweringDevice::pump() : QList<AnsweringDevice::Answer>());
        if (!device.start())
            QSKIP("no pseudo-terminal can be opened here");
        Server s(ports);
        const Record record = s.waitForDevice();
        QVERIFY(record);
        QCOMPARE(int(record->driverType()), driverType);
        QCOMPARE(s.inserted.size(), 1);
        emit s.server.openSerialDeviceReceivedFromUpdater(record);
        QTRY_COMPARE(s.connection.size(), 1);
        QCOMPARE(device.baudRate(), baud);
    }

    // Found by its adapter at the first pass, reported about 800 ms later.
    void pumpReportedAfterIdentification()
    {
        auto ports = QSharedPointer<TestPortList>::create();
        AnsweringDevice device(ports, adapter(0x0403, 0x6001, QStringLiteral("P")), AnsweringDevice::pump());
        if (!device.start())
            QSKIP("no pseudo-terminal can be opened here");
        Server s(ports);
        QVERIFY(QTest::qWaitFor([&] { return !device.received().isEmpty(); }, 10000));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(s.waitForDevice());
        QVERIFY2(clock.elapsed() >= 650 && clock.elapsed() <= 1300, qPrintable(QString::number(clock.elapsed())));
    }

    // Never reported, left unavailable; its removal says nothing.
    void notIdentified()
    {
        auto ports = QSharedPointer<TestPortList>::create();
        AnsweringDevice device(ports, adapter(0x0403, 0x6001, QStringLiteral("S")), {});
        if (!device.start())
            QSKIP("no pseudo-terminal can be opened here");
        Server s(ports);
        QVERIFY(QTest::qWaitFor([&] { return device.received().endsWith("F5 \r\n"); }, 10000));
        QTest::qWait(400);
        QCOMPARE(s.inserted.size(), 0);
        device.unplug();
        QTest::qWait(1700);
        QCOMPARE(s.removed.size(), 0);
    }

    // Pulled out during its identification: no removal, no more tests. The
    // identification is shorter than a poll period, so the removal is
    // handed to the communicator here.
    void removedWhileIdentified()
    {
        auto ports = QSharedPointer<TestPortList>::create();
        AnsweringDevice device(ports, adapter(0x0403, 0x6001, QStringLiteral("R")), {});
        if (!device.start())
            QSKIP("no pseudo-terminal can be opened here");
        SerialCommunicator communicator(ports);
        QSignalSpy inserted(&communicator, &AbstractCommunicator::sendDeviceInserted);
        QSignalSpy removed(&communicator, &AbstractCommunicator::sendDeviceRemoved);
        const auto record = DeviceRecordBuilder().name(device.portName()).build();
        communicator.onDeviceInserted(record);
        QVERIFY(QTest::qWaitFor([&] { return device.received().contains("/2 get"); }, 10000));
        communicator.onDeviceRemoved(record);
        const QByteArray seen = device.received();
        QTest::qWait(1200);
        QCOMPARE(device.received(), seen);
        QCOMPARE(inserted.size(), 0);
        QCOMPARE(removed.size(), 0);
        QCOMPARE(record->driverType(), DriverType::Undefined);
    }
};

QTEST_GUILESS_MAIN(TestSerialCommunicator)
#include "tst_serialcommunicator.moc"
