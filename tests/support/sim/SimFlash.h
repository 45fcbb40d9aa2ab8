#pragma once

#include <QByteArray>
#include <QMap>
#include <QtGlobal>

namespace sim {

// The program memory of a simulated instrument. Programming can only clear
// bits, as on real flash, so writing the same record twice changes nothing.
class Flash
{
public:
    Flash(quint32 size, const QByteArray& blankPattern);

    void erase();
    // False when any byte falls outside the flash; nothing is written then.
    bool program(quint32 offset, const QByteArray& data);
    QByteArray read(quint32 offset, quint32 length) const;
    // The CRC over the bytes that lie inside the flash.
    quint16 crc(quint32 offset, quint32 length) const;
    quint32 size() const { return quint32(m_bytes.size()); }
    const QByteArray& bytes() const { return m_bytes; }
    QByteArray blankImage() const;

    // A cell that always reads this value, whatever is programmed.
    void setStuckByte(quint32 offset, quint8 value);

private:
    QByteArray m_blankPattern;
    QByteArray m_bytes;
    QMap<quint32, quint8> m_stuck;
};

} // namespace sim
