#pragma once

#include "device/camera/library/GrabberListener.h"

#include <QObject>

// Turns the camera library's device-list notices, which come on a thread of
// the library's own, into a signal.
class TISCameraListener : public QObject, public DShowLib::GrabberListener
{
    Q_OBJECT

public:
    explicit TISCameraListener(QObject* parent = nullptr);

signals:
    void sendDeviceListChanged();

protected:
    // Only emits: whatever reacts runs in its own thread, as a queued call.
    void deviceListChanged(DShowLib::Grabber& caller, DShowLib::DeviceListChangeData deviceList) override;
};
