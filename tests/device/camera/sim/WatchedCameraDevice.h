#pragma once

#include "device/camera/library/CameraDevice.h"

#include <QSharedPointer>

#include <atomic>
#include <functional>

// A camera of another stack, passed through untouched, that tells each frame
// its stream delivers and its own closing, and whether its stream runs.
class WatchedCameraDevice : public DShowLib::CameraDevice
{
public:
    WatchedCameraDevice(QSharedPointer<DShowLib::CameraDevice> inner, std::function<void()> onFrame,
                        std::function<void()> onClosed);
    ~WatchedCameraDevice() override;

    bool isValid() override;
    QList<DShowLib::VideoFormatItem> videoFormats() override;
    bool setVideoFormat(const DShowLib::VideoFormatItem& format) override;
    DShowLib::VideoFormatItem videoFormat() override;
    QList<double> frameRates() override;
    bool setFrameRate(double fps) override;
    double frameRate() override;
    bool setExternalTrigger(bool on) override;
    bool externalTrigger() override;
    bool setFlipH(bool on) override;
    bool flipH() override;
    bool setFlipV(bool on) override;
    bool flipV() override;
    bool referenceTime(qint64& time) override;
    QSharedPointer<DShowLib::VCDPropertyElement> propertyElement(const QUuid& item, const QUuid& element) override;
    bool startStream(FrameCallback callback) override;
    void stopStream() override;

    bool streaming() const { return m_streaming; }

private:
    QSharedPointer<DShowLib::CameraDevice> m_inner;
    std::function<void()> m_onFrame;
    std::function<void()> m_onClosed;
    std::atomic<bool> m_streaming { false };
};
