#include "device/camera/library/GrabberListener.h"

namespace DShowLib {

GrabberListener::~GrabberListener() = default;

void GrabberListener::deviceListChanged(Grabber&, DeviceListChangeData)
{
}

} // namespace DShowLib
