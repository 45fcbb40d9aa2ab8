#include "device/CommunicatorFactory.h"
#include "device/MovraHardwareServer.h"
#include "device/usb/USBCommunicator.h"
#include "tests/device/usb/sim/SimUsbBus.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/RelaySpy.h"
#include "tests/support/TestTransports.h"

#include <QtTest>

namespace {

using Record = QSharedPointer<MovraDeviceInfo>;

Record recordFor(const QSharedPointer<SimUsbDevice>& device)
{
    return DeviceRecordBuilder::on(device->setup().speed >= LIBUSB_SPEED_SUPER ? CommType::USB3 : CommType::USB)
        .serialNumber(device->locationKey())
        .uid(device->locationKey())
        .build();
}

SimUsbDeviceSetup instrument()
{
    SimUsbDeviceSetup setup;
    setup.endpoints = { { 0x01, 64 }, { 0x81, 64 }, { 0x82, 64 } };
    return setup;
}

// Answers every command on its command endpoint with "ok" and the first
// command byte, every control read with its request code.
void makeResponsive(const QSharedPointer<SimUsbDevice>& device)
{
    QWeakPointer<SimUsbDevice> weak = device;
    device->setOutHandler([weak](quint8, const QByteArray& data) {
        if (auto d = weak.toStrongRef(); d && data.at(0) != 0)
            d->queueIn(0x81, QByteArray("ok") + data.left(1));
    });
    device->setControlHandler([](const SimControlRequest& r, QByteArray& data) {
        data = QByteArray(r.length, char(r.request));
        return int(r.length);
    });
}

} // namespace

class TestUsbCommunicator : public QObject
{
    Q_OBJECT

private:
    QSharedPointer<SimUsbBus> m_bus;

    static void insert(USBCommunicator& c, const Record& record)
    {
        QVERIFY(QMetaObject::invokeMethod(&c, "onDeviceInserted", Qt::DirectConnection,
                                          Q_ARG(QSharedPointer<MovraDeviceInfo>, record)));
    }

    static void remove(USBCommunicator& c, const Record& record)
    {
        QVERIFY(QMetaObject::invokeMethod(&c, "onDeviceRemoved", Qt::DirectConnection,
                                          Q_ARG(QSharedPointer<MovraDeviceInfo>, record)));
    }

private slots:
    void init() { m_bus = QSharedPointer<SimUsbBus>::create(); }

    void cleanup()
    {
        QCOMPARE(m_bus->errors(), QStringList());
        QCOMPARE(m_bus->outstanding(), QStringList());
    }

    void relaysRepliesOfHeldDevices()
    {
        auto device = m_bus->plug(instrument());
        makeResponsive(device);
        const Record record = recordFor(device);
        USBCommunicator communicator(m_bus);
        QSignalSpy inserted(&communicator, &USBCommunicator::sendDeviceInserted);
        QSignalSpy connection(&communicator, &USBCommunicator::sendConnectionChanged);
        QSignalSpy replies(&communicator, &USBCommunicator::sendCommandReceivedFromDevice);
        QSignalSpy usb3(&communicator, &USBCommunicator::sendCommandUSB3ReceivedFromDevice);
        QSignalSpy control(&communicator, &USBCommunicator::sendControlCommandReceivedFromDevice);
        QSignalSpy data(&communicator, &USBCommunicator::sendDataReceivedFromDevice);

        insert(communicator, record);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(device->openHandles(), 0); // not opened until asked

        communicator.onOpenDeviceReceived(record);
        QTRY_COMPARE(connection.count(), 1);
        QCOMPARE(connection.at(0).at(0).value<Record>(), record);
        QCOMPARE(connection.at(0).at(1).toBool(), true);

        communicator.onSendCommandToDeviceReceived(record, QByteArray("\x07", 1));
        QTRY_COMPARE(replies.count(), 1);
        QCOMPARE(replies.at(0).at(1).toByteArray().left(3), QByteArray("ok\x07"));

        communicator.onSendCtrlCmdToDeviceReceived(record, QByteArray::fromHex("21000000000002"));
        communicator.onSendControlTransferToDeviceReceived(record, QByteArray::fromHex("22000000000003"));
        QTRY_COMPARE(usb3.count(), 1);
        QTRY_COMPARE(control.count(), 1);
        QCOMPARE(usb3.at(0).at(1).toByteArray(), QByteArray(2, '\x21'));
        QCOMPARE(usb3.at(0).at(2).toInt(), 2);
        QCOMPARE(control.at(0).at(1).toByteArray(), QByteArray(3, '\x22'));

        device->queueIn(0x82, QByteArray("data"));
        QTRY_COMPARE(data.count(), 1);
        QCOMPARE(data.at(0).at(1).toByteArray().left(4), QByteArray("data"));

        // A stranger's requests reach nobody.
        const Record stranger = recordFor(device);
        communicator.onSendCommandToDeviceReceived(stranger, QByteArray("\x09", 1));
        communicator.onOpenDeviceReceived(stranger);
        QTest::qWait(30);
        QCOMPARE(replies.count(), 1);
        QCOMPARE(connection.count(), 1);
    }

    void equalRecordsGetTheirOwnHandlers()
    {
        auto device = m_bus->plug(instrument());
        const Record a = recordFor(device);
        const Record b = recordFor(device);
        QVERIFY(*a == *b);
        USBCommunicator communicator(m_bus);
        insert(communicator, a);
        insert(communicator, b);
        QVERIFY(communicator.handler(a));
        QVERIFY(communicator.handler(b));
        QVERIFY(communicator.handler(a) != communicator.handler(b));
    }

