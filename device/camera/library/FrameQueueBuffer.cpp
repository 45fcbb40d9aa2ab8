#include "device/camera/library/FrameQueueBuffer.h"

namespace DShowLib {

FrameQueueBuffer::FrameQueueBuffer(const FrameTypeInfo& type)
    : m_type(type)
{
}

void FrameQueueBuffer::fill(const FrameTypeInfo& type, const QByteArray& bytes, qint64 stamp1, qint64 stamp2)
{
    m_type = type;
    m_data = bytes;
    // The bytes given are all there is, whatever the type claims.
    m_type.buffersize = bytes.size();
    m_stamp1 = stamp1;
    m_stamp2 = stamp2;
}

Error createFrameQueueBuffer_(QList<smart_ptr<FrameQueueBuffer>>& buffers, const FrameTypeInfo& type, int count)
{
    buffers.clear();
    if (count <= 0)
        return Error(QStringLiteral("no buffer count given"));
    if (type.subtype.isNull())
        return Error(QStringLiteral("the sink has no known frame type"));
    for (int i = 0; i < count; ++i)
        buffers.append(std::make_shared<FrameQueueBuffer>(type));
    return Error();
}

} // namespace DShowLib
