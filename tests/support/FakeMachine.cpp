#include "tests/support/FakeMachine.h"

#include "tests/support/FakeTransport.h"

#include <QMetaObject>
#include <QMutexLocker>

FakeMachine::FakeMachine(Transports transports, EventLog* log)
    : m_transports(transports)
    , m_log(log)
{
}

FakeMachine::~FakeMachine() = default;

QSharedPointer<FakeMachine> FakeMachine::withoutTransports()
{
    return QSharedPointer<FakeMachine>::create(NoTransport);
}

FakeMachine::Transport FakeMachine::transportOf(CommType commType)
{
    switch (commType) {
    case CommType::Ethernet: return Ethernet;
    case CommType::Camera:
    case CommType::SlowCamera: return Camera;
    case CommType::Serial: return Serial;
    case CommType::None:
    case CommType::USB:
    case CommType::USB3: break;
    }
    return Usb;
}

QString FakeMachine::nameOf(Transport transport)
{
    switch (transport) {
    case Usb: return QStringLiteral("usb");
    case Ethernet: return QStringLiteral("ethernet");
    case Camera: return QStringLiteral("camera");
    case Serial: return QStringLiteral("serial");
    default: break;
    }
    return QString();
}

QSharedPointer<AbstractCommunicator> FakeMachine::createUSBCommunicator()
{
    return create(Usb);
}

QSharedPointer<AbstractCommunicator> FakeMachine::createEthernetCommunicator()
{
    return create(Ethernet);
}

QSharedPointer<AbstractCommunicator> FakeMachine::createTISCameraCommunicator()
{
    return create(Camera);
}

QSharedPointer<AbstractCommunicator> FakeMachine::createSerialCommunicator()
{
    return create(Serial);
}

QSharedPointer<AbstractCommunicator> FakeMachine::create(Transport transport)
{
    if (!m_transports.testFlag(transport))
        return {};
    // The transports and their grabbers keep the machine while they live.
    auto made = QSharedPointer<FakeTransport>::create(sharedFromThis(), transport);
    QMutexLocker locker(&m_lock);
    m_made.insert(transport, made.data());
    return made;
}

QSharedPointer<MovraDeviceInfo> FakeMachine::plug(const FakeDevice& device)
{
    const QSharedPointer<MovraDeviceInfo> record = device.record();
    QMutexLocker locker(&m_lock);
    m_plugged.append({ record, device, transportOf(device.commType) });
    return record;
}

void FakeMachine::unplug(const QSharedPointer<MovraDeviceInfo>& record)
{
    QMutexLocker locker(&m_lock);
    for (int i = m_plugged.size() - 1; i >= 0; --i) {
        if (m_plugged.at(i).record == record)
            m_plugged.removeAt(i);
    }
}

void FakeMachine::announceAgain(const QSharedPointer<MovraDeviceInfo>& record)
{
    QPointer<FakeTransport> transport;
    {
        QMutexLocker locker(&m_lock);
        for (const Plugged& plugged : qAsConst(m_plugged)) {
            if (plugged.record == record)
                transport = m_made.value(plugged.transport);
        }
    }
    if (transport)
        QMetaObject::invokeMethod(transport, "announceAgain", Qt::QueuedConnection,
                                  Q_ARG(QSharedPointer<MovraDeviceInfo>, record));
}

void FakeMachine::setLookDuration(Transport transport, int ms)
{
    QMutexLocker locker(&m_lock);
    m_lookDurations.insert(transport, ms);
}

void FakeMachine::setLooksLogged(Transport transport, bool logged)
{
    QMutexLocker locker(&m_lock);
    m_loggedLooks.setFlag(transport, logged);
}

QList<QSharedPointer<MovraDeviceInfo>> FakeMachine::pluggedOn(Transport transport) const
{
    QMutexLocker locker(&m_lock);
    QList<QSharedPointer<MovraDeviceInfo>> records;
    for (const Plugged& plugged : m_plugged) {
        if (plugged.transport == transport)
            records.append(plugged.record);
    }
    return records;
}

bool FakeMachine::isPlugged(const QSharedPointer<MovraDeviceInfo>& record) const
{
    QMutexLocker locker(&m_lock);
    for (const Plugged& plugged : m_plugged) {
        if (plugged.record == record)
            return true;
    }
    return false;
}

QList<FakeDevice::Reply> FakeMachine::repliesTo(const QSharedPointer<MovraDeviceInfo>& record,
                                                const QByteArray& command) const
{
    FakeDevice device;
    bool found = false;
    {
        QMutexLocker locker(&m_lock);
        for (const Plugged& plugged : m_plugged) {
            if (plugged.record == record) {
                device = plugged.device;
                found = true;
            }
        }
    }
    // A device that was pulled out answers nothing. The responder runs
    // without the machine's lock.
    return found ? device.repliesTo(command) : QList<FakeDevice::Reply>();
}

int FakeMachine::lookDuration(Transport transport) const
{
    QMutexLocker locker(&m_lock);
    return m_lookDurations.value(transport, 0);
}

bool FakeMachine::looksLogged(Transport transport) const
{
    QMutexLocker locker(&m_lock);
    return m_loggedLooks.testFlag(transport);
}
