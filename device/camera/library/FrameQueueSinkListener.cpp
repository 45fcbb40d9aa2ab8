#include "device/camera/library/FrameQueueSinkListener.h"

namespace DShowLib {

FrameQueueSinkListener::~FrameQueueSinkListener() = default;

} // namespace DShowLib
