#pragma once

#include "device/MovraDeviceInfo.h"
#include "device/camera/CameraColorFormat.h"
#include "device/camera/TISCameraImage.h"
#include "device/camera/library/FrameQueueSink.h"
#include "device/camera/library/FrameQueueSinkListener.h"
#include "device/camera/library/FrameSnapSink.h"
#include "device/camera/library/Grabber.h"

#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QSize>

#include <atomic>
#include <utility>

// One discovered camera: opens it by its serial number, sets it up, writes
// what it learns into the camera record and carries out the camera-control
// requests. Lives in the camera communication thread.
class TISCameraHandler : public QObject, public DShowLib::FrameQueueSinkListener
{
    Q_OBJECT

public:
    static constexpr double MaxReportedFps = 61.0;
    static constexpr double LimitedFps = 16.0;
    static constexpr double SlowCameraFps = 115.0;
    static constexpr int StrobeValue = 1000;
    static constexpr int QueueBufferCount = 150;
    static constexpr int StopConfirmationMs = 200;
    static constexpr int SnapTimeoutMs = 1000;

    explicit TISCameraHandler(QSharedPointer<MovraDeviceInfo> deviceInfo, QObject* parent = nullptr);
    ~TISCameraHandler() override;

    void open();
    void close();

    void askForAvailableResolutions();
    void askForAvailableGainRange();
    void askForCurrentExposure();
    void askForCurrentGain();
    void askForCurrentTriggerMode();
    void askForCurrentFlipValues();
    void askForCurrentWhiteBalanceValues();

    // A camera keeps its stream's format, rate and trigger while it
    // streams: these three stop live acquisition first and leave it stopped
    // until a start, restart or snap.
    void setResolution(QSize size);
    void setFrameRate(float fps);
    void setExternalTrigger(bool on);
    void setFlipHorizontally(bool on);
    void setFlipVertically(bool on);
    void setAutoCenter(bool on);
    void setXOffset(int offset);
    void setYOffset(int offset);
    void setAutoExposure(bool on);
    void setAutoGain(bool on);
    void setExposure(double exposure);
    void setGain(double gain);
    void setWhiteBalanceAuto(bool on);
    void setWhiteBalanceManually(int red, int green, int blue);

    void activateSink(int kind);
    void startStop(bool start);
    void snapImage();
    // Pauses both sinks and stops live acquisition, unreported; the camera
    // stays open.
    void stopAcquisition();

    CameraColorFormat colorFormat() const { return m_colorFormat; }
    QList<float> frameRates() const { return m_frameRates; }

public slots:
    // Called by the library on its own threads.
    void sinkConnected(DShowLib::FrameQueueSink& sink, DShowLib::FrameTypeInfo frameType) override;
    void sinkDisconnected(DShowLib::FrameQueueSink& sink) override;
    virtual void sinkRestarted();
    void framesQueued(DShowLib::FrameQueueSink& sink) override;

signals:
    void sendConnectionChanged(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isOpened);
    void sendNewImageReceivedToController(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                          QSharedPointer<TISCameraImage> image);
    void sendStartStopConfirmationToController(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isStarted);
    void sendReferenceTimeToController(QSharedPointer<MovraDeviceInfo> deviceInfo, int64_t referenceTime);
    void sendAvailableResolutionToController(QSharedPointer<MovraDeviceInfo> deviceInfo, QList<QSize> resolution);
    void sendAvailableGainRangeToController(QSharedPointer<MovraDeviceInfo> deviceInfo, std::pair<int, int> gainRange);
    void sendAvailableFPSToController(QSharedPointer<MovraDeviceInfo> deviceInfo, QList<float> fpsList);
    void sendExposureToController(QSharedPointer<MovraDeviceInfo> deviceInfo, double exposure);
    void sendGainToController(QSharedPointer<MovraDeviceInfo> deviceInfo, double gain);
    void sendIsExternalTriggerToController(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isExternalTrigger);
    void sendFlipValuesToController(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isFlippedH, bool isFlippedV);
    void sendWhiteBalanceValuesToController(QSharedPointer<MovraDeviceInfo> deviceInfo, int red, int green, int blue);

private:
    bool isReady() const;
    QSharedPointer<DShowLib::VCDPropertyElement> element(const QUuid& item, const QUuid& element) const;
    void setSwitchWhenDifferent(const QUuid& item, const QUuid& element, bool on);
    void setRangeWhenDifferent(const QUuid& item, const QUuid& element, int value, bool checkRange);
    void setAbsoluteWhenDifferent(const QUuid& item, double value);
    void switchOffWhenOn(const QUuid& item, const QUuid& element);

    void selectColorFormat();
    void initResolutions();
    void initFrameRates();
    QList<float> loadFrameRates();
    void initExposure();
    void initGain();
    void setStrobe(bool on);
    void setFrameRateForTrigger(double rate);
    QString videoFormatText(const QSize& size) const;
    QList<DShowLib::FrameTypeInfo> sinkFrameTypes() const;
    void createQueueSink();
    void createSnapSink();
    void pauseSinksAndStopLive();
    void stopLive();

    QSharedPointer<MovraDeviceInfo> m_deviceInfo;
    DShowLib::Grabber m_grabber;
    // Written by start and restart while no frames come, read by the library's threads.
    std::atomic<bool> m_firstFramePending { true };
    std::atomic<qint64> m_lastFrameStamp { 0 };
    DShowLib::smart_ptr<DShowLib::FrameQueueSink> m_queueSink;
    DShowLib::smart_ptr<DShowLib::FrameSnapSink> m_snapSink;
    std::pair<int, int> m_gainRange { 0, 0 };
    QList<QSize> m_resolutions;
    CameraColorFormat m_colorFormat = CameraColorFormat::None;
    QList<float> m_frameRates;
};
