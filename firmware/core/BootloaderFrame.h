#pragma once

#include <QByteArray>

// Bootloader frames: a command code and its payload between SOH and EOT,
// with DLE before every byte that could be read as one of the three, and the
// CRC-16 of the payload appended low byte first.
namespace BootloaderFrame {

constexpr char SOH = 0x01;
constexpr char EOT = 0x04;
constexpr char DLE = 0x10;

constexpr int FixedFrameSize = 64;
// Bytes between SOH and EOT of a fixed frame, and of one with its
// two-byte command prefix.
constexpr int FixedFrameRoom = FixedFrameSize - 2;
constexpr int PrefixedFrameRoom = FixedFrameSize - 4;
constexpr int DecodedSize = 255;

// The payload with its CRC-16 appended, low byte first.
QByteArray withCrc(const QByteArray& payload);
// Length of the bytes once escaped.
int escapedSize(const QByteArray& bytes);
QByteArray escape(const QByteArray& bytes);

// 64 bytes filled with 0xFF: SOH, the escaped payload and CRC, EOT. Empty
// when the escaped bytes do not fit.
QByteArray fixedFrame(const QByteArray& payloadWithCrc);
// The fixed frame, preceded by the command code and 0x00 when withPrefix
// (the SOH is then byte 2). Empty when it does not fit.
QByteArray prefixedFixedFrame(const QByteArray& payloadWithCrc, bool withPrefix);
// SOH, the escaped payload and CRC, EOT; nothing follows.
QByteArray growingFrame(const QByteArray& payloadWithCrc);

// The content of the frame that ends at the first EOT whose two preceding
// bytes are the CRC-16 of the content, CRC bytes included, in 255 bytes.
// Content that would not fit is dropped up to the next SOH; a frame that
// never ends within 255 bytes decodes to zeros.
QByteArray decode(const QByteArray& frame);

} // namespace BootloaderFrame
