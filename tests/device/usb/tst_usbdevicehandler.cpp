#include "device/usb/USBDeviceHandler.h"
#include "tests/device/usb/sim/SimUsbBus.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/SignalWait.h"

#include <QtTest>

namespace {

using Record = QSharedPointer<MovraDeviceInfo>;

// The record the grabber would make for this device.
Record recordFor(const QSharedPointer<SimUsbDevice>& device)
{
    const SimUsbDeviceSetup setup = device->setup();
    return DeviceRecordBuilder::on(setup.speed >= LIBUSB_SPEED_SUPER ? CommType::USB3 : CommType::USB)
        .vid(setup.vendorId)
        .pid(setup.productId)
        .release(setup.bcdDevice)
        .serialNumber(device->locationKey())
        .uid(device->locationKey())
        .build();
}

SimUsbDeviceSetup lowSpeed()
{
    SimUsbDeviceSetup setup;
    setup.speed = LIBUSB_SPEED_FULL;
    setup.endpoints = { { 0x01, 64 }, { 0x81, 64 }, { 0x82, 64 } };
    return setup;
}

SimUsbDeviceSetup superSpeed()
{
    SimUsbDeviceSetup setup;
    setup.speed = LIBUSB_SPEED_SUPER;
    setup.endpoints = { { 0x01, 1024 }, { 0x81, 1024 }, { 0x82, 1024 } };
    return setup;
}

QByteArray bytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

QList<QByteArray> packetsOn(const QSharedPointer<SimUsbDevice>& device, quint8 endpoint)
{
    QList<QByteArray> out;
    for (const SimOutPacket& p : device->outPackets()) {
        if (p.endpoint == endpoint)
            out << p.data;
    }
    return out;
}

// How often the program cleared a halt of the endpoint.
int haltClears(const QSharedPointer<SimUsbDevice>& device, int endpoint)
{
    return int(device->calls().count(QStringLiteral("clearHalt 0x%1").arg(endpoint, 2, 16, QLatin1Char('0'))));
}

// The program's log lines, from whichever thread writes them; passed on to
// the test's own output.
class LogLines
{
public:
    static LogLines& instance()
    {
        static LogLines lines;
        return lines;
    }

    void install() { m_previous = qInstallMessageHandler(&LogLines::handle); }
    void uninstall() { qInstallMessageHandler(m_previous); }

    bool contains(const QString& text) const
    {
        QMutexLocker locker(&m_lock);
        for (const QString& line : m_lines) {
            if (line.contains(text))
                return true;
        }
        return false;
    }

    // Runs the event loop until a line holding text was written.
    bool waitFor(const QString& text, int timeoutMs)
    {
        SignalWait wait([&] { return contains(text); });
        setWait(&wait);
        const bool seen = wait.wait(timeoutMs);
        setWait(nullptr);
        return seen;
    }

    void clear()
    {
        QMutexLocker locker(&m_lock);
        m_lines.clear();
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        LogLines& self = instance();
        {
            QMutexLocker locker(&self.m_lock);
            self.m_lines.append(message);
            if (self.m_wait)
                self.m_wait->askSoon();
        }
        if (self.m_previous)
            self.m_previous(type, context, message);
    }

    void setWait(SignalWait* wait)
    {
        QMutexLocker locker(&m_lock);
        m_wait = wait;
    }

    mutable QMutex m_lock;
    QStringList m_lines;
    SignalWait* m_wait = nullptr;
    QtMessageHandler m_previous = nullptr;
};

constexpr int EventMs = 10000;

} // namespace

Q_DECLARE_METATYPE(SimUsbEndpoint)

class TestUsbDeviceHandler : public QObject
{
    Q_OBJECT

private:
    QSharedPointer<SimUsbBus> m_bus;
    QSharedPointer<SimUsbDevice> m_device;
    QSharedPointer<USBDeviceHandler> m_handler;

    QMutex m_waitLock;
    SignalWait* m_wait = nullptr;

    void makeHandler(const SimUsbDeviceSetup& setup)
    {
        m_device = m_bus->plug(setup);
        // Called in the events thread, at every packet the device takes.
        m_device->setOutHandler([this](quint8, const QByteArray&) {
            QMutexLocker locker(&m_waitLock);
            if (m_wait)
                m_wait->askSoon();
        });
        m_handler = QSharedPointer<USBDeviceHandler>::create(recordFor(m_device), m_bus);
    }

    bool openHandler()
    {
        QSignalSpy connected(m_handler.data(), &USBDeviceHandler::sendConnectionChanged);
        m_handler->open();
        return connected.count() == 1 && connected.at(0).at(1).toBool() && m_handler->isOpen();
    }

    // Runs the event loop until done() holds, asked at each packet the
    // device takes and each reply or connection change the handler reports.
    bool waitFor(const std::function<bool()>& done)
    {
        SignalWait wait(done);
        wait.on(m_handler.data(), &USBDeviceHandler::sendNewCommandConfirmationReceivedToController)
            .on(m_handler.data(), &USBDeviceHandler::sendNewUSB3CommandConfirmationReceivedToController)
            .on(m_handler.data(), &USBDeviceHandler::sendNewDataReceivedToController)
            .on(m_handler.data(), &USBDeviceHandler::sendConnectionChanged);
        setWait(&wait);
        const bool held = wait.wait(EventMs);
        setWait(nullptr);
        return held;
    }

