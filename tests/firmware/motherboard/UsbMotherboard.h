#pragma once

#include "tests/device/usb/sim/SimUsbBus.h"
#include "tests/firmware/motherboard/sim/SimMotherboard.h"

#include <QMutex>
#include <QSharedPointer>
#include <QString>

// A simulated motherboard or pulse generator on the simulated USB bus, as
// UsbInstrument plugs the bootloader-family ones: replies on the IN
// endpoint, a new enumeration as its other face on reset and jump. Its
// channel modules never leave its connection.
class UsbMotherboard
{
public:
    static constexpr quint8 OutEndpoint = 0x01;
    static constexpr quint8 InEndpoint = 0x81;

    UsbMotherboard(QSharedPointer<SimUsbBus> bus, const sim::MotherboardProfile& profile, quint8 port, quint8 address);
    ~UsbMotherboard();

    sim::Motherboard& core() { return m_core; }
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
    sim::Motherboard m_core;
    QSharedPointer<SimUsbDevice> m_device;
    quint8 m_port;
    quint8 m_nextAddress;
    bool m_pulled = false;
    int m_enumerations = 0;
};
