#include "tests/device/camera/sim/WatchedCameraDevice.h"

#include <utility>

WatchedCameraDevice::WatchedCameraDevice(QSharedPointer<DShowLib::CameraDevice> inner, std::function<void()> onFrame,
                                         std::function<void()> onClosed)
    : m_inner(inner)
    , m_onFrame(std::move(onFrame))
    , m_onClosed(std::move(onClosed))
{
}

WatchedCameraDevice::~WatchedCameraDevice()
{
    // The camera of the other stack closes here, before the closing is told.
    m_inner.reset();
    m_onClosed();
}

bool WatchedCameraDevice::isValid()
{
    return m_inner->isValid();
}

QList<DShowLib::VideoFormatItem> WatchedCameraDevice::videoFormats()
{
    return m_inner->videoFormats();
}

bool WatchedCameraDevice::setVideoFormat(const DShowLib::VideoFormatItem& format)
{
    return m_inner->setVideoFormat(format);
}

DShowLib::VideoFormatItem WatchedCameraDevice::videoFormat()
{
    return m_inner->videoFormat();
}

QList<double> WatchedCameraDevice::frameRates()
{
    return m_inner->frameRates();
}

bool WatchedCameraDevice::setFrameRate(double fps)
{
    return m_inner->setFrameRate(fps);
}

double WatchedCameraDevice::frameRate()
{
    return m_inner->frameRate();
}

bool WatchedCameraDevice::setExternalTrigger(bool on)
{
    return m_inner->setExternalTrigger(on);
}

bool WatchedCameraDevice::externalTrigger()
{
    return m_inner->externalTrigger();
}

bool WatchedCameraDevice::setFlipH(bool on)
{
    return m_inner->setFlipH(on);
}

bool WatchedCameraDevice::flipH()
{
    return m_inner->flipH();
}

bool WatchedCameraDevice::setFlipV(bool on)
{
    return m_inner->setFlipV(on);
}

bool WatchedCameraDevice::flipV()
{
    return m_inner->flipV();
}

bool WatchedCameraDevice::referenceTime(qint64& time)
{
    return m_inner->referenceTime(time);
}

QSharedPointer<DShowLib::VCDPropertyElement> WatchedCameraDevice::propertyElement(const QUuid& item,
                                                                                  const QUuid& element)
{
    return m_inner->propertyElement(item, element);
}

bool WatchedCameraDevice::startStream(FrameCallback callback)
{
    std::function<void()> onFrame = m_onFrame;
    const bool started =
        m_inner->startStream([callback, onFrame](const DShowLib::FrameTypeInfo& type, const QByteArray& bytes,
                                                 qint64 stamp1, qint64 stamp2) {
            onFrame();
            callback(type, bytes, stamp1, stamp2);
        });
    if (started)
        m_streaming = true;
    return started;
}

void WatchedCameraDevice::stopStream()
{
    m_inner->stopStream();
    m_streaming = false;
}
