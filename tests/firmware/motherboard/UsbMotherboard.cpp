#include "tests/firmware/motherboard/UsbMotherboard.h"

#include <QMutexLocker>

UsbMotherboard::UsbMotherboard(QSharedPointer<SimUsbBus> bus, const sim::MotherboardProfile& profile, quint8 port,
                               quint8 address)
    : m_bus(bus)
    , m_core(profile)
    , m_port(port)
    , m_nextAddress(address)
{
    QMutexLocker locker(&m_lock);
    attach(m_core.identity());
}

UsbMotherboard::~UsbMotherboard()
{
    QMutexLocker locker(&m_lock);
    if (m_device) {
        m_device->setOutHandler({});
        m_bus->unplug(m_device);
    }
}

void UsbMotherboard::attach(const sim::UsbIdentity& identity)
{
    SimUsbDeviceSetup setup;
    setup.vendorId = identity.vendorId;
    setup.productId = identity.productId;
    setup.bcdDevice = identity.release;
    setup.port = m_port;
    setup.address = m_nextAddress++;
    setup.product = identity.product;
    setup.serial = identity.serial;
    setup.endpoints = { { OutEndpoint, 64 }, { InEndpoint, 64 } };
    m_device = m_bus->plug(setup);
    ++m_enumerations;
    m_device->setOutHandler([this](quint8 endpoint, const QByteArray& data) { onOut(endpoint, data); });
}

void UsbMotherboard::onOut(quint8 endpoint, const QByteArray& data)
{
    if (endpoint != OutEndpoint)
        return;
    const sim::Instrument::Output out = m_core.receive(data);
    QMutexLocker locker(&m_lock);
    if (!m_device || m_pulled)
        return;
    for (const QByteArray& reply : out.replies)
        m_device->queueIn(InEndpoint, reply);
    if (out.busAction == sim::Instrument::BusAction::None)
        return;
    m_device->setOutHandler({});
    m_bus->unplug(m_device);
    m_device.reset();
    if (out.busAction == sim::Instrument::BusAction::Reenumerate)
        attach(m_core.identity());
}

QString UsbMotherboard::uid() const
{
    QMutexLocker locker(&m_lock);
    return m_device ? m_device->locationKey() : QString();
}

bool UsbMotherboard::isPlugged() const
{
    QMutexLocker locker(&m_lock);
    return bool(m_device);
}

void UsbMotherboard::unplug()
{
    QMutexLocker locker(&m_lock);
    m_pulled = true;
    if (!m_device)
        return;
    m_device->setOutHandler({});
    m_bus->unplug(m_device);
    m_device.reset();
}

int UsbMotherboard::enumerations() const
{
    QMutexLocker locker(&m_lock);
    return m_enumerations;
}
