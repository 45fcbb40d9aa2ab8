#include "device/camera/library/FrameSnapSink.h"

#include <chrono>

namespace DShowLib {

FrameSnapSink::FrameSnapSink(const QList<FrameTypeInfo>& frameTypes, int capacity)
    : FrameSink(frameTypes)
    , m_capacity(capacity)
{
}

smart_ptr<FrameSnapSink> FrameSnapSink::create(const QList<FrameTypeInfo>& frameTypes, int capacity)
{
    return std::make_shared<FrameSnapSink>(frameTypes, capacity);
}

smart_ptr<FrameQueueBuffer> FrameSnapSink::snapSequence_(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_lock);
    if (m_capacity < 1 || getSinkMode() != Running)
        return nullptr;
    m_frame.reset();
    m_waiting = true;
    m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_frame != nullptr; });
    m_waiting = false;
    smart_ptr<FrameQueueBuffer> frame;
    frame.swap(m_frame);
    return frame;
}

void FrameSnapSink::connect(const FrameTypeInfo&)
{
}

void FrameSnapSink::disconnect()
{
}

void FrameSnapSink::deliver(const FrameTypeInfo& type, const QByteArray& bytes, qint64 stamp1, qint64 stamp2)
{
    if (getSinkMode() != Running)
        return;
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_waiting || m_frame)
        return;
    auto frame = std::make_shared<FrameQueueBuffer>();
    frame->fill(type, bytes, stamp1, stamp2);
    m_frame = frame;
    m_arrived.notify_all();
}

} // namespace DShowLib
