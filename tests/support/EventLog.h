#pragma once

#include "tests/support/StepWait.h"

#include <QMutex>
#include <QStringList>

#include <functional>

// A list of events that any thread may append to and the test thread reads.
class EventLog
{
public:
    void append(const QString& event);
    QStringList entries() const;
    QStringList matching(const QString& prefix) const;
    void clear();
    // Runs the event loop until done() holds, asked after each event
    // appended, or until timeoutMs have passed.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs) { return m_appended.waitUntil(done, timeoutMs); }

private:
    mutable QMutex m_lock;
    QStringList m_entries;
    StepWait m_appended;
};
