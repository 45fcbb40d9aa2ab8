#pragma once

#include "device/camera/library/DeviceListChangeData.h"

namespace DShowLib {

class Grabber;

// Receives a grabber's notices, on a thread of the library's own.
class GrabberListener
{
public:
    static constexpr int DeviceListChangedEvent = 8;

    virtual ~GrabberListener();

    virtual void deviceListChanged(Grabber& caller, DeviceListChangeData deviceList);
};

} // namespace DShowLib