    void removalOfOpenDeviceClosesItSilently()
    {
        auto device = m_bus->plug(instrument());
        const Record record = recordFor(device);
        USBCommunicator communicator(m_bus);
        QSignalSpy removed(&communicator, &USBCommunicator::sendDeviceRemoved);
        QSignalSpy connection(&communicator, &USBCommunicator::sendConnectionChanged);
        insert(communicator, record);
        communicator.onOpenDeviceReceived(record);
        QTRY_COMPARE(connection.count(), 1);

        remove(communicator, recordFor(device)); // equal, but not held
        QCOMPARE(removed.count(), 0);

        m_bus->unplug(device);
        remove(communicator, record);
        QCOMPARE(removed.count(), 1);
        QVERIFY(!communicator.handler(record));
        QCOMPARE(device->openHandles(), 0);
        QTest::qWait(30);
        QCOMPARE(connection.count(), 1);
    }

    // The whole road through the hardware server and its threads: found,
    // opened, a command answered, then unplugged while open, as a reset into
    // the bootloader does, and found again at its new address.
    void throughTheHardwareServer()
    {
        // Every relay of the USB transport is connected by its signature.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("cannot relay")));
        auto device = m_bus->plug(instrument());
        makeResponsive(device);
        auto server = QSharedPointer<MovraHardwareServer>::create(
            TestTransports().usbOver(m_bus).only({ TestTransports::Usb }).shared());
        QSignalSpy inserted(server.data(), &MovraHardwareServer::deviceInserted);
        QSignalSpy removed(server.data(), &MovraHardwareServer::deviceRemoved);
        QSignalSpy connection(server.data(), &MovraHardwareServer::deviceConnectionChanged);
        QSignalSpy replies(server.data(), &MovraHardwareServer::commandReceivedFromDevice);
        QSignalSpy usb3(server.data(), &MovraHardwareServer::commandUSB3ReceivedFromDevice);
        server->startCommunicationThreads();
        QTRY_COMPARE_WITH_TIMEOUT(inserted.count(), 1, 10000);
        const Record record = inserted.at(0).at(0).value<Record>();
        QCOMPARE(record->uid(), device->locationKey());

        emit server->openUSBDeviceReceivedFromUpdater(record);
        QTRY_COMPARE_WITH_TIMEOUT(connection.count(), 1, 10000);
        server->commandReceivedFromUpdater(record, QByteArray("\x05", 1));
        QTRY_COMPARE_WITH_TIMEOUT(replies.count(), 1, 10000);
        QCOMPARE(replies.at(0).at(1).toByteArray().left(3), QByteArray("ok\x05"));
        emit server->sendCtrlCmdToDeviceFromUpdater(record, QByteArray::fromHex("31000000000001"));
        QTRY_COMPARE_WITH_TIMEOUT(usb3.count(), 1, 10000);

        // Transfers in flight when the device goes.
        for (int i = 0; i < 3; ++i)
            device->queueIn(0x82, QByteArray(20, char(i)));
        server->commandReceivedFromUpdater(record, QByteArray(200, '\x00'));
        auto bootloader = m_bus->reenumerate(device, 9, 0xF676, QStringLiteral("Bootloader"), QString());
        QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 1, 10000);
        QCOMPARE(removed.at(0).at(0).value<Record>(), record);
        QTRY_COMPARE_WITH_TIMEOUT(inserted.count(), 2, 10000);
        QCOMPARE(inserted.at(1).at(0).value<Record>()->name(), QStringLiteral("Bootloader"));
        QCOMPARE(device->openHandles(), 0);

        server->stopCommunicationThreads();
        server.reset();
    }

    void defaultFactoryMakesTheRealTransport()
    {
        CommunicatorFactory factory;
        auto communicator = factory.createUSBCommunicator();
        QVERIFY(qobject_cast<USBCommunicator*>(communicator.data()));
    }

    // This machine has no USB bus: the real library starts, lists nothing
    // and stops cleanly.
    void realLibraryFindsNothingAndStops()
    {
        auto communicator = QSharedPointer<USBCommunicator>::create();
        // Emitted in the communicator's thread, written down in this one.
        RelaySpy inserted(communicator.data(), &USBCommunicator::sendDeviceInserted);
        QThread thread;
        connect(&thread, &QThread::started, communicator.data(), &USBCommunicator::onCommunicationThreadStarted);
        connect(&thread, &QThread::finished, communicator.data(), &USBCommunicator::onCommunicationThreadStopped);
        communicator->moveToThread(&thread);
        thread.start(QThread::HighPriority);
        QVERIFY(!inserted.wait(AbstractGrabber::PollIntervalMs + 300));
        thread.quit();
        QVERIFY(thread.wait(10000));
        communicator.reset();
        QCOMPARE(inserted.count(), 0);
    }

    // Its events thread waits inside the real library and still stops at once.
    void realLibraryHandlerFindsNoDeviceAndStops()
    {
        const auto record = DeviceRecordBuilder().serialNumber(QStringLiteral("04D8-F57E-0103-05")).build();
        auto handler = QSharedPointer<USBDeviceHandler>::create(record);
        QSignalSpy connected(handler.data(), &USBDeviceHandler::sendConnectionChanged);
        QElapsedTimer clock;
        clock.start();
        // The failed open stops the events thread it started.
        handler->open();
        handler->sendCommandToDevice(QByteArray("\x01", 1));
        handler->sendCtrlCmdToDevice(QByteArray::fromHex("21000000000002"));
        handler.reset();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(connected.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestUsbCommunicator)
#include "tst_usbcommunicator.moc"
