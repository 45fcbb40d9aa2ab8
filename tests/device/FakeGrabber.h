#pragma once

#include "device/AbstractGrabber.h"
#include "tests/support/EventLog.h"

#include <QList>
#include <QMutex>
#include <QSharedPointer>

#include <atomic>

// A grabber whose "bus" is a list the test fills from its own thread.
class FakeGrabber : public AbstractGrabber
{
    Q_OBJECT

public:
    struct Bus
    {
        QMutex lock;
        QList<QSharedPointer<MovraDeviceInfo>> devices;
        int lookDurationMs = 0;
        EventLog* log = nullptr;
    };

    explicit FakeGrabber(QSharedPointer<Bus> bus);
    ~FakeGrabber() override;

    static std::atomic<int> liveCount;

public slots:
    void refreshAvailableDevices() override;

private:
    QSharedPointer<Bus> m_bus;
    QList<QSharedPointer<MovraDeviceInfo>> m_known;
};
