#pragma once

#include "device/camera/library/FrameTypeInfo.h"
#include "device/camera/library/VCDPropertyElement.h"
#include "device/camera/library/VideoFormatItem.h"

#include <QByteArray>
#include <QList>
#include <QSharedPointer>
#include <QUuid>

#include <functional>

namespace DShowLib {

// One open camera as a backend drives it. Closed when released. Faults are
// reported by result values.
class CameraDevice
{
public:
    virtual ~CameraDevice();

    // False once the camera stopped answering.
    virtual bool isValid() = 0;

    virtual QList<VideoFormatItem> videoFormats() = 0;
    virtual bool setVideoFormat(const VideoFormatItem& format) = 0;
    virtual VideoFormatItem videoFormat() = 0;

    // The frame rates of the current video format, fastest first.
    virtual QList<double> frameRates() = 0;
    virtual bool setFrameRate(double fps) = 0;
    virtual double frameRate() = 0;

    virtual bool setExternalTrigger(bool on) = 0;
    virtual bool externalTrigger() = 0;
    virtual bool setFlipH(bool on) = 0;
    virtual bool flipH() = 0;
    virtual bool setFlipV(bool on) = 0;
    virtual bool flipV() = 0;

    // The camera's clock in 100 ns steps; false when it has none.
    virtual bool referenceTime(qint64& time) = 0;

    // Null when the camera lacks the property.
    virtual QSharedPointer<VCDPropertyElement> propertyElement(const QUuid& item, const QUuid& element) = 0;

    // Called on the backend's threads with each frame of the stream.
    using FrameCallback =
        std::function<void(const FrameTypeInfo& type, const QByteArray& bytes, qint64 stamp1, qint64 stamp2)>;
    // False when the camera cannot stream.
    virtual bool startStream(FrameCallback callback);
    // Once it returns, no callback is running or will come.
    virtual void stopStream();
};

} // namespace DShowLib
