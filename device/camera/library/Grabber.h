#pragma once

#include "device/camera/library/CameraBackend.h"
#include "device/camera/library/CameraDevice.h"
#include "device/camera/library/DeviceListWatcher.h"
#include "device/camera/library/FrameSink.h"
#include "device/camera/library/GrabberListener.h"
#include "device/camera/library/VCDPropertyElement.h"
#include "device/camera/library/VideoCaptureDeviceItem.h"
#include "device/camera/library/VideoFormatItem.h"

#include <QList>
#include <QSharedPointer>
#include <QString>
#include <QUuid>

#include <memory>
#include <mutex>

namespace DShowLib {

// The camera connection object: lists cameras, opens one by its serial
// number and drives it. Operations on a closed camera fail by their result.
class Grabber
{
public:
    Grabber();
    virtual ~Grabber();

    Grabber(const Grabber&) = delete;
    Grabber& operator=(const Grabber&) = delete;

    // The listener is called on the library's own thread until it is removed;
    // once removeListener returns, no call to it is running or will come.
    bool addListener(GrabberListener* listener, int eventMask);
    bool removeListener(GrabberListener* listener);

    QList<VideoCaptureDeviceItem> getAvailableVideoCaptureDevices_();

    bool openDev(quint64 serial);
    bool closeDev();
    bool isDevOpen() const;
    bool isDevValid() const;

    QList<VideoFormatItem> getAvailableVideoFormats_() const;
    bool setVideoFormat(const QString& format);
    QString getVideoFormat() const;

    QList<double> getAvailableFPS_() const;
    bool setFPS(double fps);
    double getFPS() const;

    bool setExternalTrigger(bool on);
    bool getExternalTrigger() const;
    bool setFlipH(bool on);
    bool getFlipH() const;
    bool setFlipV(bool on);
    bool getFlipV() const;
    bool getCurReferenceTime(qint64& time) const;

    // The sink cannot change while live acquisition runs.
    bool setSinkType(const smart_ptr<FrameSink>& sink);
    smart_ptr<FrameSink> getSinkTypePtr() const { return m_sink; }

    // Frames go to the current sink on the backend's threads. Display is
    // not offered.
    bool startLive(bool showVideo = false);
    bool stopLive();
    bool isLive() const { return m_live; }

    QSharedPointer<VCDPropertyElement> getVCDPropertyElement(const QUuid& item, const QUuid& element) const;

protected:
    QSharedPointer<CameraDevice> device() const { return m_device; }

private:
    void notifyListeners(const QList<CameraEntry>& cameras);

    QSharedPointer<CameraBackend> m_backend;
    QSharedPointer<CameraDevice> m_device;
    smart_ptr<FrameSink> m_sink;
    bool m_live = false;

    std::mutex m_listenersLock;
    QList<GrabberListener*> m_listeners;
    std::unique_ptr<DeviceListWatcher> m_watcher;
};

} // namespace DShowLib
