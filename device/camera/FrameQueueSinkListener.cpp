#include "device/camera/FrameQueueSinkListener.h"

namespace DShowLib {

FrameQueueSinkListener::~FrameQueueSinkListener() = default;

} // namespace DShowLib
