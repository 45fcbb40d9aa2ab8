#pragma once

#include "device/CommunicatorFactory.h"
#include "tests/support/EventLog.h"
#include "tests/support/FakeDevice.h"

#include <QEnableSharedFromThis>
#include <QFlags>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QPointer>
#include <QSharedPointer>

class FakeTransport;

// A machine with fake transports, for the hardware server and everything
// above it: the transports it has, and the devices plugged on them,
// described as data (FakeDevice). Given to the hardware server as its
// CommunicatorFactory, it makes one FakeTransport for each transport it has
// (and none for the others); each runs in the server's threads as a real
// transport does, its grabber finding what is plugged at each poll.
//
// The test plugs and unplugs devices from its own thread at any time. Every
// request that reaches a transport is written to the log, when one is
// given, as "<transport>:<request>[:<uid>][:<hex bytes>]" ("usb:open",
// "ethernet:command:0102", "usb:command:04D8-F57E-0103-05:0700ff..."), with
// "@gui" appended when it ran in the GUI thread; "<transport>:started" and
// "<transport>:stopped" when its thread starts and stops, and
// "look:<start ms>:<end ms>" for each look of a grabber whose looks are logged.
class FakeMachine : public CommunicatorFactory, public QEnableSharedFromThis<FakeMachine>
{
public:
    enum Transport {
        NoTransport = 0x0,
        Usb = 0x1,
        Ethernet = 0x2,
        Camera = 0x4,
        Serial = 0x8,
        AllTransports = Usb | Ethernet | Camera | Serial,
    };
    Q_DECLARE_FLAGS(Transports, Transport)

    explicit FakeMachine(Transports transports = AllTransports, EventLog* log = nullptr);
    ~FakeMachine() override;

    // A machine on which the hardware server finds no transport, runs no thread.
    static QSharedPointer<FakeMachine> withoutTransports();

    // The transport that finds a device of the comm type.
    static Transport transportOf(CommType commType);
    static QString nameOf(Transport transport);

    QSharedPointer<AbstractCommunicator> createUSBCommunicator() override;
    QSharedPointer<AbstractCommunicator> createEthernetCommunicator() override;
    QSharedPointer<AbstractCommunicator> createTISCameraCommunicator() override;
    QSharedPointer<AbstractCommunicator> createSerialCommunicator() override;

    // Plugs the device; its transport's grabber finds it at its next look.
    // Returns the record that the grabber will announce.
    QSharedPointer<MovraDeviceInfo> plug(const FakeDevice& device);
    // Pulls the device out; its grabber reports it gone at its next look.
    void unplug(const QSharedPointer<MovraDeviceInfo>& record);
    // The transport announces the plugged device once more, at once, as a
    // transport that reports a device twice would.
    void announceAgain(const QSharedPointer<MovraDeviceInfo>& record);
    // Each look of the transport's grabber lasts that long.
    void setLookDuration(Transport transport, int ms);
    void setLooksLogged(Transport transport, bool logged);

    // For the fake transports and grabbers, from their threads.
    EventLog* log() const { return m_log; }
    QList<QSharedPointer<MovraDeviceInfo>> pluggedOn(Transport transport) const;
    bool isPlugged(const QSharedPointer<MovraDeviceInfo>& record) const;
    QList<FakeDevice::Reply> repliesTo(const QSharedPointer<MovraDeviceInfo>& record, const QByteArray& command) const;
    int lookDuration(Transport transport) const;
    bool looksLogged(Transport transport) const;

private:
    struct Plugged
    {
        QSharedPointer<MovraDeviceInfo> record;
        FakeDevice device;
        Transport transport;
    };

    QSharedPointer<AbstractCommunicator> create(Transport transport);

    const Transports m_transports;
    EventLog* const m_log;
    mutable QMutex m_lock;
    QList<Plugged> m_plugged;
    QHash<int, int> m_lookDurations;
    Transports m_loggedLooks;
    QHash<int, QPointer<FakeTransport>> m_made;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(FakeMachine::Transports)
