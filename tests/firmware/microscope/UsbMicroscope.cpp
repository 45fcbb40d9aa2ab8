#include "tests/firmware/microscope/UsbMicroscope.h"

UsbMicroscope::UsbMicroscope(QSharedPointer<SimUsbBus> bus, quint16 release,
                             const sim::Usb3Microscope::Versions& versions)
    : m_bus(bus)
    , m_driver(versions)
{
    SimUsbDeviceSetup setup;
    setup.vendorId = VendorId;
    setup.productId = ProductId;
    setup.bcdDevice = release;
    setup.port = 3;
    setup.address = 7;
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
        for (const QByteArray& reply : m_driver.receive(data))
            device->queueIn(0x81, reply);
    });
}

UsbMicroscope::~UsbMicroscope()
{
    m_device->setOutHandler({});
    m_bus->unplug(m_device);
}

QString UsbMicroscope::uid() const
{
    return m_device->locationKey();
}
