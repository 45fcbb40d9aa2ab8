#pragma once

#include "tests/support/SignalWait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QList>
#include <QObject>
#include <QVariant>

// A QSignalSpy for a signal emitted in another thread. QSignalSpy writes
// down in the emitting thread and has no lock; here the arguments come over
// a queued connection and are written down in the spy's own thread, the
// test's, which alone reads them.
class RelaySpy : public QObject, public QList<QList<QVariant>>
{
public:
    template <typename Sender, typename Signal>
    RelaySpy(const Sender* sender, Signal signal)
    {
        connect(
            sender, signal, this,
            [this](const auto&... arguments) {
                append(QList<QVariant> { QVariant::fromValue(arguments)... });
                if (m_wait)
                    m_wait->ask();
            },
            Qt::QueuedConnection);
    }

    // As QSignalSpy's: true once one more emission has come.
    bool wait(int timeoutMs = 5000)
    {
        const qsizetype before = size();
        SignalWait wait([this, before] { return size() > before; });
        m_wait = &wait;
        const bool came = wait.wait(timeoutMs);
        m_wait = nullptr;
        return came;
    }

    // Writes down at once what is on its way: once the sender's thread has
    // been waited for, all it emitted until then.
    void catchUp() { QCoreApplication::sendPostedEvents(this, QEvent::MetaCall); }

private:
    SignalWait* m_wait = nullptr;
};