    void setWait(SignalWait* wait)
    {
        QMutexLocker locker(&m_waitLock);
        m_wait = wait;
    }

private slots:
    void initTestCase() { LogLines::instance().install(); }
    // Every handler, and so every thread that logs, is gone by now.
    void cleanupTestCase() { LogLines::instance().uninstall(); }

    void init()
    {
        m_bus = QSharedPointer<SimUsbBus>::create();
        LogLines::instance().clear();
    }

    void cleanup()
    {
        m_handler.reset();
        m_device.reset();
        QCOMPARE(m_bus->errors(), QStringList());
        QCOMPARE(m_bus->outstanding(), QStringList());
    }

    void openPreparesDevice_data()
    {
        QTest::addColumn<bool>("kernelDriver");
        QTest::addColumn<int>("currentConfiguration");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("fresh device") << true << 0
                                      << QStringList(
                                             { "detachKernelDriver 0", "setConfiguration 1", "claimInterface 0" });
        QTest::newRow("already configured") << false << 1 << QStringList({ "claimInterface 0" });
    }

    void openPreparesDevice()
    {
        QFETCH(bool, kernelDriver);
        QFETCH(int, currentConfiguration);
        QFETCH(QStringList, calls);
        SimUsbDeviceSetup setup = lowSpeed();
        setup.kernelDriverActive = kernelDriver;
        setup.currentConfiguration = currentConfiguration;
        makeHandler(setup);
        QVERIFY(openHandler());
        QCOMPARE(m_device->calls(), calls);
        QCOMPARE(m_handler->endpoints().size(), 3);
        QCOMPARE(m_bus->logLevel(), int(LIBUSB_LOG_LEVEL_NONE));
    }

    void fillerPacketPerOutEndpointFirst_data()
    {
        QTest::addColumn<bool>("super");
        QTest::addColumn<QByteArray>("filler");
        QTest::newRow("below SuperSpeed") << false << QByteArray(64, '\x00');
        QTest::newRow("SuperSpeed") << true << QByteArray(1024, '\xEF');
    }

    void fillerPacketPerOutEndpointFirst()
    {
        QFETCH(bool, super);
        QFETCH(QByteArray, filler);
        SimUsbDeviceSetup setup = super ? superSpeed() : lowSpeed();
        const quint16 size = quint16(filler.size());
        setup.endpoints = { { 0x01, size }, { 0x81, size }, { 0x02, size } };
        makeHandler(setup);
        QVERIFY(openHandler());
        QElapsedTimer clock;
        clock.start();
        m_handler->sendCommandToDevice(bytes("0102"));
        // One pause after the write to each OUT endpoint.
        QVERIFY(clock.elapsed() >= 2 * USBDeviceHandler::WritePauseMs);
        QTRY_COMPARE(m_device->outPackets().size(), 4);
        const QList<SimOutPacket> packets = m_device->outPackets();
        QCOMPARE(packets.size(), 4);
        QCOMPARE(packets.at(0).endpoint, quint8(0x01));
        QCOMPARE(packets.at(0).data, filler);
        QCOMPARE(packets.at(1).endpoint, quint8(0x02));
        QCOMPARE(packets.at(1).data, filler);
        // The command reaches every OUT endpoint.
        QCOMPARE(packets.at(2).data.left(2), bytes("0102"));
        QCOMPARE(packets.at(3).data.left(2), bytes("0102"));
        QCOMPARE(QSet<quint8>({ packets.at(2).endpoint, packets.at(3).endpoint }), QSet<quint8>({ 0x01, 0x02 }));
    }

    void writesPaddedAndSplit_data()
    {
        QTest::addColumn<bool>("super");
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("dataBytes"); // per packet
        QTest::newRow("10 bytes") << false << 10 << QList<int> { 10 };
        QTest::newRow("64 bytes") << false << 64 << QList<int> { 64 };
        QTest::newRow("130 bytes") << false << 130 << QList<int>({ 64, 64, 2 });
        QTest::newRow("SuperSpeed 10 bytes") << true << 10 << QList<int> { 10 };
    }

    void writesPaddedAndSplit()
    {
        QFETCH(bool, super);
        QFETCH(int, length);
        QFETCH(QList<int>, dataBytes);
        SimUsbDeviceSetup setup = super ? superSpeed() : lowSpeed();
        setup.endpoints.first().maxPacketSize = 64;
        makeHandler(setup);
        QVERIFY(openHandler());
        QByteArray cmd;
        for (int i = 0; i < length; ++i)
            cmd.append(char(i + 1));
        m_handler->sendCommandToDevice(cmd);
        QTRY_COMPARE(packetsOn(m_device, 0x01).size(), dataBytes.size() + 1);
        const QList<QByteArray> packets = packetsOn(m_device, 0x01).mid(1);
        QByteArray joined;
        for (int i = 0; i < packets.size(); ++i) {
            const QByteArray& p = packets.at(i);
            QCOMPARE(p.size(), super ? length : 64);
            joined += p.left(dataBytes.at(i));
            QCOMPARE(p.mid(dataBytes.at(i)), QByteArray(p.size() - dataBytes.at(i), '\xEF'));
        }
        QCOMPARE(joined, cmd);
    }

