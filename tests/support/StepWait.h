#pragma once

#include "tests/support/SignalWait.h"

#include <QMutex>
#include <QMutexLocker>

#include <functional>

// Lets the test's thread wait on what another thread does, such as a
// simulated instrument taking packets on the bus's thread: that thread
// calls stepped() after each step, and waitUntil() asks its condition in
// the test's thread after each one, until it holds or the time-out.
class StepWait
{
public:
    // Room for a step still on its way when the program has moved on (the
    // last command of an update through the USB thread and the bus, bytes
    // through a pseudo-terminal), on a loaded machine.
    static constexpr int OnItsWayMs = 10000;

    // From any thread.
    void stepped()
    {
        QMutexLocker locker(&m_lock);
        if (m_wait)
            m_wait->askSoon();
    }

    bool waitUntil(const std::function<bool()>& done, int timeoutMs)
    {
        SignalWait wait(done);
        setWait(&wait);
        const bool held = wait.wait(timeoutMs);
        setWait(nullptr);
        return held;
    }

private:
    void setWait(SignalWait* wait)
    {
        QMutexLocker locker(&m_lock);
        m_wait = wait;
    }

    QMutex m_lock;
    SignalWait* m_wait = nullptr;
};
