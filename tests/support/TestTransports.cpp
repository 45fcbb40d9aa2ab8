#include "tests/support/TestTransports.h"

#include "device/serial/SerialCommunicator.h"
#include "device/usb/USBCommunicator.h"

#include <algorithm>

TestTransports TestTransports::make(Transport transport, Maker maker) const
{
    TestTransports next(*this);
    next.m_choices[transport] = Choice { false, std::move(maker) };
    return next;
}

TestTransports TestTransports::without(Transport transport) const
{
    return make(transport, Maker());
}

TestTransports TestTransports::only(std::initializer_list<Transport> transports) const
{
    TestTransports next(*this);
    for (Transport transport : { Usb, Ethernet, Camera, Serial }) {
        if (std::find(transports.begin(), transports.end(), transport) == transports.end())
            next.m_choices[transport] = Choice { false, Maker() };
    }
    return next;
}

TestTransports TestTransports::usbOver(QSharedPointer<LibUSBApi> api) const
{
    return make(Usb, [api] { return QSharedPointer<USBCommunicator>::create(api); });
}

TestTransports TestTransports::serialOver(QSharedPointer<SerialPortLister> ports) const
{
    return make(Serial, [ports] { return QSharedPointer<SerialCommunicator>::create(ports); });
}

QSharedPointer<TestTransports> TestTransports::shared() const
{
    return QSharedPointer<TestTransports>::create(*this);
}

QSharedPointer<AbstractCommunicator> TestTransports::createUSBCommunicator()
{
    return programsOwn(Usb) ? CommunicatorFactory::createUSBCommunicator() : made(Usb);
}

QSharedPointer<AbstractCommunicator> TestTransports::createEthernetCommunicator()
{
    return programsOwn(Ethernet) ? CommunicatorFactory::createEthernetCommunicator() : made(Ethernet);
}

QSharedPointer<AbstractCommunicator> TestTransports::createTISCameraCommunicator()
{
    return programsOwn(Camera) ? CommunicatorFactory::createTISCameraCommunicator() : made(Camera);
}

QSharedPointer<AbstractCommunicator> TestTransports::createSerialCommunicator()
{
    return programsOwn(Serial) ? CommunicatorFactory::createSerialCommunicator() : made(Serial);
}

bool TestTransports::programsOwn(Transport transport) const
{
    return m_choices[transport].programsOwn;
}

QSharedPointer<AbstractCommunicator> TestTransports::made(Transport transport) const
{
    const Maker& maker = m_choices[transport].maker;
    return maker ? maker() : QSharedPointer<AbstractCommunicator>();
}
