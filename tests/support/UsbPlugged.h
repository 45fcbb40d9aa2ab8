#pragma once

#include "tests/device/usb/sim/SimUsbBus.h"
#include "tests/support/StepWait.h"
#include "tests/support/sim/SimInstrument.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSharedPointer>
#include <QString>

#include <functional>

// A simulated instrument's protocol core plugged into the simulated USB bus:
// its OUT packets reach the core, whose replies come back on the IN
// endpoint. When the core resets or jumps, the instrument leaves the bus and
// enumerates again as its other face, at the next address of the same port.
// The core answers a packet with an sim::Instrument::Output and tells its
// USB face through identity().
template <typename Core>
class UsbPlugged
{
public:
    static constexpr quint8 OutEndpoint = 0x01;
    static constexpr quint8 InEndpoint = 0x81;

    template <typename Profile>
    UsbPlugged(QSharedPointer<SimUsbBus> bus, const Profile& profile, quint8 port, quint8 address)
        : m_bus(bus)
        , m_core(profile)
        , m_port(port)
        , m_nextAddress(address)
    {
        QMutexLocker locker(&m_lock);
        attach(m_core.identity());
    }

    ~UsbPlugged()
    {
        QMutexLocker locker(&m_lock);
        detach();
    }

    UsbPlugged(const UsbPlugged&) = delete;
    UsbPlugged& operator=(const UsbPlugged&) = delete;

    Core& core() { return m_core; }

    // The uid the program gives the instrument where it is now.
    QString uid() const
    {
        QMutexLocker locker(&m_lock);
        return m_device ? m_device->locationKey() : QString();
    }

    bool isPlugged() const
    {
        QMutexLocker locker(&m_lock);
        return bool(m_device);
    }

    // Pulled out by the test: it never comes back.
    void unplug()
    {
        QMutexLocker locker(&m_lock);
        m_pulled = true;
        detach();
    }

    // Its IN endpoint answers with stalls from now on, cleared or not.
    void haltRepliesForGood()
    {
        QMutexLocker locker(&m_lock);
        if (m_device)
            m_device->halt(InEndpoint, SimUsbDevice::HaltForEver);
    }

    int enumerations() const
    {
        QMutexLocker locker(&m_lock);
        return m_enumerations;
    }

    // Runs the event loop until done() holds, asked after each packet the
    // instrument took, or until timeoutMs have passed.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs) { return m_packets.waitUntil(done, timeoutMs); }

private:
    void attach(const sim::UsbIdentity& identity) // lock held
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

    void detach() // lock held
    {
        if (!m_device)
            return;
        m_device->setOutHandler({});
        m_bus->unplug(m_device);
        m_device.reset();
    }

    void onOut(quint8 endpoint, const QByteArray& data)
    {
        if (endpoint != OutEndpoint)
            return;
        QMutexLocker locker(&m_lock);
        // Off the bus, it takes nothing more, not even a packet that was on
        // its way when it left.
        if (!m_device || m_pulled)
            return;
        const sim::Instrument::Output out = m_core.receive(data);
        // Asked once the lock is let go: the bus as this packet leaves it.
        m_packets.stepped();
        for (const QByteArray& reply : out.replies)
            m_device->queueIn(InEndpoint, reply);
        if (out.busAction == sim::Instrument::BusAction::None)
            return;
        detach();
        if (out.busAction == sim::Instrument::BusAction::Reenumerate)
            attach(m_core.identity());
    }

    mutable QMutex m_lock;
    QSharedPointer<SimUsbBus> m_bus;
    Core m_core;
    QSharedPointer<SimUsbDevice> m_device;
    quint8 m_port;
    quint8 m_nextAddress;
    bool m_pulled = false;
    int m_enumerations = 0;
    StepWait m_packets;
};
