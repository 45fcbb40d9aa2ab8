#pragma once

#include <QMutex>
#include <QStringList>

// A list of events that any thread may append to and the test thread reads.
class EventLog
{
public:
    void append(const QString& event);
    QStringList entries() const;
    QStringList matching(const QString& prefix) const;
    void clear();

private:
    mutable QMutex m_lock;
    QStringList m_entries;
};
