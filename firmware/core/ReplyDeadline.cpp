#include "firmware/core/ReplyDeadline.h"

#include <atomic>

namespace {
std::atomic<int> initialTimeoutMs { ReplyDeadline::DefaultTimeoutMs };
} // namespace

int ReplyDeadline::initialTimeout()
{
    return initialTimeoutMs.load();
}

void ReplyDeadline::setInitialTimeout(int ms)
{
    initialTimeoutMs.store(ms > 0 ? ms : DefaultTimeoutMs);
}

ReplyDeadline::ReplyDeadline(QObject* parent)
    : QObject(parent)
    , m_timeoutMs(initialTimeout())
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { emit expired(m_code); });
}

void ReplyDeadline::arm(char code)
{
    m_code = code;
    m_timer.start(m_timeoutMs);
}

void ReplyDeadline::disarm()
{
    m_timer.stop();
}
