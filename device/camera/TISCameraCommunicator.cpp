#include "device/camera/TISCameraCommunicator.h"

#include "device/camera/TISCameraGrabber.h"
#include "device/camera/library/CameraLibrary.h"

TISCameraCommunicator::TISCameraCommunicator(QObject* parent)
    : AbstractCommunicator(parent)
{
    qRegisterMetaType<QList<QSize>>();
    qRegisterMetaType<QList<float>>();
    qRegisterMetaType<std::pair<int, int>>();
    qRegisterMetaType<int64_t>("int64_t");
    qRegisterMetaType<DShowLib::smart_ptr<DShowLib::FrameQueueBuffer>>();
    qRegisterMetaType<QSharedPointer<TISCameraImage>>();
}

// Handlers still here close their cameras as they go.
TISCameraCommunicator::~TISCameraCommunicator() = default;

void TISCameraCommunicator::onCommunicationThreadStarted()
{
    DShowLib::InitLibrary(0);
    startGrabber(QSharedPointer<TISCameraGrabber>::create());
}

void TISCameraCommunicator::onCommunicationThreadStopped()
{
    stopGrabber();
    // Nothing would take a frame once the thread has ended; the handlers
    // stay, their cameras open, until the communicator goes.
    for (const QSharedPointer<TISCameraHandler>& handler : qAsConst(m_handlers))
        handler->stopAcquisition();
    DShowLib::ExitLibrary();
}

QSharedPointer<TISCameraHandler>
TISCameraCommunicator::handlerOf(const QSharedPointer<MovraDeviceInfo>& deviceInfo) const
{
    const auto camera = qSharedPointerDynamicCast<MovraCameraInfo>(deviceInfo);
    return camera ? m_handlers.value(camera) : QSharedPointer<TISCameraHandler>();
}

bool TISCameraCommunicator::isKnown(const QSharedPointer<MovraDeviceInfo>& deviceInfo) const
{
    return !handlerOf(deviceInfo).isNull();
}

void TISCameraCommunicator::connectHandler(TISCameraHandler* handler, bool connecting)
{
    using H = TISCameraHandler;
    using C = TISCameraCommunicator;
    if (!connecting) {
        disconnect(handler, nullptr, this, nullptr);
        return;
    }
    connect(handler, &H::sendConnectionChanged, this, &C::onConnectionChanged);
    connect(handler, &H::sendAvailableResolutionToController, this, &C::onAvailableResolutionsReceived);
    connect(handler, &H::sendAvailableFPSToController, this, &C::onAvailableFPSReceived);
    connect(handler, &H::sendAvailableGainRangeToController, this, &C::onAvailableGainRangeReceived);
    connect(handler, &H::sendExposureToController, this, &C::onExposureReceived);
    connect(handler, &H::sendGainToController, this, &C::onGainReceived);
    connect(handler, &H::sendIsExternalTriggerToController, this, &C::onIsExternalTriggerReceived);
    connect(handler, &H::sendFlipValuesToController, this, &C::onFlipValuesReceived);
    connect(handler, &H::sendWhiteBalanceValuesToController, this, &C::onWhiteBalanceValuesReceived);
    connect(handler, &H::sendNewImageReceivedToController, this, &C::onImageReceived);
    connect(handler, &H::sendStartStopConfirmationToController, this, &C::onStartStopConfirmationReceived);
    connect(handler, &H::sendReferenceTimeToController, this, &C::onReferenceTimeReceived);
}

void TISCameraCommunicator::onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    const auto camera = qSharedPointerDynamicCast<MovraCameraInfo>(deviceInfo);
    if (!camera || m_handlers.contains(camera))
        return;
    auto handler = QSharedPointer<TISCameraHandler>::create(deviceInfo);
    connectHandler(handler.data(), true);
    m_handlers.insert(camera, handler);
    emit sendDeviceInserted(deviceInfo);
}

void TISCameraCommunicator::onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    const auto camera = qSharedPointerDynamicCast<MovraCameraInfo>(deviceInfo);
    if (!camera || !m_handlers.contains(camera))
        return;
    const QSharedPointer<TISCameraHandler> handler = m_handlers.take(camera);
    connectHandler(handler.data(), false);
    emit sendDeviceRemoved(deviceInfo);
    // The handler goes here and closes its camera, unreported.
}

void TISCameraCommunicator::onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->open();
}

void TISCameraCommunicator::onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->close();
}

// Cameras take no byte commands.
void TISCameraCommunicator::onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo>, QByteArray)
{
}

void TISCameraCommunicator::onConnectionChanged(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isOpened)
{
    if (isKnown(deviceInfo))
        emit sendConnectionChanged(deviceInfo, isOpened);
}

void TISCameraCommunicator::onAvailableResolutionsReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                           QList<QSize> resolutions)
{
    if (isKnown(deviceInfo))
        emit sendAvailableResolutionsReceivedFromDevice(deviceInfo, resolutions);
}

