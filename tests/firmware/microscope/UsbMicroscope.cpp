#include "tests/firmware/microscope/UsbMicroscope.h"

UsbMicroscope::UsbMicroscope(QSharedPointer<SimUsbBus> bus, quint16 release,
                             const sim::Usb3Microscope::Versions& versions, quint8 port, quint8 address)
    : m_bus(bus)
    , m_driver(versions)
{
    SimUsbDeviceSetup setup;
    setup.vendorId = VendorId;
    setup.productId = ProductId;
    setup.bcdDevice = release;
    setup.port = port;
    setup.address = address;
    setup.speed = LIBUSB_SPEED_SUPER;
    setup.product = QStringLiteral("Microscope USB3");
    setup.endpoints = { { 0x01, 1024, LIBUSB_TRANSFER_TYPE_BULK, 0, 15, true },
                        { 0x81, 1024, LIBUSB_TRANSFER_TYPE_BULK, 0, 15, true } };
    m_device = m_bus->plug(setup);
    SimUsbDevice* device = m_device.data();
    m_device->setOutHandler([this, device](quint8 endpoint, const QByteArray& data) {
        if (endpoint != 0x01)
            return;
        QMutexLocker locker(&m_lock);
        // A write to 0x600: '#', 0x07, length, 00 00 06 00, then the payload.
        if (m_onWrite && data.size() > 7 && data.at(1) == 0x07 && data.mid(3, 4) == QByteArray::fromHex("00000600"))
            m_onWrite(data.at(7));
        for (const QByteArray& reply : m_driver.receive(data))
            device->queueIn(0x81, reply);
        m_frames.stepped();
    });
}

UsbMicroscope::~UsbMicroscope()
{
    m_device->setOutHandler({});
    m_bus->unplug(m_device);
}

void UsbMicroscope::sendUnasked(const QByteArray& bytes)
{
    m_device->queueIn(0x81, bytes);
}

void UsbMicroscope::setOnChannelWrite(std::function<void(char)> onWrite)
{
    QMutexLocker locker(&m_lock);
    m_onWrite = std::move(onWrite);
}

QString UsbMicroscope::uid() const
{
    return m_device->locationKey();
}
