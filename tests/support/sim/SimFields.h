#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace sim {

// A 32-bit field of a boot command, low byte first; the caller has checked
// that the four bytes are there.
inline quint32 littleEndian32(const QByteArray& bytes, int at)
{
    return quint32(quint8(bytes.at(at))) | quint32(quint8(bytes.at(at + 1))) << 8
           | quint32(quint8(bytes.at(at + 2))) << 16 | quint32(quint8(bytes.at(at + 3))) << 24;
}

} // namespace sim
