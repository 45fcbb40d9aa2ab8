#pragma once

#include "device/camera/library/FrameQueueSinkListener.h"
#include "device/camera/library/FrameSink.h"

#include <QList>

#include <mutex>

namespace DShowLib {

// A sink that fills the buffers queued in it, in order, and hands the filled
// ones to its listener. Frames that find no queued buffer are dropped.
class FrameQueueSink : public FrameSink
{
public:
    FrameQueueSink(FrameQueueSinkListener* listener, const QList<FrameTypeInfo>& frameTypes);

    static smart_ptr<FrameQueueSink> create_(FrameQueueSinkListener* listener, const QList<FrameTypeInfo>& frameTypes);

    int getSinkType() const override { return QueueSinkKind; }

    // Once it returns, the old listener is not being called and will not be.
    void setListener(FrameQueueSinkListener* listener);

    Error queueBuffer(const smart_ptr<FrameQueueBuffer>& buffer);
    // The filled buffers, in arrival order; the sink keeps none of them.
    QList<smart_ptr<FrameQueueBuffer>> popAllCopiedBuffers_();
    FrameTypeInfo getOutputFrameType() const;

    void connect(const FrameTypeInfo& outputType) override;
    void disconnect() override;
    void deliver(const FrameTypeInfo& type, const QByteArray& bytes, qint64 stamp1, qint64 stamp2) override;

private:
    // Held while the listener is called; never taken under m_buffersLock.
    std::mutex m_listenerLock;
    FrameQueueSinkListener* m_listener = nullptr;

    mutable std::mutex m_buffersLock;
    FrameTypeInfo m_outputType;
    QList<smart_ptr<FrameQueueBuffer>> m_queued;
    QList<smart_ptr<FrameQueueBuffer>> m_filled;
};

} // namespace DShowLib
