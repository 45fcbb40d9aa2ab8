#include "device/camera/CameraBackend.h"

namespace DShowLib {

CameraBackend::~CameraBackend() = default;

} // namespace DShowLib
