#include "tests/firmware/fx3/UsbTv720.h"

#include "tests/support/sim/SimRegisterCrc.h"

UsbTv720::UsbTv720(QSharedPointer<SimUsbBus> bus, char major, char minor, quint8 port, quint8 address)
    : m_bus(bus)
    , m_major(major)
    , m_minor(minor)
{
    SimUsbDeviceSetup setup;
    setup.vendorId = 0x04B4;
    setup.productId = 0x00F2;
    setup.bcdDevice = 9;
    setup.port = port;
    setup.address = address;
    setup.speed = LIBUSB_SPEED_SUPER;
    setup.product = QStringLiteral("TV720");
    setup.endpoints = { { 0x01, 1024, LIBUSB_TRANSFER_TYPE_BULK, 0, 15, true },
                        { 0x81, 1024, LIBUSB_TRANSFER_TYPE_BULK, 0, 15, true } };
    m_device = m_bus->plug(setup);
    SimUsbDevice* device = m_device.data();
    m_device->setOutHandler([this, device](quint8 endpoint, const QByteArray& frame) {
        if (endpoint != 0x01 || !frame.startsWith('#'))
            return; // the host's priming packets
        QMutexLocker locker(&m_lock);
        // The version read: '#', 8, count 2, address 00 01, CRC-8, CR.
        if (frame.size() < 7 || frame.left(5) != QByteArray::fromHex("2308020001")
            || quint8(frame.at(5)) != sim::registerCrc(frame.mid(1, 4)) || frame.at(6) != '\r') {
            ++m_rejected;
            return;
        }
        QByteArray reply(18, '\0');
        reply[3] = 13;
        reply[16] = m_minor;
        reply[17] = m_major;
        device->queueIn(0x81, reply);
    });
    m_device->setControlHandler(
        [this](const SimControlRequest& request, QByteArray& data) { return control(request, data); });
}

UsbTv720::~UsbTv720()
{
    m_device->setOutHandler({});
    m_device->setControlHandler({});
    m_bus->unplug(m_device);
}

QString UsbTv720::uid() const
{
    return m_device->locationKey();
}

int UsbTv720::rejectedFrames() const
{
    QMutexLocker locker(&m_lock);
    return m_rejected;
}

void UsbTv720::sendUnasked(const QByteArray& bytes)
{
    m_device->queueIn(0x81, bytes);
}

void UsbTv720::setOnCommand(std::function<void(quint8)> onCommand)
{
    QMutexLocker locker(&m_lock);
    m_onCommand = std::move(onCommand);
}

int UsbTv720::control(const SimControlRequest& request, QByteArray& data)
{
    QMutexLocker locker(&m_lock);
    if ((request.requestType & 0x60) != LIBUSB_REQUEST_TYPE_VENDOR)
        return LIBUSB_ERROR_PIPE;
    if (!(request.requestType & LIBUSB_ENDPOINT_IN)) {
        m_pendingRequest = request.request;
        m_pendingData = request.data;
        return int(request.data.size());
    }
    // The bridge reads the command as request, value, index, returned
    // length (big-endian) and the data of its OUT stage.
    QByteArray command;
    command.append(char(request.request));
    command.append(char(request.value >> 8));
    command.append(char(request.value));
    command.append(char(request.index >> 8));
    command.append(char(request.index));
    command.append(char(request.length >> 8));
    command.append(char(request.length));
    if (m_pendingRequest == request.request)
        command.append(m_pendingData);
    m_pendingData.clear();
    m_pendingRequest = 0;
    if (m_onCommand)
        m_onCommand(request.request);
    const QByteArray reply = m_bridge.control(command);
    if (reply.isEmpty())
        return LIBUSB_ERROR_TIMEOUT;
    data = reply;
    return int(qMin(reply.size(), qsizetype(request.length)));
}
