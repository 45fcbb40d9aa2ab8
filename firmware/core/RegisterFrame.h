#pragma once

#include <QByteArray>
#include <QtGlobal>

// '#' register frames: a register read or write closed by a CRC-8/SMBUS of
// every byte but the '#', the CRC itself and the final CR.
namespace RegisterFrame {

constexpr char Start = '#';
constexpr char End = '\r';
constexpr char WriteCode = 0x07;
constexpr char ReadCode = 0x08;
// The length byte holds the data length + 4.
constexpr int MaxWriteDataLength = 251;

void fillCrc8Table(quint8* table);
quint8 crc8(const quint8* table, const char* data, int length);

// The frame body (from '#' on) with its CRC-8 and CR appended.
QByteArray finish(const QByteArray& body, quint8* table);

} // namespace RegisterFrame
