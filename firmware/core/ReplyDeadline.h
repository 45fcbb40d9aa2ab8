#pragma once

#include <QObject>
#include <QTimer>

// The time limit on the reply an update waits for. Armed with a command's
// code each time such a command goes out, it reports that code once when
// the reply does not come in time.
class ReplyDeadline : public QObject
{
    Q_OBJECT

public:
    // Long enough for a whole-device erase, which can take 30 s.
    static constexpr int DefaultTimeoutMs = 45000;

    explicit ReplyDeadline(QObject* parent = nullptr);

    // The time-out a new deadline starts with: DefaultTimeoutMs unless a
    // test has shortened it (a value of 0 or less restores the default).
    static int initialTimeout();
    static void setInitialTimeout(int ms);

    void setTimeout(int ms) { m_timeoutMs = ms; }
    // (Re)starts the wait for the reply to the command code.
    void arm(char code);
    void disarm();
    bool isArmed() const { return m_timer.isActive(); }
    char pendingCode() const { return m_code; }

signals:
    void expired(char code);

private:
    QTimer m_timer;
    int m_timeoutMs;
    char m_code = 0;
};
