#pragma once

#include <QByteArray>
#include <QList>

namespace sim {

// One Intel-HEX record as the bootloader receives it: in binary, without
// the ':' and the line end.
struct Record
{
    quint8 type = 0;
    quint16 address = 0;
    QByteArray data;
};

// The records of a programming packet, each checked by its count and its
// checksum; false, and nothing in records, when any of them is not sound
// or there is none.
bool parseRecords(const QByteArray& bytes, QList<Record>* records);

} // namespace sim
