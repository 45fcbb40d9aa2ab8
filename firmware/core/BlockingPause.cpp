#include "firmware/core/BlockingPause.h"

#include <QThread>

#include <atomic>

namespace {
std::atomic<int> limitMs { -1 };
} // namespace

void BlockingPause::wait(int ms)
{
    const int limit = limitMs.load();
    const int pause = limit < 0 ? ms : qMin(ms, limit);
    if (pause > 0)
        QThread::msleep(quint32(pause));
}

void BlockingPause::limitForTests(int ms)
{
    limitMs.store(ms);
}
