#include "device/camera/CameraDevice.h"

namespace DShowLib {

CameraDevice::~CameraDevice() = default;

} // namespace DShowLib
