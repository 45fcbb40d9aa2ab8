#include "firmware/files/FirmwareImageBuffer.h"

#include <algorithm>

void FirmwareImageBuffer::blank()
{
    for (qint64 i = m_writtenBegin; i < m_writtenEnd; ++i)
        m_bytes[i] = m_blankByte(i);
    m_writtenBegin = m_writtenEnd = 0;
}

void FirmwareImageBuffer::written(qint64 offset, qint64 count)
{
    const qint64 begin = std::clamp<qint64>(offset, 0, m_size);
    const qint64 end = std::clamp<qint64>(offset + count, begin, m_size);
    if (begin == end)
        return;
    if (m_writtenBegin == m_writtenEnd) {
        m_writtenBegin = begin;
        m_writtenEnd = end;
        return;
    }
    m_writtenBegin = std::min(m_writtenBegin, begin);
    m_writtenEnd = std::max(m_writtenEnd, end);
}
