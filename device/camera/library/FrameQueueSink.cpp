#include "device/camera/library/FrameQueueSink.h"

namespace DShowLib {

FrameQueueSink::FrameQueueSink(FrameQueueSinkListener* listener, const QList<FrameTypeInfo>& frameTypes)
    : FrameSink(frameTypes)
    , m_listener(listener)
{
}

smart_ptr<FrameQueueSink> FrameQueueSink::create_(FrameQueueSinkListener* listener,
                                                  const QList<FrameTypeInfo>& frameTypes)
{
    return std::make_shared<FrameQueueSink>(listener, frameTypes);
}

void FrameQueueSink::setListener(FrameQueueSinkListener* listener)
{
    std::lock_guard<std::mutex> guard(m_listenerLock);
    m_listener = listener;
}

Error FrameQueueSink::queueBuffer(const smart_ptr<FrameQueueBuffer>& buffer)
{
    if (!buffer)
        return Error(QStringLiteral("no buffer"));
    std::lock_guard<std::mutex> guard(m_buffersLock);
    m_queued.append(buffer);
    return Error();
}

QList<smart_ptr<FrameQueueBuffer>> FrameQueueSink::popAllCopiedBuffers_()
{
    std::lock_guard<std::mutex> guard(m_buffersLock);
    QList<smart_ptr<FrameQueueBuffer>> filled;
    filled.swap(m_filled);
    return filled;
}

FrameTypeInfo FrameQueueSink::getOutputFrameType() const
{
    std::lock_guard<std::mutex> guard(m_buffersLock);
    return m_outputType;
}

void FrameQueueSink::connect(const FrameTypeInfo& outputType)
{
    {
        std::lock_guard<std::mutex> guard(m_buffersLock);
        m_outputType = outputType;
        // Buffers belong to one connection.
        m_queued.clear();
    }
    std::lock_guard<std::mutex> guard(m_listenerLock);
    if (m_listener)
        m_listener->sinkConnected(*this, outputType);
}

void FrameQueueSink::disconnect()
{
    std::lock_guard<std::mutex> guard(m_listenerLock);
    if (m_listener)
        m_listener->sinkDisconnected(*this);
}

void FrameQueueSink::deliver(const FrameTypeInfo& type, const QByteArray& bytes, qint64 stamp1, qint64 stamp2)
{
    if (getSinkMode() != Running)
        return;
    {
        std::lock_guard<std::mutex> guard(m_buffersLock);
        if (m_queued.isEmpty())
            return;
        smart_ptr<FrameQueueBuffer> buffer = m_queued.takeFirst();
        buffer->fill(type, bytes, stamp1, stamp2);
        m_filled.append(buffer);
    }
    std::lock_guard<std::mutex> guard(m_listenerLock);
    if (m_listener)
        m_listener->framesQueued(*this);
}

} // namespace DShowLib
