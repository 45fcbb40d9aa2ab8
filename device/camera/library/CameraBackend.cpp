#include "device/camera/library/CameraBackend.h"

namespace DShowLib {

CameraBackend::~CameraBackend() = default;

} // namespace DShowLib