    void emptyCommandWritesNothing()
    {
        makeHandler(lowSpeed());
        QVERIFY(openHandler());
        m_handler->sendCommandToDevice(QByteArray());
        QCOMPARE(packetsOn(m_device, 0x01).size(), 1);
    }

    void replySizes_data()
    {
        QTest::addColumn<bool>("super");
        QTest::addColumn<int>("endpoint");
        QTest::addColumn<QString>("signal");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray reply = bytes("0a0b0c0d0e");
        QTest::newRow("command, full speed") << false << 0x81 << "command" << reply + QByteArray(59, '\0');
        QTest::newRow("data, full speed") << false << 0x82 << "data" << reply + QByteArray(59, '\0');
        QTest::newRow("command, SuperSpeed") << true << 0x81 << "usb3" << reply;
        QTest::newRow("data, SuperSpeed") << true << 0x82 << "data" << reply + QByteArray(1024 * 28 - 5, '\xEF');
    }

    void replySizes()
    {
        QFETCH(bool, super);
        QFETCH(int, endpoint);
        QFETCH(QString, signal);
        QFETCH(QByteArray, expected);
        SimUsbDeviceSetup setup = super ? superSpeed() : lowSpeed();
        if (!super) {
            for (auto& e : setup.endpoints)
                e.maxPacketSize = 64;
        }
        makeHandler(setup);
        QSignalSpy command(m_handler.data(), &USBDeviceHandler::sendNewCommandConfirmationReceivedToController);
        QSignalSpy usb3(m_handler.data(), &USBDeviceHandler::sendNewUSB3CommandConfirmationReceivedToController);
        QSignalSpy data(m_handler.data(), &USBDeviceHandler::sendNewDataReceivedToController);
        QVERIFY(openHandler());
        QCOMPARE(m_device->armedInTransfers(quint8(endpoint)), super ? 50 : 1);
        m_device->queueIn(quint8(endpoint), bytes("0a0b0c0d0e"));
        QSignalSpy& spy = signal == "command" ? command : signal == "usb3" ? usb3 : data;
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).toByteArray(), expected);
        if (signal == "usb3")
            QCOMPARE(spy.at(0).at(2).toInt(), 5);
        QCOMPARE(command.count() + usb3.count() + data.count(), 1);
        // Armed again at once.
        QTRY_COMPARE(m_device->armedInTransfers(quint8(endpoint)), super ? 50 : 1);
        m_device->queueIn(quint8(endpoint), bytes("01"));
        QTRY_COMPARE(spy.count(), 2);
        if (!super)
            QCOMPARE(spy.at(1).at(1).toByteArray(), bytes("01") + QByteArray(63, '\xEF'));
    }

    void releaseFiveUses1024ByteInTransfers_data()
    {
        QTest::addColumn<int>("release");
        QTest::addColumn<int>("endpoint");
        QTest::addColumn<int>("transferSize");
        QTest::newRow("release 5, data endpoint") << 5 << 0x82 << 1024;
        QTest::newRow("release 5, command endpoint") << 5 << 0x81 << 64;
        QTest::newRow("release 4, data endpoint") << 4 << 0x82 << 64;
    }

    void releaseFiveUses1024ByteInTransfers()
    {
        QFETCH(int, release);
        QFETCH(int, endpoint);
        QFETCH(int, transferSize);
        SimUsbDeviceSetup setup = lowSpeed();
        setup.bcdDevice = quint16(release);
        makeHandler(setup);
        QSignalSpy command(m_handler.data(), &USBDeviceHandler::sendNewCommandConfirmationReceivedToController);
        QSignalSpy data(m_handler.data(), &USBDeviceHandler::sendNewDataReceivedToController);
        QVERIFY(openHandler());
        m_device->queueIn(quint8(endpoint), QByteArray(transferSize, '\x11'));
        QSignalSpy& spy = endpoint == 0x81 ? command : data;
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).toByteArray(), QByteArray(transferSize, '\x11'));
        // One byte more than the transfer holds overflows.
        m_device->queueIn(quint8(endpoint), QByteArray(transferSize + 1, '\x22'));
        m_device->queueIn(quint8(endpoint), bytes("33"));
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(1).toByteArray().left(1), bytes("33"));
    }

    // After an empty packet, an overflow, a stall, a timeout, a bus error
    // or a cancel by someone else the endpoint still picks up the next reply.
    void inEndpointKeepsListening_data()
    {
        QTest::addColumn<bool>("super");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<int>("times"); // in a row, on every slot
        for (bool super : { false, true }) {
            const QByteArray speed = super ? "SuperSpeed " : "full speed ";
            QTest::newRow(speed + "zero length") << super << int(LIBUSB_TRANSFER_COMPLETED) << QByteArray() << 1;
            QTest::newRow(speed + "overflow") << super << int(LIBUSB_TRANSFER_COMPLETED) << QByteArray(40000, 'x') << 1;
            QTest::newRow(speed + "stall") << super << int(LIBUSB_TRANSFER_STALL) << QByteArray() << 1;
            QTest::newRow(speed + "timed out") << super << int(LIBUSB_TRANSFER_TIMED_OUT) << QByteArray() << 1;
            QTest::newRow(speed + "error") << super << int(LIBUSB_TRANSFER_ERROR) << QByteArray() << 1;
            QTest::newRow(speed + "cancelled by someone else")
                << super << int(LIBUSB_TRANSFER_CANCELLED) << QByteArray() << 1;
        }
        // One short of the bound: the only slot of a full-speed device.
        QTest::newRow("full speed run of errors")
            << false << int(LIBUSB_TRANSFER_ERROR) << QByteArray() << AbstractLibUSBEndpoint::FailedRunLimit - 1;
        QTest::newRow("full speed cancelled with data")
            << false << int(LIBUSB_TRANSFER_CANCELLED) << bytes("0102") << 1;
    }

    void inEndpointKeepsListening()
    {
        QFETCH(bool, super);
        QFETCH(int, status);
        QFETCH(QByteArray, first);
        QFETCH(int, times);
        makeHandler(super ? superSpeed() : lowSpeed());
        QSignalSpy command(m_handler.data(), &USBDeviceHandler::sendNewCommandConfirmationReceivedToController);
        QSignalSpy usb3(m_handler.data(), &USBDeviceHandler::sendNewUSB3CommandConfirmationReceivedToController);
        QVERIFY(openHandler());
        // On SuperSpeed every one of the fifty slots goes through it.
        for (int i = 0; i < (super ? 50 : 1) * times; ++i)
            m_device->queueIn(0x81, first, status);
        m_device->queueIn(0x81, bytes("4142"));
        QSignalSpy& spy = super ? usb3 : command;
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).toByteArray().left(2), bytes("4142"));
        QTRY_COMPARE(m_device->armedInTransfers(0x81), super ? 50 : 1);
    }

    // A device that errs for ever on the only IN slot of a full-speed
    // device: armed again up to the bound, then left idle.
    void inFailuresForEverGiveTheSlotUp()
    {
        makeHandler(lowSpeed());
        QVERIFY(openHandler());
        for (int i = 0; i < AbstractLibUSBEndpoint::FailedRunLimit + 1; ++i)
            m_device->queueIn(0x81, QByteArray(), LIBUSB_TRANSFER_ERROR);
        QVERIFY(LogLines::instance().waitFor(QStringLiteral("failed transfers in a row"), EventMs));
        QCOMPARE(m_device->queuedIn(0x81), 1);
        QCOMPARE(m_device->armedInTransfers(0x81), 0);
        // The other endpoints go on.
        m_handler->sendCommandToDevice(bytes("0e"));
        QVERIFY(waitFor([&] { return packetsOn(m_device, 0x01).size() == 2; }));
    }

    // A device that left the bus often shows first through a failed
    // transfer: the retry that learns it is gone is the last.
    void inErrorOfAGoneDeviceEndsTheRetries()
    {
        makeHandler(lowSpeed());
        QVERIFY(openHandler());
        m_device->queueIn(0x81, QByteArray(), LIBUSB_TRANSFER_ERROR);
        m_bus->unplug(m_device);
        QVERIFY(LogLines::instance().waitFor(QStringLiteral("submission failed: LIBUSB_ERROR_NO_DEVICE"), EventMs));
        // The retry runs in this thread: had it planned another, it would
        // have said so by now.
        QVERIFY(!LogLines::instance().contains(QStringLiteral("armed again in 8 ms")));
    }

    // A halt lasts until the program clears it: every transfer stalls till
    // then. Cleared, the traffic goes on where it stopped.
    void haltClearedTrafficResumes_data()
    {
        QTest::addColumn<bool>("super");
        QTest::addColumn<int>("endpoint");
        QTest::addColumn<int>("clears");
        QTest::newRow("full speed IN") << false << 0x81 << 1;
        QTest::newRow("SuperSpeed IN, fifty slots halted") << true << 0x81 << 1;
        QTest::newRow("full speed OUT") << false << 0x01 << 1;
        QTest::newRow("SuperSpeed OUT") << true << 0x01 << 1;
        // As many as the bound allows.
        QTest::newRow("full speed IN, halted again after each clear")
            << false << 0x81 << AbstractLibUSBEndpoint::HaltClearLimit;
        QTest::newRow("full speed OUT, halted again after each clear")
            << false << 0x01 << AbstractLibUSBEndpoint::HaltClearLimit;
    }

    void haltClearedTrafficResumes()
    {
        QFETCH(bool, super);
        QFETCH(int, endpoint);
        QFETCH(int, clears);
        makeHandler(super ? superSpeed() : lowSpeed());
        QSignalSpy command(m_handler.data(), &USBDeviceHandler::sendNewCommandConfirmationReceivedToController);
        QSignalSpy usb3(m_handler.data(), &USBDeviceHandler::sendNewUSB3CommandConfirmationReceivedToController);
        QVERIFY(openHandler());
        QVERIFY(waitFor([&] { return packetsOn(m_device, 0x01).size() == 1; })); // the filler
        m_device->halt(quint8(endpoint), clears);
        if (endpoint & LIBUSB_ENDPOINT_IN) {
            m_device->queueIn(0x81, bytes("4142"));
            QVERIFY(waitFor([&] { return command.count() + usb3.count() == 1; }));
            const QSignalSpy& spy = super ? usb3 : command;
            QCOMPARE(spy.at(0).at(1).toByteArray().left(2), bytes("4142"));
            QTRY_COMPARE(m_device->armedInTransfers(0x81), super ? 50 : 1);
        } else {
            // Queued behind the halted packet; they leave in order.
            const QByteArray first(130, '\x0A');
            m_handler->sendCommandToDevice(first);
            m_handler->sendCommandToDevice(bytes("0b"));
            const QList<QByteArray> expected =
                super ? QList<QByteArray> { first, bytes("0b") }
                      : QList<QByteArray> { first.left(64), first.mid(64, 64), first.mid(128) + QByteArray(62, '\xEF'),
                                            bytes("0b") + QByteArray(63, '\xEF') };
            QVERIFY(waitFor([&] { return packetsOn(m_device, 0x01).size() == expected.size() + 1; }));
            QCOMPARE(packetsOn(m_device, 0x01).mid(1), expected);
        }
        QCOMPARE(haltClears(m_device, endpoint), clears);
    }

    // A device that halts again after every clear: the endpoint is given up
    // after the bound, the others go on.
    void haltThatStaysGivesTheEndpointUp_data()
    {
        QTest::addColumn<int>("endpoint");
        QTest::newRow("IN") << 0x81;
        QTest::newRow("OUT") << 0x01;
    }

    void haltThatStaysGivesTheEndpointUp()
    {
        QFETCH(int, endpoint);
        makeHandler(lowSpeed());
        QSignalSpy command(m_handler.data(), &USBDeviceHandler::sendNewCommandConfirmationReceivedToController);
        QSignalSpy data(m_handler.data(), &USBDeviceHandler::sendNewDataReceivedToController);
        QVERIFY(openHandler());
        QVERIFY(waitFor([&] { return packetsOn(m_device, 0x01).size() == 1; }));
        m_device->halt(quint8(endpoint), SimUsbDevice::HaltForEver);
        if (endpoint == 0x01)
            m_handler->sendCommandToDevice(bytes("0c"));
        QVERIFY(LogLines::instance().waitFor(QStringLiteral("stays halted after"), EventMs));
        QCOMPARE(haltClears(m_device, endpoint), AbstractLibUSBEndpoint::HaltClearLimit);
        if (endpoint == 0x81) {
            QCOMPARE(m_device->armedInTransfers(0x81), 0);
            m_handler->sendCommandToDevice(bytes("0d"));
            QVERIFY(waitFor([&] { return packetsOn(m_device, 0x01).size() == 2; }));
        } else {
            // A write to it is dropped, said so, and sent nowhere.
            m_handler->sendCommandToDevice(bytes("0d"));
            QVERIFY(LogLines::instance().contains(QStringLiteral("was given up")));
            QCOMPARE(packetsOn(m_device, 0x01).size(), 1);
            m_device->queueIn(0x82, bytes("4344"));
            QVERIFY(waitFor([&] { return data.count() == 1; }));
        }
        QCOMPARE(command.count(), 0);
    }

    void controlCommandLayout_data()
    {
        QTest::addColumn<QByteArray>("cmd");
        QTest::addColumn<QByteArray>("deviceReply");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QByteArray>("emitted");
        QTest::newRow("7 bytes, reply 4") << bytes("a1123456780004") << bytes("01020304")
                                          << QStringList { "c0 a1 1234 5678 4 ''" } << bytes("01020304");
        QTest::newRow("7 bytes, reply 0")
            << bytes("a1123456780000") << QByteArray() << QStringList { "40 a1 1234 5678 0 ''" } << QByteArray();
        QTest::newRow("9 bytes, reply 2")
            << bytes("b2000100020002aabb") << bytes("0708")
            << QStringList({ "40 b2 0001 0002 2 'aabb'", "c0 b2 0001 0002 2 ''" }) << bytes("0708");
        QTest::newRow("9 bytes, reply 0") << bytes("b2000100020000aabb") << QByteArray()
                                          << QStringList { "40 b2 0001 0002 2 'aabb'" } << QByteArray();
        QTest::newRow("short reply keeps 0xFF")
            << bytes("a1000000000003") << bytes("09") << QStringList { "c0 a1 0000 0000 3 ''" } << bytes("09ffff");
    }

    void controlCommandLayout()
    {
        QFETCH(QByteArray, cmd);
        QFETCH(QByteArray, deviceReply);
        QFETCH(QStringList, requests);
        QFETCH(QByteArray, emitted);
        makeHandler(lowSpeed());
        m_device->setControlHandler([deviceReply](const SimControlRequest& r, QByteArray& data) {
            if (!(r.requestType & LIBUSB_ENDPOINT_IN))
                return int(r.length);
            data = deviceReply;
            return int(deviceReply.size());
        });
        QSignalSpy usb3(m_handler.data(), &USBDeviceHandler::sendNewUSB3CommandConfirmationReceivedToController);
        QSignalSpy control(m_handler.data(), &USBDeviceHandler::sendNewControlCommandConfirmationReceivedToController);
        QVERIFY(openHandler());
        m_handler->sendCtrlCmdToDevice(cmd);
        m_handler->sendControlTransferToDevice(cmd);
        QStringList seen;
        for (const SimControlRequest& r : m_device->controlRequests()) {
            seen << QStringLiteral("%1 %2 %3 %4 %5 '%6'")
                        .arg(r.requestType, 2, 16, QLatin1Char('0'))
                        .arg(r.request, 2, 16, QLatin1Char('0'))
                        .arg(r.value, 4, 16, QLatin1Char('0'))
                        .arg(r.index, 4, 16, QLatin1Char('0'))
                        .arg(r.length)
                        .arg(QString::fromLatin1(r.data.toHex()));
            QVERIFY2(r.timeoutMs > 0, "a control transfer must not wait for ever");
        }
        QCOMPARE(seen, requests + requests);
        for (QSignalSpy* spy : { &usb3, &control }) {
            if (emitted.isEmpty()) {
                QCOMPARE(spy->count(), 0);
            } else {
                QCOMPARE(spy->count(), 1);
                QCOMPARE(spy->at(0).at(1).toByteArray(), emitted);
                QCOMPARE(spy->at(0).at(2).toInt(), int(emitted.size()));
            }
        }
    }

    void controlCommandRefused_data()
    {
        QTest::addColumn<QByteArray>("cmd");
        QTest::addColumn<int>("inResult");
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("requests");
        QTest::newRow("six bytes") << bytes("a1000000000004").left(6) << 4 << true << 0;
        QTest::newRow("empty") << QByteArray() << 4 << true << 0;
        QTest::newRow("failed read") << bytes("a1000000000004") << int(LIBUSB_ERROR_PIPE) << true << 1;
        QTest::newRow("timed out read") << bytes("a1000000000004") << int(LIBUSB_ERROR_TIMEOUT) << true << 1;
        QTest::newRow("device not open") << bytes("a1000000000004") << 4 << false << 0;
    }

    void controlCommandRefused()
    {
        QFETCH(QByteArray, cmd);
        QFETCH(int, inResult);
        QFETCH(bool, open);
        QFETCH(int, requests);
        makeHandler(lowSpeed());
        m_device->setControlHandler([inResult](const SimControlRequest&, QByteArray& data) {
            data = bytes("01020304");
            return inResult;
        });
        QSignalSpy usb3(m_handler.data(), &USBDeviceHandler::sendNewUSB3CommandConfirmationReceivedToController);
        QSignalSpy control(m_handler.data(), &USBDeviceHandler::sendNewControlCommandConfirmationReceivedToController);
        if (open)
            QVERIFY(openHandler());
        m_handler->sendCtrlCmdToDevice(cmd);
        m_handler->sendControlTransferToDevice(cmd);
        QCOMPARE(m_device->controlRequests().size(), requests * 2);
        QCOMPARE(usb3.count(), 0);
        QCOMPARE(control.count(), 0);
    }

    void openingAnOpenHandlerReportsAgain()
    {
        makeHandler(lowSpeed());
        QVERIFY(openHandler());
        const QStringList calls = m_device->calls();
        QVERIFY(openHandler());
        QCOMPARE(m_device->calls(), calls);
        QCOMPARE(m_device->openHandles(), 1);
    }

    void failedOpenStartsCleanNextTime_data()
    {
        QTest::addColumn<int>("openError");
        QTest::addColumn<int>("claimError");
        QTest::newRow("open fails") << int(LIBUSB_ERROR_ACCESS) << 0;
        QTest::newRow("claim fails") << 0 << int(LIBUSB_ERROR_BUSY);
    }

    void failedOpenStartsCleanNextTime()
    {
        QFETCH(int, openError);
        QFETCH(int, claimError);
        SimUsbDeviceSetup setup = lowSpeed();
        setup.openError = openError;
        setup.claimError = claimError;
        makeHandler(setup);
        QSignalSpy connected(m_handler.data(), &USBDeviceHandler::sendConnectionChanged);
        m_handler->open();
        QCOMPARE(connected.count(), 0);
        QVERIFY(!m_handler->isOpen());
        QCOMPARE(m_device->openHandles(), 0);
        QVERIFY(m_handler->endpoints().isEmpty());
        m_handler->sendCommandToDevice(bytes("01"));
        QVERIFY(m_device->outPackets().isEmpty());

        m_device->setOpenError(0);
        m_device->setClaimError(0);
        QVERIFY(openHandler());
        QCOMPARE(m_handler->endpoints().size(), 3);
        m_handler->sendCommandToDevice(bytes("01"));
        QTRY_COMPARE(packetsOn(m_device, 0x01).size(), 2);
        QTest::qWait(20);
        QCOMPARE(packetsOn(m_device, 0x01).size(), 2); // filler and command, once each
    }

    void failedListingOpensNothing()
    {
        makeHandler(lowSpeed());
        m_bus->failNextDeviceList(LIBUSB_ERROR_NO_MEM);
        QSignalSpy connected(m_handler.data(), &USBDeviceHandler::sendConnectionChanged);
        m_handler->open();
        QCOMPARE(connected.count(), 0);
        QVERIFY(openHandler());
    }

    void deviceNotFoundIsNotOpened()
    {
        makeHandler(lowSpeed());
        m_bus->unplug(m_device);
        QSignalSpy connected(m_handler.data(), &USBDeviceHandler::sendConnectionChanged);
        m_handler->open();
        QCOMPARE(connected.count(), 0);
    }

    void unusableConfigurationRefused_data()
    {
        QTest::addColumn<bool>("super");
        QTest::addColumn<bool>("companion");
        QTest::addColumn<int>("configError");
        QTest::newRow("no SuperSpeed companion") << true << false << 0;
        QTest::newRow("no configuration") << false << true << int(LIBUSB_ERROR_IO);
    }

    void unusableConfigurationRefused()
    {
        QFETCH(bool, super);
        QFETCH(bool, companion);
        QFETCH(int, configError);
        SimUsbDeviceSetup setup = super ? superSpeed() : lowSpeed();
        setup.endpoints.last().hasCompanion = companion;
        setup.configError = configError;
        makeHandler(setup);
        QSignalSpy connected(m_handler.data(), &USBDeviceHandler::sendConnectionChanged);
        m_handler->open();
        QCOMPARE(connected.count(), 0);
        QVERIFY(m_handler->endpoints().isEmpty());
        QCOMPARE(m_device->openHandles(), 0);
        QVERIFY(!m_device->calls().contains("claimInterface 0"));
        m_handler->sendCommandToDevice(bytes("01"));
        QVERIFY(m_device->outPackets().isEmpty());
    }

    // Which interface carries the endpoints is not known: opened and
    // reported connected without endpoints, for control commands only.
    void openedWithoutEndpointsUnlessOneInterface_data()
    {
        QTest::addColumn<int>("interfaces");
        QTest::addColumn<QStringList>("claims");
        QTest::newRow("two interfaces") << 2 << QStringList { "claimInterface 0" };
        QTest::newRow("no interface") << 0 << QStringList();
    }

    void openedWithoutEndpointsUnlessOneInterface()
    {
        QFETCH(int, interfaces);
        QFETCH(QStringList, claims);
        SimUsbDeviceSetup setup = lowSpeed();
        setup.interfaceCount = interfaces;
        makeHandler(setup);
        m_device->setControlHandler([](const SimControlRequest&, QByteArray& data) {
            data = bytes("01020304");
            return 4;
        });
        QSignalSpy connected(m_handler.data(), &USBDeviceHandler::sendConnectionChanged);
        QSignalSpy usb3(m_handler.data(), &USBDeviceHandler::sendNewUSB3CommandConfirmationReceivedToController);
        QVERIFY(openHandler());
        QVERIFY(m_handler->endpoints().isEmpty());
        QCOMPARE(m_device->calls(), QStringList { "setConfiguration 1" } + claims);
        m_handler->sendCommandToDevice(bytes("01"));
        QVERIFY(m_device->outPackets().isEmpty());
        m_handler->sendCtrlCmdToDevice(bytes("a1000000000004"));
        QCOMPARE(m_device->controlRequests().size(), 1);
        QCOMPARE(usb3.count(), 1);
        QCOMPARE(usb3.at(0).at(1).toByteArray(), bytes("01020304"));

        m_handler->close();
        QVERIFY(waitFor([&] { return connected.count() == 2; }));
        QCOMPARE(connected.at(1).at(1).toBool(), false);
        QCOMPARE(m_device->calls().mid(1 + claims.size()),
                 claims.isEmpty() ? QStringList() : QStringList { "releaseInterface 0" });
        QCOMPARE(m_device->openHandles(), 0);
    }

    void closeWaitsForCancellations_data()
    {
        QTest::addColumn<bool>("super");
        QTest::newRow("below SuperSpeed") << false;
        QTest::newRow("SuperSpeed") << true;
    }

    void closeWaitsForCancellations()
    {
        QFETCH(bool, super);
        makeHandler(super ? superSpeed() : lowSpeed());
        QSignalSpy connected(m_handler.data(), &USBDeviceHandler::sendConnectionChanged);
        QVERIFY(openHandler());
        m_handler->close();
        QTRY_COMPARE(connected.count(), 2);
        QCOMPARE(connected.at(1).at(1).toBool(), false);
        QVERIFY(!m_handler->isOpen());
        QVERIFY(!m_handler->isClosing());
        QVERIFY(m_handler->endpoints().isEmpty());
        QCOMPARE(m_device->calls().last(), QStringLiteral("releaseInterface 0"));
        QCOMPARE(m_device->openHandles(), 0);
        QCOMPARE(m_device->armedInTransfers(0x81), 0);

        // Opens again, with a running events thread.
        QSignalSpy command(m_handler.data(), &USBDeviceHandler::sendNewCommandConfirmationReceivedToController);
        QSignalSpy usb3(m_handler.data(), &USBDeviceHandler::sendNewUSB3CommandConfirmationReceivedToController);
        QVERIFY(openHandler());
        m_device->queueIn(0x81, bytes("55"));
        QTRY_COMPARE(command.count() + usb3.count(), 1);
    }

    // Nothing in flight to wait for: no cancellation is ever confirmed, yet
    // the close completes.
    void closeWithNothingInFlightCompletes_data()
    {
        QTest::addColumn<QList<SimUsbEndpoint>>("endpoints");
        QTest::newRow("no endpoint") << QList<SimUsbEndpoint>();
        QTest::newRow("OUT endpoints only") << QList<SimUsbEndpoint>({ { 0x01, 64 }, { 0x02, 64 } });
    }

    void closeWithNothingInFlightCompletes()
    {
        QFETCH(QList<SimUsbEndpoint>, endpoints);
        SimUsbDeviceSetup setup = lowSpeed();
        setup.endpoints = endpoints;
        makeHandler(setup);
        QSignalSpy connected(m_handler.data(), &USBDeviceHandler::sendConnectionChanged);
        QVERIFY(openHandler());
        QTRY_COMPARE(m_device->outPackets().size(), int(endpoints.size()));
        m_handler->close();
        QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 2, 1000);
        QCOMPARE(connected.at(1).at(1).toBool(), false);
    }

    // What every reset into the bootloader does: the device goes while open.
    void unplugWhileOpen_data()
    {
        QTest::addColumn<bool>("super");
        QTest::addColumn<bool>("closeFirst");
        QTest::addColumn<bool>("traffic");
        for (bool super : { false, true }) {
            const QByteArray speed = super ? "SuperSpeed, " : "full speed, ";
            QTest::newRow(speed + "idle, destroyed") << super << false << false;
            QTest::newRow(speed + "in flight, destroyed") << super << false << true;
            QTest::newRow(speed + "in flight, closed") << super << true << true;
        }
    }

    void unplugWhileOpen()
    {
        QFETCH(bool, super);
        QFETCH(bool, closeFirst);
        QFETCH(bool, traffic);
        makeHandler(super ? superSpeed() : lowSpeed());
        QSignalSpy connected(m_handler.data(), &USBDeviceHandler::sendConnectionChanged);
        QVERIFY(openHandler());
        if (traffic) {
            // Replies and writes still on their way when the device goes.
            for (int i = 0; i < 5; ++i)
                m_device->queueIn(0x82, QByteArray(60, char(i)));
            m_device->failNextOut(0x01, LIBUSB_TRANSFER_NO_DEVICE);
            m_handler->sendCommandToDevice(QByteArray(300, '\x01'));
        }
        m_bus->unplug(m_device);
        m_handler->sendCommandToDevice(bytes("02"));
        if (closeFirst) {
            m_handler->close();
            QTRY_COMPARE(connected.count(), 2);
            QCOMPARE(connected.at(1).at(1).toBool(), false);
            QVERIFY(!m_handler->isOpen());
            QCOMPARE(m_device->calls().last(), QStringLiteral("releaseInterface 0"));
            // Closed for good: a new open finds nothing and takes nothing.
            m_handler->open();
            QCOMPARE(connected.count(), 2);
        } else {
            QTest::qWait(5);
        }
        m_handler.reset();
        QCOMPARE(m_device->openHandles(), 0);
    }

    void outErrorThenWriteUsesNewTransfer()
    {
        makeHandler(lowSpeed());
        QVERIFY(openHandler());
        m_device->failNextOut(0x01, LIBUSB_TRANSFER_ERROR);
        m_handler->sendCommandToDevice(QByteArray(130, '\x0A'));
        // The failure handled, and what was queued behind it dropped, before
        // the next write.
        QVERIFY(m_bus->waitUntil([&] { return m_device->failedOutsHandled() == 1; }, 10000));
        m_handler->sendCommandToDevice(bytes("0b"));
        QTRY_COMPARE(packetsOn(m_device, 0x01).size(), 2);
        QCOMPARE(packetsOn(m_device, 0x01).last(), bytes("0b") + QByteArray(63, '\xEF'));
        QTest::qWait(20);
        QCOMPARE(packetsOn(m_device, 0x01).size(), 2);
    }

    void outStallSendsAgain()
    {
        makeHandler(lowSpeed());
        QVERIFY(openHandler());
        m_device->failNextOut(0x01, LIBUSB_TRANSFER_STALL);
        m_handler->sendCommandToDevice(bytes("0c"));
        QTRY_COMPARE(packetsOn(m_device, 0x01).size(), 2);
        QCOMPARE(packetsOn(m_device, 0x01).last().left(1), bytes("0c"));
    }

    void writeRetriedWhileSlotLocked()
    {
        makeHandler(lowSpeed());
        QVERIFY(openHandler());
        auto out = m_handler->endpoints().first();
        QVERIFY(!out->isIn());
        QSemaphore held;
        QScopedPointer<QThread> holder(QThread::create([&] {
            out->slotLock(0)->lock();
            held.release();
            QThread::msleep(4 * AbstractLibUSBEndpoint::SlotLockTimeoutMs);
            out->slotLock(0)->unlock();
        }));
        holder->start();
        held.acquire();
        m_handler->sendCommandToDevice(bytes("0d"));
        holder->wait();
        QTRY_COMPARE(packetsOn(m_device, 0x01).size(), 2);
        QCOMPARE(packetsOn(m_device, 0x01).last().left(1), bytes("0d"));
    }

    void failedInitLeavesHandlerInert()
    {
        m_bus->setInitError(LIBUSB_ERROR_NO_MEM);
        makeHandler(lowSpeed());
        QSignalSpy connected(m_handler.data(), &USBDeviceHandler::sendConnectionChanged);
        m_handler->open();
        m_handler->sendCommandToDevice(bytes("01"));
        m_handler->sendCtrlCmdToDevice(bytes("a1000000000004"));
        m_handler->close();
        QCOMPARE(connected.count(), 0);
        QCOMPARE(m_device->openHandles(), 0);
    }
};

QTEST_GUILESS_MAIN(TestUsbDeviceHandler)
#include "tst_usbdevicehandler.moc"
