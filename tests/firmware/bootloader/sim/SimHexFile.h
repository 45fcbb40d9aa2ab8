#pragma once

#include <QByteArray>
#include <QList>

namespace sim {

struct HexSegment
{
    quint32 address = 0;
    QByteArray data;
};

// An Intel HEX text of the segments: an extended linear address record
// wherever the upper address half changes, data records of at most
// recordSize bytes that never cross a 64 KiB boundary, the end record.
QByteArray writeIntelHex(const QList<HexSegment>& segments, int recordSize = 16,
                         const QByteArray& lineEnd = QByteArrayLiteral("\r\n"));

// Reproducible filler bytes for firmware images.
QByteArray pseudoRandomBytes(int count, quint32 seed);

} // namespace sim
