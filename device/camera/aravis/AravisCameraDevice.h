#pragma once

#include "device/camera/library/CameraDevice.h"

#include <arv.h>

#include <QMap>

#include <atomic>

// One camera opened through Aravis; its GenICam features stand for the
// library's operations and properties.
class AravisCameraDevice : public DShowLib::CameraDevice
{
public:
    // Takes over the camera reference.
    explicit AravisCameraDevice(ArvCamera* camera);
    ~AravisCameraDevice() override;

    // The usual frame rates offered within the camera's bounds, fastest first.
    static const QList<double>& commonFrameRates();
    // The usual frame sizes offered within the camera's bounds, beside the largest.
    static const QList<QSize>& commonSizes();

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

private:
    static constexpr int StreamBuffers = 8;

    static void onControlLost(ArvDevice* device, gpointer self);
    void releaseStream();
    static QByteArray toBottomUpRgb32(const QByteArray& rgb, int width, int height);
    // Runs on Aravis's stream thread.
    static void onStreamEvent(void* self, ArvStreamCallbackType type, ArvBuffer* buffer);

    QMap<int, ArvPixelFormat> pixelFormats();
    QList<QSize> sizes();
    bool setBoolean(const char* feature, bool on);
    bool boolean(const char* feature);

    ArvCamera* m_camera = nullptr;
    gulong m_controlLostHandler = 0;
    std::atomic<bool> m_controlLost { false };
    ArvStream* m_stream = nullptr;
    FrameCallback m_frameCallback;
    int m_streamColorCode = 0;
};
