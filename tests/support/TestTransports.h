#pragma once

#include "device/CommunicatorFactory.h"

#include <QSharedPointer>
#include <QWeakPointer>

#include <array>
#include <functional>
#include <initializer_list>

class LibUSBApi;
class SerialPortLister;

// The hardware server's four transports as a test wants them: each one the
// program's own (as a new builder has them all, so an Ethernet transport left
// alone is the real grabber), absent, or what the test's maker returns. Each
// step returns a new builder; shared() is what the server takes.
class TestTransports : public CommunicatorFactory
{
public:
    enum Transport {
        Usb,
        Ethernet,
        Camera,
        Serial
    };
    using Maker = std::function<QSharedPointer<AbstractCommunicator>()>;

    // The transport from maker, called each time the server makes it.
    TestTransports make(Transport transport, Maker maker) const;
    TestTransports without(Transport transport) const;
    // Every transport not named is absent; the named ones stay as set.
    TestTransports only(std::initializer_list<Transport> transports) const;
    // The program's USB transport over the given libusb.
    TestTransports usbOver(QSharedPointer<LibUSBApi> api) const;
    // The program's serial transport over the given port list.
    TestTransports serialOver(QSharedPointer<SerialPortLister> ports) const;

    QSharedPointer<TestTransports> shared() const;

    // Makes the program's own C and leaves a weak pointer to it in watch:
    // the server stays the communicator's only holder. The maker keeps a
    // reference to watch, which must outlive the server.
    template <class C>
    static Maker watched(QWeakPointer<C>& watch)
    {
        return [&watch] {
            auto communicator = QSharedPointer<C>::create();
            watch = communicator;
            return communicator;
        };
    }

    QSharedPointer<AbstractCommunicator> createUSBCommunicator() override;
    QSharedPointer<AbstractCommunicator> createEthernetCommunicator() override;
    QSharedPointer<AbstractCommunicator> createTISCameraCommunicator() override;
    QSharedPointer<AbstractCommunicator> createSerialCommunicator() override;

private:
    struct Choice
    {
        bool programsOwn = true;
        // Not the program's own and no maker: the transport is absent.
        Maker maker;
    };

    bool programsOwn(Transport transport) const;
    QSharedPointer<AbstractCommunicator> made(Transport transport) const;

    std::array<Choice, 4> m_choices;
};
