#include "device/MovraCameraInfo.h"

#include <QMutexLocker>

MovraCameraInfo::MovraCameraInfo(QObject* parent)
    : MovraDeviceInfo(parent)
{
}

QList<float> MovraCameraInfo::availableFps() const
{
    QMutexLocker locker(&m_lock);
    return m_availableFps;
}

QList<QSize> MovraCameraInfo::resolutions() const
{
    QMutexLocker locker(&m_lock);
    return m_resolutions;
}

std::pair<int, int> MovraCameraInfo::gainRange() const
{
    QMutexLocker locker(&m_lock);
    return { m_gainMin, m_gainMax };
}

void MovraCameraInfo::setAvailableFps(const QList<float>& fps)
{
    QMutexLocker locker(&m_lock);
    m_availableFps = fps;
}

void MovraCameraInfo::setResolutions(const QList<QSize>& resolutions)
{
    QMutexLocker locker(&m_lock);
    m_resolutions = resolutions;
}

void MovraCameraInfo::setGainRange(const std::pair<int, int>& range)
{
    QMutexLocker locker(&m_lock);
    m_gainMin = range.first;
    m_gainMax = range.second;
}

bool MovraCameraInfo::resolutionOrder(const QSize& a, const QSize& b)
{
    if (a.width() != b.width())
        return a.width() > b.width();
    return a.height() > b.height();
}
