#include "tests/device/FakeGrabber.h"

#include <QDateTime>
#include <QThread>

std::atomic<int> FakeGrabber::liveCount { 0 };

FakeGrabber::FakeGrabber(QSharedPointer<Bus> bus)
    : m_bus(bus)
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
    QList<QSharedPointer<MovraDeviceInfo>> present;
    int duration = 0;
    {
        QMutexLocker locker(&m_bus->lock);
        present = m_bus->devices;
        duration = m_bus->lookDurationMs;
    }
    if (duration > 0)
        QThread::msleep(duration);
    for (const auto& device : present) {
        if (!m_known.contains(device)) {
            m_known.append(device);
            emit sendDeviceInserted(device);
        }
    }
    for (const auto& device : QList<QSharedPointer<MovraDeviceInfo>>(m_known)) {
        if (!present.contains(device)) {
            m_known.removeAll(device);
            emit sendDeviceRemoved(device);
        }
    }
    if (m_bus->log)
        m_bus->log->append(QStringLiteral("look:%1:%2").arg(start).arg(QDateTime::currentMSecsSinceEpoch()));
}
