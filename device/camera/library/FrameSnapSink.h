#pragma once

#include "device/camera/library/FrameSink.h"

#include <condition_variable>
#include <mutex>

namespace DShowLib {

// A sink that keeps the next frame arriving while a snap waits for it.
class FrameSnapSink : public FrameSink
{
public:
    FrameSnapSink(const QList<FrameTypeInfo>& frameTypes, int capacity);

    static smart_ptr<FrameSnapSink> create(const QList<FrameTypeInfo>& frameTypes, int capacity = 1);

    int getSinkType() const override { return SnapSinkKind; }

    // The next frame within the time-out, or null.
    smart_ptr<FrameQueueBuffer> snapSequence_(int timeoutMs);

    void connect(const FrameTypeInfo& outputType) override;
    void disconnect() override;
    void deliver(const FrameTypeInfo& type, const QByteArray& bytes, qint64 stamp1, qint64 stamp2) override;

private:
    int m_capacity = 1;
    std::mutex m_lock;
    std::condition_variable m_arrived;
    bool m_waiting = false;
    smart_ptr<FrameQueueBuffer> m_frame;
};

} // namespace DShowLib
