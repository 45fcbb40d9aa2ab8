#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace sim {

// CRC-16/XMODEM as the instruments' bootloaders compute it: bit by bit,
// polynomial 0x1021, initial value 0, no reflection, no final XOR.
quint16 crc16(const char* data, qsizetype length);
quint16 crc16(const QByteArray& data);

} // namespace sim
