#include "tests/support/EventLog.h"

#include <QMutexLocker>

void EventLog::append(const QString& event)
{
    {
        QMutexLocker locker(&m_lock);
        m_entries.append(event);
    }
    m_appended.stepped();
}

QStringList EventLog::entries() const
{
    QMutexLocker locker(&m_lock);
    return m_entries;
}

QStringList EventLog::matching(const QString& prefix) const
{
    QMutexLocker locker(&m_lock);
    QStringList found;
    for (const QString& entry : m_entries) {
        if (entry.startsWith(prefix))
            found.append(entry);
    }
    return found;
}

void EventLog::clear()
{
    QMutexLocker locker(&m_lock);
    m_entries.clear();
}
