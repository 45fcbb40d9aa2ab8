#pragma once

#include <QEvent>
#include <QEventLoop>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <utility>

// Runs the event loop until done() holds, asked each time a watched signal
// is emitted, a watched object receives a watched event, or ask() is
// called; or until the time-out. No polling: the program runs at its own
// pace meanwhile, and the wait ends on the event that settles it.
class SignalWait : public QObject
{
public:
    explicit SignalWait(std::function<bool()> done)
        : m_done(std::move(done))
    {
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, &m_loop, &QEventLoop::quit);
    }

    template <typename Sender, typename Signal>
    SignalWait& on(const Sender* sender, Signal signal)
    {
        connect(sender, signal, this, [this] { ask(); });
        return *this;
    }

    // For what no signal tells, such as QEvent::EnabledChange.
    SignalWait& onEvent(QObject* object, QEvent::Type type)
    {
        m_eventTypes.append(type);
        object->installEventFilter(this);
        return *this;
    }

    void ask()
    {
        if (m_done())
            m_loop.quit();
    }

    // ask() from any thread, in the waiting one.
    void askSoon()
    {
        QMetaObject::invokeMethod(
            this, [this] { ask(); }, Qt::QueuedConnection);
    }

    bool wait(int timeoutMs)
    {
        if (m_done())
            return true;
        m_deadline.start(timeoutMs);
        m_loop.exec();
        m_deadline.stop();
        return m_done();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Asked once the event has been handled, when what it changes holds.
        if (m_eventTypes.contains(event->type()))
            askSoon();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool()> m_done;
    QEventLoop m_loop;
    QTimer m_deadline;
    QList<QEvent::Type> m_eventTypes;
};
