#pragma once

#include "device/AbstractCommunicator.h"
#include "device/MovraCameraInfo.h"
#include "device/camera/TISCameraHandler.h"

#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QSize>

#include <utility>

// The camera transport: runs camera discovery in its grabber thread, keeps
// one handler per camera, passes requests to the handler of the camera they
// name and relays the handlers' reports. Lives in the camera communication
// thread.
class TISCameraCommunicator : public AbstractCommunicator
{
    Q_OBJECT

public:
    explicit TISCameraCommunicator(QObject* parent = nullptr);
    ~TISCameraCommunicator() override;

signals:
    void sendImageReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QSharedPointer<TISCameraImage> image);
    void sendAvailableResolutionsReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                    QList<QSize> resolutions);
    void sendAvailableFPSReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QList<float> fpsList);
    void sendAvailableGainRangeReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                  std::pair<int, int> gainRange);
    void sendExposureReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, double exposure);
    void sendGainReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, double gain);
    void sendIsExternalTriggerReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isExternalTrigger);
    void sendFlipValuesReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isFlippedH, bool isFlippedV);
    void sendWhiteBalanceValuesReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, int red, int green,
                                                  int blue);
    void sendStartStopConfirmationReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isStarted);
    void sendReferenceTimeReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, int64_t referenceTime);

public slots:
    void onCommunicationThreadStarted() override;
    void onCommunicationThreadStopped() override;
    void onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo) override;
    void onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo) override;
    void onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo) override;
    void onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo) override;
    void onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd) override;

    void onConnectionChanged(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isOpened);
    void onImageReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QSharedPointer<TISCameraImage> image);
    void onAvailableResolutionsReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QList<QSize> resolutions);
    void onAvailableFPSReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QList<float> fpsList);
    void onAvailableGainRangeReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, std::pair<int, int> gainRange);
    void onExposureReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, double exposure);
    void onGainReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, double gain);
    void onIsExternalTriggerReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isExternalTrigger);
    void onFlipValuesReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isFlippedH, bool isFlippedV);
    void onWhiteBalanceValuesReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, int red, int green, int blue);
    void onStartStopConfirmationReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isStarted);
    void onReferenceTimeReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, int64_t referenceTime);

    void onSnapImageReceived(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void onStartStopReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isStarted);
    void onResetForNewGatedAcquistionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void onAskForAvailableResolutionsReceived(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void onAskForAvailableGainRangeReceived(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void onResolutionChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QSize resolution);
    void onFPSChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, float fps);
    void onAskForCurrentExposureReceived(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void onAskForCurrentGainReceived(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void onAskForCurrentTriggerModeReceived(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void onAskForCurrentFlipValuesReceived(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void onAskForCurrentWhiteBalanceValuesReceived(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void onTriggerModeChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isExternal);
    void onFlipHorizontallyToggledReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool toggled);
    void onFlipVerticallyToggledReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool toggled);
    void onAutoCenterToggledReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool toggled);
    void onXOffsetChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, int offset);
    void onYOffsetChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, int offset);
    void onAutoExposureToggledReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool toggled);
    void onAutoGainToggledReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool toggled);
    void onExposureChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, double exposure);
    void onGainChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, double gain);
    void onWhiteBalanceToggledReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool toggled);
    void onWhiteBalanceManuallyReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, int red, int green, int blue);

private:
    // The handler of the camera the record names; null for a record that is
    // not a camera record or not (or no longer) known.
    QSharedPointer<TISCameraHandler> handlerOf(const QSharedPointer<MovraDeviceInfo>& deviceInfo) const;
    bool isKnown(const QSharedPointer<MovraDeviceInfo>& deviceInfo) const;
    void connectHandler(TISCameraHandler* handler, bool connecting);

    QMap<QSharedPointer<MovraCameraInfo>, QSharedPointer<TISCameraHandler>> m_handlers;
};
