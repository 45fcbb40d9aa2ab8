#pragma once

#include "device/MovraDeviceInfo.h"

class MovraCameraInfo : public MovraDeviceInfo
{
    Q_OBJECT

public:
    explicit MovraCameraInfo(QObject* parent = nullptr);

    QList<float> availableFps() const;
    QList<QSize> resolutions() const;
    std::pair<int, int> gainRange() const;

    void setAvailableFps(const QList<float>& fps);
    void setResolutions(const QList<QSize>& resolutions);
    void setGainRange(const std::pair<int, int>& range);

    // Strict order for sorting frame sizes: wider first, then taller first.
    static bool resolutionOrder(const QSize& a, const QSize& b);

private:
    QList<float> m_availableFps;
    int m_gainMin = 0;
    int m_gainMax = 0;
    QList<QSize> m_resolutions;
};
