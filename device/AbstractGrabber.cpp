#include "device/AbstractGrabber.h"

AbstractGrabber::AbstractGrabber(QObject* parent)
    : QObject(parent)
{
}

AbstractGrabber::~AbstractGrabber() = default;

void AbstractGrabber::run()
{
    if (!m_pollTimer) {
        // Created here so that it belongs to the grabber thread. A single
        // thread runs the looks, so one that overruns the period is never
        // run twice at once.
        m_pollTimer = QSharedPointer<QTimer>::create();
        m_pollTimer->setInterval(PollIntervalMs);
        m_pollTimer->setSingleShot(false);
        // A coarse timer may fire up to 5 % early; the first look must not
        // come before the full period.
        m_pollTimer->setTimerType(Qt::PreciseTimer);
        connect(m_pollTimer.data(), &QTimer::timeout, this, &AbstractGrabber::refreshAvailableDevices);
    }
    m_pollTimer->start();
}

void AbstractGrabber::stop()
{
    if (m_pollTimer)
        m_pollTimer->stop();
}
