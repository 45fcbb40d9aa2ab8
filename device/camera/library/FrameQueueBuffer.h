#pragma once

#include "device/camera/library/Error.h"
#include "device/camera/library/FrameTypeInfo.h"

#include <QByteArray>
#include <QList>

#include <memory>

namespace DShowLib {

template <typename T>
using smart_ptr = std::shared_ptr<T>;

// One frame buffer: its frame type, its bytes and two metadata stamps (the
// first 0 when the camera gives none).
class FrameQueueBuffer
{
public:
    FrameQueueBuffer() = default;
    explicit FrameQueueBuffer(const FrameTypeInfo& type);

    const FrameTypeInfo& getFrameType() const { return m_type; }
    // Holds the frame type's byte count.
    const uchar* getPtr() const { return reinterpret_cast<const uchar*>(m_data.constData()); }
    qint64 getMetadataStamp1() const { return m_stamp1; }
    qint64 getMetadataStamp2() const { return m_stamp2; }

    // Takes a frame: the byte count becomes that of the bytes given.
    void fill(const FrameTypeInfo& type, const QByteArray& bytes, qint64 stamp1, qint64 stamp2);

private:
    FrameTypeInfo m_type;
    QByteArray m_data;
    qint64 m_stamp1 = 0;
    qint64 m_stamp2 = 0;
};

// Makes count buffers of the given frame type.
Error createFrameQueueBuffer_(QList<smart_ptr<FrameQueueBuffer>>& buffers, const FrameTypeInfo& type, int count);

} // namespace DShowLib
