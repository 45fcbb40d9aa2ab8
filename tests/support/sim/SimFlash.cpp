#include "tests/support/sim/SimFlash.h"

#include "tests/support/sim/SimCrc16.h"

namespace sim {

Flash::Flash(quint32 size, const QByteArray& blankPattern)
    : m_blankPattern(blankPattern.isEmpty() ? QByteArray(1, char(0xFF)) : blankPattern)
    , m_bytes(int(size), char(0xFF))
{
    erase();
}

QByteArray Flash::blankImage() const
{
    QByteArray image(m_bytes.size(), char(0xFF));
    for (int i = 0; i < image.size(); ++i)
        image[i] = m_blankPattern.at(i % m_blankPattern.size());
    return image;
}

void Flash::erase()
{
    m_bytes = blankImage();
    for (auto it = m_stuck.cbegin(); it != m_stuck.cend(); ++it)
        m_bytes[int(it.key())] = char(it.value());
}

bool Flash::program(quint32 offset, const QByteArray& data)
{
    if (quint64(offset) + quint64(data.size()) > quint64(m_bytes.size()))
        return false;
    for (int i = 0; i < data.size(); ++i) {
        const quint32 at = offset + quint32(i);
        if (m_stuck.contains(at))
            continue;
        m_bytes[int(at)] = char(quint8(m_bytes.at(int(at))) & quint8(data.at(i)));
    }
    return true;
}

QByteArray Flash::read(quint32 offset, quint32 length) const
{
    if (offset >= size())
        return {};
    const quint32 available = qMin(length, size() - offset);
    return m_bytes.mid(int(offset), int(available));
}

quint16 Flash::crc(quint32 offset, quint32 length) const
{
    return crc16(read(offset, length));
}

void Flash::setStuckByte(quint32 offset, quint8 value)
{
    if (offset >= size())
        return;
    m_stuck.insert(offset, value);
    m_bytes[int(offset)] = char(value);
}

} // namespace sim