void TISCameraCommunicator::onAvailableFPSReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QList<float> fpsList)
{
    if (isKnown(deviceInfo))
        emit sendAvailableFPSReceivedFromDevice(deviceInfo, fpsList);
}

void TISCameraCommunicator::onAvailableGainRangeReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                         std::pair<int, int> gainRange)
{
    if (isKnown(deviceInfo))
        emit sendAvailableGainRangeReceivedFromDevice(deviceInfo, gainRange);
}

void TISCameraCommunicator::onExposureReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, double exposure)
{
    if (isKnown(deviceInfo))
        emit sendExposureReceivedFromDevice(deviceInfo, exposure);
}

void TISCameraCommunicator::onGainReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, double gain)
{
    if (isKnown(deviceInfo))
        emit sendGainReceivedFromDevice(deviceInfo, gain);
}

void TISCameraCommunicator::onIsExternalTriggerReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                        bool isExternalTrigger)
{
    if (isKnown(deviceInfo))
        emit sendIsExternalTriggerReceivedFromDevice(deviceInfo, isExternalTrigger);
}

void TISCameraCommunicator::onFlipValuesReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isFlippedH,
                                                 bool isFlippedV)
{
    if (isKnown(deviceInfo))
        emit sendFlipValuesReceivedFromDevice(deviceInfo, isFlippedH, isFlippedV);
}

void TISCameraCommunicator::onWhiteBalanceValuesReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, int red, int green,
                                                         int blue)
{
    if (isKnown(deviceInfo))
        emit sendWhiteBalanceValuesReceivedFromDevice(deviceInfo, red, green, blue);
}

void TISCameraCommunicator::onImageReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                            QSharedPointer<TISCameraImage> image)
{
    if (isKnown(deviceInfo))
        emit sendImageReceivedFromDevice(deviceInfo, image);
}

void TISCameraCommunicator::onStartStopConfirmationReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isStarted)
{
    if (isKnown(deviceInfo))
        emit sendStartStopConfirmationReceivedFromDevice(deviceInfo, isStarted);
}

void TISCameraCommunicator::onReferenceTimeReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, int64_t referenceTime)
{
    if (isKnown(deviceInfo))
        emit sendReferenceTimeReceivedFromDevice(deviceInfo, referenceTime);
}

void TISCameraCommunicator::onSnapImageReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->snapImage();
}

void TISCameraCommunicator::onStartStopReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isStarted)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->startStop(isStarted);
}

void TISCameraCommunicator::onResetForNewGatedAcquistionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->sinkRestarted();
}

void TISCameraCommunicator::onAskForAvailableResolutionsReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->askForAvailableResolutions();
}

void TISCameraCommunicator::onAskForAvailableGainRangeReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->askForAvailableGainRange();
}

void TISCameraCommunicator::onResolutionChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QSize resolution)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setResolution(resolution);
}

void TISCameraCommunicator::onFPSChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, float fps)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setFrameRate(fps);
}

void TISCameraCommunicator::onAskForCurrentExposureReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->askForCurrentExposure();
}

void TISCameraCommunicator::onAskForCurrentGainReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->askForCurrentGain();
}

void TISCameraCommunicator::onAskForCurrentTriggerModeReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->askForCurrentTriggerMode();
}

void TISCameraCommunicator::onAskForCurrentFlipValuesReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->askForCurrentFlipValues();
}

void TISCameraCommunicator::onAskForCurrentWhiteBalanceValuesReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->askForCurrentWhiteBalanceValues();
}

void TISCameraCommunicator::onTriggerModeChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isExternal)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setExternalTrigger(isExternal);
}

void TISCameraCommunicator::onFlipHorizontallyToggledReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool toggled)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setFlipHorizontally(toggled);
}

void TISCameraCommunicator::onFlipVerticallyToggledReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool toggled)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setFlipVertically(toggled);
}

void TISCameraCommunicator::onAutoCenterToggledReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool toggled)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setAutoCenter(toggled);
}

void TISCameraCommunicator::onXOffsetChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, int offset)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setXOffset(offset);
}

void TISCameraCommunicator::onYOffsetChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, int offset)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setYOffset(offset);
}

void TISCameraCommunicator::onAutoExposureToggledReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool toggled)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setAutoExposure(toggled);
}

void TISCameraCommunicator::onAutoGainToggledReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool toggled)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setAutoGain(toggled);
}

void TISCameraCommunicator::onExposureChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, double exposure)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setExposure(exposure);
}

void TISCameraCommunicator::onGainChangedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, double gain)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setGain(gain);
}

void TISCameraCommunicator::onWhiteBalanceToggledReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool toggled)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setWhiteBalanceAuto(toggled);
}

void TISCameraCommunicator::onWhiteBalanceManuallyReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, int red,
                                                           int green, int blue)
{
    if (const auto handler = handlerOf(deviceInfo))
        handler->setWhiteBalanceManually(red, green, blue);
}
