#pragma once

#include "device/camera/library/FrameTypeInfo.h"

namespace DShowLib {

class FrameQueueSink;

// Told by a frame-queue sink about its connection and its filled buffers,
// on the library's threads.
class FrameQueueSinkListener
{
public:
    virtual ~FrameQueueSinkListener();

    virtual void sinkConnected(FrameQueueSink& sink, FrameTypeInfo frameType) = 0;
    virtual void framesQueued(FrameQueueSink& sink) = 0;
    virtual void sinkDisconnected(FrameQueueSink& sink) = 0;
};

} // namespace DShowLib
