#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

// The test's own view of the bootloader framing, written from the protocol
// description and sharing nothing with the program.
namespace TestFrames {

inline quint16 crc16Xmodem(const QByteArray& data)
{
    quint16 crc = 0;
    for (char c : data) {
        crc ^= quint16(quint8(c) << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

inline quint8 crc8Smbus(const QByteArray& data)
{
    quint8 crc = 0;
    for (char c : data) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80) ? quint8((crc << 1) ^ 0x07) : quint8(crc << 1);
    }
    return crc;
}

// The payload of a frame that starts at byte `start` with SOH, when its
// CRC-16 matches; nothing otherwise.
inline std::optional<QByteArray> payloadOf(const QByteArray& frame, int start = 0)
{
    if (frame.size() <= start || frame.at(start) != 0x01)
        return std::nullopt;
    QByteArray content;
    for (int i = start + 1; i < frame.size(); ++i) {
        const char c = frame.at(i);
        if (c == 0x10) {
            if (++i >= frame.size())
                return std::nullopt;
            content.append(frame.at(i));
        } else if (c == 0x04) {
            if (content.size() < 2)
                return std::nullopt;
            const QByteArray payload = content.left(content.size() - 2);
            const quint16 stored = quint16(quint8(content.at(content.size() - 2)) | (quint8(content.back()) << 8));
            if (crc16Xmodem(payload) != stored)
                return std::nullopt;
            return payload;
        } else if (c == 0x01) {
            return std::nullopt;
        } else {
            content.append(c);
        }
    }
    return std::nullopt;
}

// SOH, the escaped payload and its CRC, EOT, as a device sends it.
inline QByteArray deviceFrame(const QByteArray& payload)
{
    QByteArray bytes = payload;
    const quint16 crc = crc16Xmodem(payload);
    bytes.append(char(crc & 0xFF));
    bytes.append(char(crc >> 8));
    QByteArray frame(1, 0x01);
    for (char c : bytes) {
        if (c == 0x01 || c == 0x04 || c == 0x10)
            frame.append(0x10);
        frame.append(c);
    }
    frame.append(0x04);
    return frame;
}

} // namespace TestFrames
