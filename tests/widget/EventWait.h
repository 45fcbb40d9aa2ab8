#pragma once

#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <functional>

// Runs the event loop until a condition holds, asking it again only when
// one of the named signals or events arrives: the program runs at its own
// pace meanwhile and nothing is polled.
//
//     EventWait rowShown([&] { return typeRow->childCount() == 1; });
//     rowShown.on(tree->model(), &QAbstractItemModel::rowsInserted);
//     QVERIFY(rowShown.wait(5000));
class EventWait : public QObject
{
public:
    explicit EventWait(std::function<bool()> done)
        : m_done(std::move(done))
    {
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, &m_loop, &QEventLoop::quit);
    }

    template <typename Sender, typename Signal>
    EventWait& on(const Sender* sender, Signal signal)
    {
        connect(sender, signal, this, [this] { check(); });
        return *this;
    }

    // Events of this type sent to the object (say QEvent::EnabledChange).
    EventWait& onEvent(QObject* object, QEvent::Type type)
    {
        m_eventType = type;
        object->installEventFilter(this);
        return *this;
    }

    // True when the condition holds, at once or within timeoutMs.
    bool wait(int timeoutMs)
    {
        if (m_done())
            return true;
        m_timer.start(timeoutMs);
        m_loop.exec();
        m_timer.stop();
        return m_done();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == m_eventType)
            QTimer::singleShot(0, this, [this] { check(); });
        return QObject::eventFilter(watched, event);
    }

private:
    void check()
    {
        if (m_loop.isRunning() && m_done())
            m_loop.quit();
    }

    std::function<bool()> m_done;
    QEventLoop m_loop;
    QTimer m_timer;
    QEvent::Type m_eventType = QEvent::None;
};
