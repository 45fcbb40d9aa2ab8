#include "device/camera/TISCameraHandler.h"

#include "device/MovraCameraInfo.h"
#include "device/camera/library/CameraPropertyIds.h"
#include "device/camera/library/VideoFormatItem.h"

#include <QDebug>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace ids = nsCameraProperty;

namespace {

const QString SlowCameraName = QStringLiteral("DMM 37UX287-ML");

} // namespace

TISCameraHandler::TISCameraHandler(QSharedPointer<MovraDeviceInfo> deviceInfo, QObject* parent)
    : QObject(parent)
    , m_deviceInfo(deviceInfo)
{
}

TISCameraHandler::~TISCameraHandler()
{
    // No callback may reach the handler while its members go.
    if (m_queueSink)
        m_queueSink->setListener(nullptr);
    // The closing is not reported: whoever listened has let the handler go.
    if (m_grabber.isDevOpen()) {
        pauseSinksAndStopLive();
        m_grabber.closeDev();
    }
}

void TISCameraHandler::pauseSinksAndStopLive()
{
    if (m_snapSink && m_snapSink->getSinkMode() == DShowLib::FrameSink::Running)
        m_snapSink->setSinkMode(DShowLib::FrameSink::Paused);
    if (m_queueSink && m_queueSink->getSinkMode() == DShowLib::FrameSink::Running)
        m_queueSink->setSinkMode(DShowLib::FrameSink::Paused);
    stopLive();
}

void TISCameraHandler::stopLive()
{
    if (m_grabber.isLive())
        m_grabber.stopLive();
}

bool TISCameraHandler::isReady() const
{
    return m_grabber.isDevValid() && m_grabber.isDevOpen();
}

QSharedPointer<DShowLib::VCDPropertyElement> TISCameraHandler::element(const QUuid& item, const QUuid& element) const
{
    return m_grabber.getVCDPropertyElement(item, element);
}

void TISCameraHandler::setSwitchWhenDifferent(const QUuid& item, const QUuid& elementId, bool on)
{
    const auto property = element(item, elementId);
    if (!property || !property->onOff())
        return;
    const std::optional<bool> current = property->onOff()->getSwitch();
    if (current && *current != on)
        property->onOff()->setSwitch(on);
}

void TISCameraHandler::switchOffWhenOn(const QUuid& item, const QUuid& elementId)
{
    setSwitchWhenDifferent(item, elementId, false);
}

void TISCameraHandler::setRangeWhenDifferent(const QUuid& item, const QUuid& elementId, int value, bool checkRange)
{
    const auto property = element(item, elementId);
    if (!property || !property->range())
        return;
    const auto range = property->range();
    if (checkRange) {
        const std::optional<int> minimum = range->getMin();
        const std::optional<int> maximum = range->getMax();
        if (!minimum || !maximum || value < *minimum || value > *maximum)
            return;
    }
    const std::optional<int> current = range->getValue();
    if (current && *current != value)
        range->setValue(value);
}

void TISCameraHandler::setAbsoluteWhenDifferent(const QUuid& item, double value)
{
    const auto property = element(item, ids::ValueElement);
    if (!property || !property->absoluteValue())
        return;
    const auto absolute = property->absoluteValue();
    const std::optional<double> minimum = absolute->getMin();
    const std::optional<double> maximum = absolute->getMax();
    const std::optional<double> current = absolute->getValue();
    if (minimum && maximum && current && value >= *minimum && value <= *maximum && value != *current)
        absolute->setValue(value);
}

void TISCameraHandler::open()
{
    if (m_grabber.isDevOpen()) {
        emit sendConnectionChanged(m_deviceInfo, true);
        return;
    }
    // Unsigned: serial numbers at and above 2^63 are valid too.
    bool ok = false;
    const quint64 serial = m_deviceInfo->serialNumber().toULongLong(&ok, 16);
    if (!ok || !m_grabber.openDev(serial)) {
        qInfo() << "Camera" << m_deviceInfo->serialNumber() << "could not be opened";
        return;
    }

    selectColorFormat();
    initResolutions();
    initFrameRates();
    initExposure();
    initGain();

    const auto blackLevel = element(ids::BlackLevelItem, ids::ValueElement);
    if (blackLevel && blackLevel->range()) {
        blackLevel->range()->getMin();
        blackLevel->range()->getMax();
        blackLevel->range()->setValue(0);
    }
    switchOffWhenOn(ids::WhiteBalanceItem, ids::AutoElement);
    setStrobe(true);
    createQueueSink();
    createSnapSink();
    m_grabber.setSinkType(m_queueSink);

    emit sendConnectionChanged(m_deviceInfo, true);
}

