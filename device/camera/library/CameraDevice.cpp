#include "device/camera/library/CameraDevice.h"

namespace DShowLib {

CameraDevice::~CameraDevice() = default;

bool CameraDevice::startStream(FrameCallback)
{
    return false;
}

void CameraDevice::stopStream()
{
}

} // namespace DShowLib
