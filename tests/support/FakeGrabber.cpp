#include "tests/support/FakeGrabber.h"

#include <QDateTime>
#include <QThread>

std::atomic<int> FakeGrabber::liveCount { 0 };

FakeGrabber::FakeGrabber(QSharedPointer<FakeMachine> machine, FakeMachine::Transport transport)
    : m_machine(machine)
    , m_transport(transport)
{
    ++liveCount;
}

FakeGrabber::~FakeGrabber()
{
    --liveCount;
}

void FakeGrabber::refreshAvailableDevices()
{
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    const QList<QSharedPointer<MovraDeviceInfo>> present = m_machine->pluggedOn(m_transport);
    const int duration = m_machine->lookDuration(m_transport);
    if (duration > 0)
        QThread::msleep(duration);
    for (const auto& device : QList<QSharedPointer<MovraDeviceInfo>>(m_known)) {
        if (!present.contains(device)) {
            m_known.removeAll(device);
            emit sendDeviceRemoved(device);
        }
    }
    for (const auto& device : present) {
        if (!m_known.contains(device)) {
            m_known.append(device);
            emit sendDeviceInserted(device);
        }
    }
    if (m_machine->looksLogged(m_transport) && m_machine->log())
        m_machine->log()->append(QStringLiteral("look:%1:%2").arg(start).arg(QDateTime::currentMSecsSinceEpoch()));
}