void TISCameraHandler::stopAcquisition()
{
    if (m_grabber.isDevOpen())
        pauseSinksAndStopLive();
}

void TISCameraHandler::close()
{
    if (!m_grabber.isDevOpen())
        return;
    pauseSinksAndStopLive();
    if (m_grabber.closeDev())
        emit sendConnectionChanged(m_deviceInfo, false);
}

void TISCameraHandler::selectColorFormat()
{
    // RGB32 wins whenever offered, Y16 is preferred to Y800.
    int choice = int(CameraColorFormat::None);
    for (const DShowLib::VideoFormatItem& format : m_grabber.getAvailableVideoFormats_()) {
        const int code = format.getFrameType();
        if (code == choice)
            continue;
        if (code == int(CameraColorFormat::RGB32)) {
            choice = code;
            break;
        }
        if (code == int(CameraColorFormat::Y800) && choice != int(CameraColorFormat::Y16))
            choice = code;
        else if (code == int(CameraColorFormat::Y16))
            choice = code;
    }
    m_colorFormat = CameraColorFormat(choice);
}

QString TISCameraHandler::videoFormatText(const QSize& size) const
{
    return QStringLiteral("%1 (%2)").arg(CameraColorFormatNames.value(int(m_colorFormat)),
                                         QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
}

void TISCameraHandler::initResolutions()
{
    m_resolutions.clear();
    for (const DShowLib::VideoFormatItem& format : m_grabber.getAvailableVideoFormats_()) {
        if (format.getFrameType() != int(m_colorFormat))
            continue;
        const QStringList parts = format.getSizeString_().split(QLatin1Char('x'));
        if (parts.size() == 2)
            m_resolutions.append(QSize(parts[0].toInt(), parts[1].toInt()));
    }
    std::sort(m_resolutions.begin(), m_resolutions.end(), &MovraCameraInfo::resolutionOrder);
    if (auto camera = qSharedPointerDynamicCast<MovraCameraInfo>(m_deviceInfo))
        camera->setResolutions(m_resolutions);
    if (m_resolutions.isEmpty()) {
        qInfo() << "Camera" << m_deviceInfo->serialNumber()
                << "offers no size in a known colour format; its video format is left as it is";
        return;
    }
    m_grabber.setVideoFormat(videoFormatText(m_resolutions.first()));
}

QList<float> TISCameraHandler::loadFrameRates()
{
    m_frameRates.clear();
    QList<float> reported;
    for (double rate : m_grabber.getAvailableFPS_()) {
        m_frameRates.append(float(rate));
        if (rate <= MaxReportedFps)
            reported.append(float(rate));
    }
    return reported;
}

void TISCameraHandler::initFrameRates()
{
    const QList<float> reported = loadFrameRates();
    if (!m_frameRates.isEmpty()) {
        const double fastest = m_frameRates.first();
        m_deviceInfo->setCompatibility(fastest <= LimitedFps ? DeviceCompatibility::Limited
                                                             : DeviceCompatibility::Full);
        if (m_deviceInfo->name() == SlowCameraName && fastest <= SlowCameraFps)
            m_deviceInfo->setCommType(CommType::SlowCamera);
        m_grabber.setFPS(fastest);
    }
    if (auto camera = qSharedPointerDynamicCast<MovraCameraInfo>(m_deviceInfo))
        camera->setAvailableFps(reported);
}

void TISCameraHandler::initExposure()
{
    const auto exposure = element(ids::ExposureItem, ids::ValueElement);
    if (exposure && exposure->absoluteValue()) {
        exposure->absoluteValue()->getMin();
        exposure->absoluteValue()->getMax();
    }
    switchOffWhenOn(ids::ExposureItem, ids::AutoElement);
}

void TISCameraHandler::initGain()
{
    const auto gain = element(ids::GainItem, ids::ValueElement);
    if (gain && gain->absoluteValue()) {
        const std::optional<double> minimum = gain->absoluteValue()->getMin();
        const std::optional<double> maximum = gain->absoluteValue()->getMax();
        if (minimum && maximum) {
            m_gainRange = { int(std::trunc(*minimum)), int(std::trunc(*maximum)) };
            if (auto camera = qSharedPointerDynamicCast<MovraCameraInfo>(m_deviceInfo))
                camera->setGainRange(m_gainRange);
        }
    }
    switchOffWhenOn(ids::GainItem, ids::AutoElement);
}

void TISCameraHandler::setStrobe(bool on)
{
    if (const auto strobe = element(ids::StrobeItem, ids::ValueElement); strobe && strobe->onOff())
        strobe->onOff()->setSwitch(on);
    if (const auto strobeSwitch = element(ids::StrobeItem, ids::StrobeSwitchElement);
        strobeSwitch && strobeSwitch->onOff())
        strobeSwitch->onOff()->setSwitch(on);
    if (const auto mode = element(ids::StrobeItem, ids::StrobeModeElement); mode && mode->text())
        mode->text()->setString(on ? QStringLiteral("exposure") : QStringLiteral("constant"));
    if (const auto value = element(ids::StrobeItem, ids::StrobeValueElement); value && value->range())
        value->range()->setValue(StrobeValue);
}

void TISCameraHandler::setFrameRateForTrigger(double rate)
{
    // The slowest rate at least twice the request, else the fastest.
    if (m_frameRates.isEmpty())
        return;
    double chosen = m_frameRates.first();
    for (auto it = m_frameRates.crbegin(); it != m_frameRates.crend(); ++it) {
        if (double(*it) >= 2.0 * rate) {
            chosen = *it;
            break;
        }
    }
    m_grabber.setFPS(chosen);
}

void TISCameraHandler::askForAvailableResolutions()
{
    emit sendAvailableResolutionToController(m_deviceInfo, m_resolutions);
}

void TISCameraHandler::askForAvailableGainRange()
{
    emit sendAvailableGainRangeToController(m_deviceInfo, m_gainRange);
}

void TISCameraHandler::askForCurrentExposure()
{
    const auto exposure = element(ids::ExposureItem, ids::ValueElement);
    if (!exposure || !exposure->absoluteValue())
        return;
    if (const std::optional<double> value = exposure->absoluteValue()->getValue())
        emit sendExposureToController(m_deviceInfo, *value);
}

void TISCameraHandler::askForCurrentGain()
{
    const auto gain = element(ids::GainItem, ids::ValueElement);
    if (!gain || !gain->absoluteValue())
        return;
    if (const std::optional<double> value = gain->absoluteValue()->getValue())
        emit sendGainToController(m_deviceInfo, *value);
}

void TISCameraHandler::askForCurrentTriggerMode()
{
    emit sendIsExternalTriggerToController(m_deviceInfo, m_grabber.getExternalTrigger());
}

void TISCameraHandler::askForCurrentFlipValues()
{
    emit sendFlipValuesToController(m_deviceInfo, m_grabber.getFlipH(), m_grabber.getFlipV());
}

void TISCameraHandler::askForCurrentWhiteBalanceValues()
{
    const auto red = element(ids::WhiteBalanceItem, ids::WhiteBalanceRedElement);
    const auto green = element(ids::WhiteBalanceItem, ids::WhiteBalanceGreenElement);
    const auto blue = element(ids::WhiteBalanceItem, ids::WhiteBalanceBlueElement);
    if (!red || !green || !blue || !red->range() || !green->range() || !blue->range())
        return;
    const auto r = red->range()->getValue();
    const auto g = green->range()->getValue();
    const auto b = blue->range()->getValue();
    if (r && g && b)
        emit sendWhiteBalanceValuesToController(m_deviceInfo, *r, *g, *b);
}

void TISCameraHandler::setResolution(QSize size)
{
    if (!isReady())
        return;
    stopLive();
    m_grabber.setVideoFormat(videoFormatText(size));
    const QList<float> reported = loadFrameRates();
    if (auto camera = qSharedPointerDynamicCast<MovraCameraInfo>(m_deviceInfo))
        camera->setAvailableFps(reported);
    emit sendAvailableFPSToController(m_deviceInfo, reported);
}

void TISCameraHandler::setFrameRate(float fps)
{
    if (!isReady())
        return;
    stopLive();
    if (m_grabber.getExternalTrigger())
        setFrameRateForTrigger(fps);
    else
        m_grabber.setFPS(fps);
}

void TISCameraHandler::setExternalTrigger(bool on)
{
    if (!isReady())
        return;
    stopLive();
    m_grabber.setExternalTrigger(on);
    if (on)
        setFrameRateForTrigger(m_grabber.getFPS());
    if (const auto mode = element(ids::TriggerItem, ids::TriggerModeElement); mode && mode->text())
        mode->text()->setString(QStringLiteral("Timed"));
    if (const auto trigger = element(ids::TriggerItem, ids::TriggerSwitchElement); trigger && trigger->onOff())
        trigger->onOff()->setSwitch(m_deviceInfo->name().contains(SlowCameraName));
}

void TISCameraHandler::setFlipHorizontally(bool on)
{
    if (!isReady())
        return;
    m_grabber.setFlipH(on);
    setSwitchWhenDifferent(ids::FlipHorizontalItem, ids::ValueElement, on);
    if (m_deviceInfo->name().contains(SlowCameraName)) {
        if (const auto trigger = element(ids::TriggerItem, ids::TriggerSwitchElement); trigger && trigger->onOff())
            trigger->onOff()->setSwitch(true);
    }
}

void TISCameraHandler::setFlipVertically(bool on)
{
    if (!isReady())
        return;
    m_grabber.setFlipV(on);
    setSwitchWhenDifferent(ids::FlipVerticalItem, ids::ValueElement, on);
}

void TISCameraHandler::setAutoCenter(bool on)
{
    if (!isReady())
        return;
    setSwitchWhenDifferent(ids::CentringItem, ids::AutoCentringElement, on);
}

void TISCameraHandler::setXOffset(int offset)
{
    if (!isReady() || offset < 0)
        return;
    setRangeWhenDifferent(ids::CentringItem, ids::XOffsetElement, offset, false);
}

void TISCameraHandler::setYOffset(int offset)
{
    if (!isReady() || offset < 0)
        return;
    setRangeWhenDifferent(ids::CentringItem, ids::YOffsetElement, offset, false);
}

void TISCameraHandler::setAutoExposure(bool on)
{
    if (!isReady())
        return;
    setSwitchWhenDifferent(ids::ExposureItem, ids::AutoElement, on);
    if (!on)
        askForCurrentExposure();
}

void TISCameraHandler::setAutoGain(bool on)
{
    if (!isReady())
        return;
    setSwitchWhenDifferent(ids::GainItem, ids::AutoElement, on);
    if (!on)
        askForCurrentGain();
}

void TISCameraHandler::setExposure(double exposure)
{
    if (!isReady())
        return;
    setAbsoluteWhenDifferent(ids::ExposureItem, exposure);
}

void TISCameraHandler::setGain(double gain)
{
    if (!isReady() || gain <= -1)
        return;
    setAbsoluteWhenDifferent(ids::GainItem, gain);
}

void TISCameraHandler::setWhiteBalanceAuto(bool on)
{
    if (!isReady())
        return;
    setSwitchWhenDifferent(ids::WhiteBalanceItem, ids::AutoElement, on);
}

void TISCameraHandler::setWhiteBalanceManually(int red, int green, int blue)
{
    if (!isReady())
        return;
    setRangeWhenDifferent(ids::WhiteBalanceItem, ids::WhiteBalanceRedElement, red, true);
    setRangeWhenDifferent(ids::WhiteBalanceItem, ids::WhiteBalanceGreenElement, green, true);
    setRangeWhenDifferent(ids::WhiteBalanceItem, ids::WhiteBalanceBlueElement, blue, true);
}

QList<DShowLib::FrameTypeInfo> TISCameraHandler::sinkFrameTypes() const
{
    return { DShowLib::FrameTypeInfo(int(m_colorFormat), QSize()) };
}

void TISCameraHandler::createQueueSink()
{
    if (m_queueSink)
        m_queueSink->setListener(nullptr);
    m_queueSink = DShowLib::FrameQueueSink::create_(this, sinkFrameTypes());
    m_queueSink->setSinkMode(DShowLib::FrameSink::Paused);
}

void TISCameraHandler::createSnapSink()
{
    m_snapSink = DShowLib::FrameSnapSink::create(sinkFrameTypes(), 1);
    m_snapSink->setSinkMode(DShowLib::FrameSink::Paused);
}

void TISCameraHandler::activateSink(int kind)
{
    const DShowLib::smart_ptr<DShowLib::FrameSink> current = m_grabber.getSinkTypePtr();
    if (!current || current->getSinkType() != kind) {
        if (current && current->getSinkMode() == DShowLib::FrameSink::Running)
            current->setSinkMode(DShowLib::FrameSink::Paused);
        stopLive();
        if (kind == DShowLib::FrameSink::QueueSinkKind)
            m_grabber.setSinkType(m_queueSink);
        else
            m_grabber.setSinkType(m_snapSink);
    } else {
        stopLive();
    }
    if (!m_grabber.isLive())
        m_grabber.startLive(false);
}

void TISCameraHandler::startStop(bool start)
{
    if (!isReady() || !m_queueSink)
        return;
    if (start) {
        m_firstFramePending = true;
        m_lastFrameStamp = 0;
        activateSink(DShowLib::FrameSink::QueueSinkKind);
        qint64 referenceTime = 0;
        if (m_grabber.getCurReferenceTime(referenceTime))
            emit sendReferenceTimeToController(m_deviceInfo, referenceTime / 10);
        if (m_queueSink->getSinkMode() == DShowLib::FrameSink::Paused)
            m_queueSink->setSinkMode(DShowLib::FrameSink::Running);
        emit sendStartStopConfirmationToController(m_deviceInfo, true);
        return;
    }
    if (m_queueSink->getSinkMode() != DShowLib::FrameSink::Running)
        return;
    m_queueSink->setSinkMode(DShowLib::FrameSink::Paused);
    // Bound to the handler: a destroyed handler confirms nothing.
    QTimer::singleShot(StopConfirmationMs, this,
                       [this]() { emit sendStartStopConfirmationToController(m_deviceInfo, false); });
}

void TISCameraHandler::snapImage()
{
    if (!isReady() || !m_snapSink)
        return;
    const bool triggerWasOn = m_grabber.getExternalTrigger();
    if (triggerWasOn)
        setExternalTrigger(false);
    activateSink(DShowLib::FrameSink::SnapSinkKind);
    if (m_snapSink->getSinkMode() == DShowLib::FrameSink::Paused)
        m_snapSink->setSinkMode(DShowLib::FrameSink::Running);
    const DShowLib::smart_ptr<DShowLib::FrameQueueBuffer> buffer = m_snapSink->snapSequence_(SnapTimeoutMs);
    // Switching the trigger on again stops live acquisition.
    if (triggerWasOn)
        setExternalTrigger(true);
    if (!buffer) {
        qInfo() << "Camera" << m_deviceInfo->serialNumber() << "gave no frame to snap within" << SnapTimeoutMs << "ms";
        return;
    }
    emit sendNewImageReceivedToController(m_deviceInfo, QSharedPointer<TISCameraImage>::create(m_deviceInfo, buffer));
}

void TISCameraHandler::sinkConnected(DShowLib::FrameQueueSink& sink, DShowLib::FrameTypeInfo)
{
    QList<DShowLib::smart_ptr<DShowLib::FrameQueueBuffer>> buffers;
    const DShowLib::Error error =
        DShowLib::createFrameQueueBuffer_(buffers, sink.getOutputFrameType(), QueueBufferCount);
    if (error.isError()) {
        qDebug() << Q_FUNC_INFO << error.toString_();
        return;
    }
    for (const auto& buffer : std::as_const(buffers))
        sink.queueBuffer(buffer);
}

void TISCameraHandler::framesQueued(DShowLib::FrameQueueSink& sink)
{
    for (const auto& buffer : sink.popAllCopiedBuffers_()) {
        const qint64 stamp = buffer->getMetadataStamp1();
        bool passes = false;
        if (stamp != 0) {
            passes = stamp != m_lastFrameStamp;
        } else if (m_firstFramePending) {
            passes = true;
            m_firstFramePending = false;
        }
        m_lastFrameStamp = stamp;
        if (passes)
            emit sendNewImageReceivedToController(m_deviceInfo,
                                                  QSharedPointer<TISCameraImage>::create(m_deviceInfo, buffer));
        sink.queueBuffer(buffer);
    }
}

void TISCameraHandler::sinkDisconnected(DShowLib::FrameQueueSink& sink)
{
    for (const auto& buffer : sink.popAllCopiedBuffers_()) {
        if (buffer)
            emit sendNewImageReceivedToController(m_deviceInfo,
                                                  QSharedPointer<TISCameraImage>::create(m_deviceInfo, buffer));
    }
}

void TISCameraHandler::sinkRestarted()
{
    if (!m_queueSink)
        return;
    stopLive();
    m_firstFramePending = true;
    m_lastFrameStamp = 0;
    if (m_queueSink->getSinkMode() == DShowLib::FrameSink::Running)
        m_queueSink->setSinkMode(DShowLib::FrameSink::Paused);
    for (const auto& buffer : m_queueSink->popAllCopiedBuffers_())
        m_queueSink->queueBuffer(buffer);
    if (!m_grabber.isLive())
        m_grabber.startLive(false);
    m_queueSink->setSinkMode(DShowLib::FrameSink::Running);
}
