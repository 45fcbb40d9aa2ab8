#pragma once

#include "device/CommunicatorFactory.h"
#include "tests/device/usb/sim/SimUsbBus.h"
#include "tests/firmware/bootloader/sim/SimInstrument.h"

#include <QMutex>
#include <QSharedPointer>
#include <QString>

// A simulated instrument plugged into the simulated USB bus: its OUT packets
// reach the protocol core, whose replies come back on the IN endpoint. When
// the core resets or jumps, the instrument leaves the bus and enumerates
// again as its other face, at the next address of the same port.
class UsbInstrument
{
public:
    static constexpr quint8 OutEndpoint = 0x01;
    static constexpr quint8 InEndpoint = 0x81;

    UsbInstrument(QSharedPointer<SimUsbBus> bus, const sim::InstrumentProfile& profile, quint8 port, quint8 address);
    ~UsbInstrument();

    sim::Instrument& core() { return m_core; }
    // The uid the program gives the instrument where it is now.
    QString uid() const;
    bool isPlugged() const;
    // Pulled out by the test: it never comes back.
    void unplug();
    int enumerations() const;

private:
    void attach(const sim::UsbIdentity& identity); // lock held
    void onOut(quint8 endpoint, const QByteArray& data);

    mutable QMutex m_lock;
    QSharedPointer<SimUsbBus> m_bus;
    sim::Instrument m_core;
    QSharedPointer<SimUsbDevice> m_device;
    quint8 m_port;
    quint8 m_nextAddress;
    bool m_pulled = false;
    int m_enumerations = 0;
};

// The program's transports with the USB one over the simulated bus; no
// Ethernet, camera or serial transport.
class SimulatedUsbTransports : public CommunicatorFactory
{
public:
    explicit SimulatedUsbTransports(QSharedPointer<SimUsbBus> bus);
    QSharedPointer<AbstractCommunicator> createUSBCommunicator() override;

private:
    QSharedPointer<SimUsbBus> m_bus;
};
