#pragma once

#include "device/AbstractGrabber.h"
#include "device/camera/TISCameraListener.h"
#include "device/camera/library/Grabber.h"
#include "device/camera/library/VideoCaptureDeviceItem.h"

#include <QByteArray>
#include <QMap>
#include <QSharedPointer>

// Finds the cameras of the camera library: one pass 1500 ms after its thread
// starts, then one per device-list notice of the library.
class TISCameraGrabber : public AbstractGrabber, public DShowLib::Grabber
{
    Q_OBJECT

public:
    explicit TISCameraGrabber(QObject* parent = nullptr);
    ~TISCameraGrabber() override;

    // The camera record of one list item (public for the record rules' tests).
    static QSharedPointer<MovraDeviceInfo> createDeviceInfo(const DShowLib::VideoCaptureDeviceItem& item);
    static QByteArray driverVersion(const DShowLib::VideoCaptureDeviceItem& item);
    // The serial number as the record's text: lower-case hex, one "0" in
    // front when shorter than 8 characters.
    static QByteArray cameraText(quint64 serial);
    static QByteArray discoveryKey(quint64 serial);

protected slots:
    void refreshAvailableDevices() override;

private:
    QSharedPointer<TISCameraListener> m_listener;
    QMap<QSharedPointer<MovraDeviceInfo>, QByteArray> m_knownCameras;
};
