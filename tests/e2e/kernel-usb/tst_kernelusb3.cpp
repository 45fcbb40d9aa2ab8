#include "device/usb/QLibUSB3Endpoint.h"
#include "device/usb/USBCommunicator.h"
#include "tests/e2e/kernel-usb/CountingLibUSB.h"
#include "tests/e2e/kernel-usb/KernelGadget.h"

#include <QtTest>

namespace {

constexpr int FoundMs = 20000;
constexpr int ReplyMs = 10000;
constexpr int PacketSize = 1024;
constexpr int ShortTail = 16;

struct Received
{
    QByteArray data;
    int length;
};

QByteArray inverted(QByteArray bytes)
{
    for (char& c : bytes)
        c = char(~c);
    return bytes;
}

} // namespace

// A USB 3 device on the SuperSpeed side of the dummy controller, under the
// program's real USB transport: found as USB 3, opened with the companion
// descriptors of its endpoints, packets through the SuperSpeed endpoint
// classes both ways, a vendor control transfer, and closed clean.
class TestKernelUsb3 : public QObject
{
    Q_OBJECT

private slots:
    void superSpeedDevice()
    {
        KernelGadget gadget(QStringLiteral("usb3"), QStringLiteral("gqz3"), QStringLiteral("dummy_udc.1"));
        QVERIFY2(gadget.start(), qPrintable(gadget.error()));
        auto api = QSharedPointer<CountingLibUSB>::create();
        USBCommunicator communicator(api);

        QSharedPointer<MovraDeviceInfo> device;
        QList<bool> connection;
        QList<Received> replies;
        QList<QByteArray> data;
        QList<Received> control;
        connect(&communicator, &AbstractCommunicator::sendDeviceInserted, this,
                [&](QSharedPointer<MovraDeviceInfo> info) {
                    if (info->vid() == 0x04B4)
                        device = info;
                });
        connect(&communicator, &USBCommunicator::sendConnectionChanged, this,
                [&](QSharedPointer<MovraDeviceInfo>, bool open) { connection.append(open); });
        connect(&communicator, &USBCommunicator::sendCommandUSB3ReceivedFromDevice, this,
                [&](QSharedPointer<MovraDeviceInfo>, QByteArray bytes, int length) {
                    replies.append({ bytes, length });
                });
        connect(&communicator, &USBCommunicator::sendDataReceivedFromDevice, this,
                [&](QSharedPointer<MovraDeviceInfo>, QByteArray bytes) { data.append(bytes); });
        connect(&communicator, &USBCommunicator::sendControlCommandReceivedFromDevice, this,
                [&](QSharedPointer<MovraDeviceInfo>, QByteArray bytes, int length) {
                    control.append({ bytes, length });
                });
        communicator.onCommunicationThreadStarted();

        QVERIFY(QTest::qWaitFor([&] { return !device.isNull(); }, FoundMs));
        QCOMPARE(device->commType(), CommType::USB3);
        QCOMPARE(device->pid(), quint16(0x00F1));
        QCOMPARE(device->name(), QStringLiteral("GQZ3 USB3 Driver"));

        communicator.onOpenDeviceReceived(device);
        QTRY_COMPARE_WITH_TIMEOUT(connection, QList<bool> { true }, ReplyMs);
        const auto endpoints = communicator.handler(device)->endpoints();
        QCOMPARE(endpoints.size(), 3);
        QList<quint8> addresses;
        for (const auto& endpoint : endpoints) {
            const auto* usb3 = qobject_cast<QLibUSB3Endpoint*>(endpoint.data());
            QVERIFY(usb3);
            QCOMPARE(endpoint->description()->maxPacketSize, quint16(PacketSize));
            addresses.append(endpoint->description()->address);
            // The companion descriptor came from the device: the data
            // endpoint bursts four packets, the others one.
            QCOMPARE(usb3->companion().burstSize, quint8(endpoint->description()->address == 0x86 ? 4 : 1));
        }
        std::sort(addresses.begin(), addresses.end());
        QCOMPARE(addresses, (QList<quint8> { 0x02, 0x81, 0x86 }));

        // A command out, its answer on the command endpoint.
        const QByteArray command = QByteArray::fromHex("10") + QByteArray("kernel usb3 cmd");
        communicator.onSendCommandToDeviceReceived(device, command);
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 1, ReplyMs);
        QCOMPARE(replies.first().length, command.size());
        QCOMPARE(replies.first().data, inverted(command));

        // Five packets and a short one on the data endpoint, in one transfer.
        const QByteArray stream = QByteArray::fromHex("2005");
        communicator.onSendCommandToDeviceReceived(device, stream);
        QTRY_COMPARE_WITH_TIMEOUT(data.size(), 1, ReplyMs);
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 2, ReplyMs);
        QCOMPARE(replies.at(1).data, inverted(stream));
        const int streamed = 5 * PacketSize + ShortTail;
        QVERIFY(data.first().size() >= streamed);
        for (int i = 0; i < streamed; ++i) {
            if (quint8(data.first().at(i)) != quint8((i / PacketSize * 7 + i) & 0xFF))
                QFAIL(qPrintable(QStringLiteral("data byte %1 differs").arg(i)));
        }

        // A vendor control transfer: data out, then read back reversed.
        communicator.onSendControlTransferToDeviceReceived(device, QByteArray::fromHex("51000100000008") + "ABCDEFGH");
        QTRY_COMPARE_WITH_TIMEOUT(control.size(), 1, ReplyMs);
        QCOMPARE(control.first().data, QByteArray("HGFEDCBA"));

        // The device agrees on what it was sent.
        const QMap<QString, qint64> state = gadget.state();
        QCOMPARE(state.value(QStringLiteral("commands")), 2);
        QCOMPARE(state.value(QStringLiteral("dataPackets")), 6);

        communicator.onCloseDeviceReceived(device);
        QTRY_COMPARE_WITH_TIMEOUT(connection, (QList<bool> { true, false }), ReplyMs);
        QCOMPARE(api->handles(), 0);
        QCOMPARE(api->transfers(), 0);
        QCOMPARE(api->eventThreads(), 0);
        communicator.onCommunicationThreadStopped();
    }
};

QTEST_MAIN(TestKernelUsb3)
#include "tst_kernelusb3.moc"
