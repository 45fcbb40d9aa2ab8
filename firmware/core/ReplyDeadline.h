#pragma once

#include <QObject>
#include <QTimer>

class AbstractFirmwareCommunicator;

// Watches for the reply to the last command of an update that has no
// re-send. When it does not come in time the update ends as an error of
// that command's step ("No confirmation received", then the step's Error
// report); any error the update reports ends the wait and the update.
class ReplyDeadline : public QObject
{
    Q_OBJECT

public:
    // Long enough for a whole-device erase, which can take 30 s.
    static constexpr int DefaultTimeoutMs = 45000;

    // Watches the update of the communicator, its parent; `what` names that
    // update in the log.
    ReplyDeadline(AbstractFirmwareCommunicator* communicator, const char* what);

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
