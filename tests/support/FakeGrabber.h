#pragma once

#include "device/AbstractGrabber.h"
#include "tests/support/FakeMachine.h"

#include <QList>
#include <QSharedPointer>

#include <atomic>

// The grabber of one FakeTransport: at each look it compares what is
// plugged on its transport of the FakeMachine with what it announced
// before, and reports the devices gone, then the new ones, as the USB
// grabber does.
class FakeGrabber : public AbstractGrabber
{
    Q_OBJECT

public:
    FakeGrabber(QSharedPointer<FakeMachine> machine, FakeMachine::Transport transport);
    ~FakeGrabber() override;

    // Fake grabbers alive now, in all machines.
    static std::atomic<int> liveCount;

public slots:
    void refreshAvailableDevices() override;

private:
    QSharedPointer<FakeMachine> m_machine;
    FakeMachine::Transport m_transport;
    QList<QSharedPointer<MovraDeviceInfo>> m_known;
};
