#pragma once

#include "device/camera/library/VideoCaptureDeviceItem.h"

#include <QList>

namespace DShowLib {

// What a device-list notice carries: the list after the change.
struct DeviceListChangeData
{
    QList<VideoCaptureDeviceItem> devices;
};

} // namespace DShowLib
