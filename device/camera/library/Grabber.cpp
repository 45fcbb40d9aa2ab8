#include "device/camera/library/Grabber.h"

#include "device/camera/library/CameraLibrary.h"

namespace DShowLib {

Grabber::Grabber()
    : m_backend(cameraBackend())
{
}

Grabber::~Grabber()
{
    std::unique_ptr<DeviceListWatcher> watcher;
    {
        std::lock_guard<std::mutex> guard(m_listenersLock);
        m_listeners.clear();
        watcher = std::move(m_watcher);
    }
    watcher.reset();
    closeDev();
}

bool Grabber::addListener(GrabberListener* listener, int eventMask)
{
    if (!listener || !(eventMask & GrabberListener::DeviceListChangedEvent))
        return false;
    std::lock_guard<std::mutex> guard(m_listenersLock);
    if (!m_listeners.contains(listener))
        m_listeners.append(listener);
    if (!m_watcher)
        m_watcher = std::make_unique<DeviceListWatcher>(
            m_backend, [this](const QList<CameraEntry>& cameras) { notifyListeners(cameras); });
    return true;
}

bool Grabber::removeListener(GrabberListener* listener)
{
    std::unique_ptr<DeviceListWatcher> watcher;
    bool removed = false;
    {
        // Taken also while the listeners are called, so that none is called
        // once it has been removed.
        std::lock_guard<std::mutex> guard(m_listenersLock);
        removed = m_listeners.removeAll(listener) > 0;
        if (m_listeners.isEmpty())
            watcher = std::move(m_watcher);
    }
    // Joined outside the lock: the watcher may be waiting for it.
    watcher.reset();
    return removed;
}

void Grabber::notifyListeners(const QList<CameraEntry>& cameras)
{
    DeviceListChangeData data;
    for (const CameraEntry& entry : cameras)
        data.devices.append(VideoCaptureDeviceItem(entry));
    std::lock_guard<std::mutex> guard(m_listenersLock);
    for (GrabberListener* listener : std::as_const(m_listeners))
        listener->deviceListChanged(*this, data);
}

QList<VideoCaptureDeviceItem> Grabber::getAvailableVideoCaptureDevices_()
{
    QList<VideoCaptureDeviceItem> items;
    for (const CameraEntry& entry : m_backend->cameras())
        items.append(VideoCaptureDeviceItem(entry));
    return items;
}

bool Grabber::openDev(quint64 serial)
{
    if (m_device)
        return false;
    for (const CameraEntry& entry : m_backend->cameras()) {
        quint64 entrySerial = 0;
        if (VideoCaptureDeviceItem::serialFromText(entry.serial, entrySerial) && entrySerial == serial) {
            m_device = m_backend->open(entry.id);
            return !m_device.isNull();
        }
    }
    return false;
}

bool Grabber::closeDev()
{
    if (!m_device)
        return false;
    stopLive();
    m_device.reset();
    return true;
}

bool Grabber::isDevOpen() const
{
    return !m_device.isNull();
}

bool Grabber::isDevValid() const
{
    return m_device && m_device->isValid();
}

QList<VideoFormatItem> Grabber::getAvailableVideoFormats_() const
{
    return m_device ? m_device->videoFormats() : QList<VideoFormatItem>();
}

bool Grabber::setVideoFormat(const QString& format)
{
    VideoFormatItem item;
    if (!m_device || !VideoFormatItem::fromString(format, item) || !m_device->videoFormats().contains(item))
        return false;
    return m_device->setVideoFormat(item);
}

QString Grabber::getVideoFormat() const
{
    return m_device ? m_device->videoFormat().toString() : QString();
}

QList<double> Grabber::getAvailableFPS_() const
{
    return m_device ? m_device->frameRates() : QList<double>();
}

bool Grabber::setFPS(double fps)
{
    return m_device && m_device->setFrameRate(fps);
}

double Grabber::getFPS() const
{
    return m_device ? m_device->frameRate() : 0.0;
}

bool Grabber::setExternalTrigger(bool on)
{
    return m_device && m_device->setExternalTrigger(on);
}

bool Grabber::getExternalTrigger() const
{
    return m_device && m_device->externalTrigger();
}

bool Grabber::setFlipH(bool on)
{
    return m_device && m_device->setFlipH(on);
}

bool Grabber::getFlipH() const
{
    return m_device && m_device->flipH();
}

bool Grabber::setFlipV(bool on)
{
    return m_device && m_device->setFlipV(on);
}

bool Grabber::getFlipV() const
{
    return m_device && m_device->flipV();
}

bool Grabber::getCurReferenceTime(qint64& time) const
{
    return m_device && m_device->referenceTime(time);
}

QSharedPointer<VCDPropertyElement> Grabber::getVCDPropertyElement(const QUuid& item, const QUuid& element) const
{
    return m_device ? m_device->propertyElement(item, element) : QSharedPointer<VCDPropertyElement>();
}

bool Grabber::setSinkType(const smart_ptr<FrameSink>& sink)
{
    if (m_live)
        return false;
    m_sink = sink;
    return true;
}

bool Grabber::startLive(bool showVideo)
{
    if (showVideo || m_live || !m_device || !m_sink)
        return false;
    const VideoFormatItem format = m_device->videoFormat();
    const FrameTypeInfo outputType(format.getFrameType(), format.getSize());
    m_sink->connect(outputType);
    // The sink is held by the stream: it cannot change until the stream stops.
    const smart_ptr<FrameSink> sink = m_sink;
    m_live = m_device->startStream([sink](const FrameTypeInfo& type, const QByteArray& bytes, qint64 stamp1,
                                          qint64 stamp2) { sink->deliver(type, bytes, stamp1, stamp2); });
    if (!m_live)
        m_sink->disconnect();
    return m_live;
}

bool Grabber::stopLive()
{
    if (!m_live)
        return false;
    m_device->stopStream();
    m_live = false;
    if (m_sink)
        m_sink->disconnect();
    return true;
}

} // namespace DShowLib
