#include "firmware/core/BootloaderFrame.h"

#include "firmware/files/FirmwareFileManager.h"

namespace BootloaderFrame {

namespace {
bool needsEscape(char c)
{
    return c == SOH || c == EOT || c == DLE;
}
} // namespace

QByteArray withCrc(const QByteArray& payload)
{
    const quint16 crc = FirmwareFileManager::calculateCRC(payload.constData(), int(payload.size()));
    QByteArray bytes = payload;
    bytes.append(char(crc & 0xFF));
    bytes.append(char(crc >> 8));
    return bytes;
}

int escapedSize(const QByteArray& bytes)
{
    int size = 0;
    for (char c : bytes)
        size += needsEscape(c) ? 2 : 1;
    return size;
}

QByteArray escape(const QByteArray& bytes)
{
    QByteArray escaped;
    escaped.reserve(escapedSize(bytes));
    for (char c : bytes) {
        if (needsEscape(c))
            escaped.append(DLE);
        escaped.append(c);
    }
    return escaped;
}

QByteArray fixedFrame(const QByteArray& payloadWithCrc)
{
    return prefixedFixedFrame(payloadWithCrc, false);
}

QByteArray prefixedFixedFrame(const QByteArray& payloadWithCrc, bool withPrefix)
{
    const QByteArray escaped = escape(payloadWithCrc);
    const int room = withPrefix ? PrefixedFrameRoom : FixedFrameRoom;
    if (escaped.size() > room || (withPrefix && payloadWithCrc.isEmpty()))
        return {};
    QByteArray frame(FixedFrameSize, char(0xFF));
    int i = 0;
    if (withPrefix) {
        frame[i++] = payloadWithCrc.at(0);
        frame[i++] = 0x00;
    }
    frame[i++] = SOH;
    frame.replace(i, escaped.size(), escaped);
    i += int(escaped.size());
    frame[i] = EOT;
    return frame;
}

QByteArray growingFrame(const QByteArray& payloadWithCrc)
{
    QByteArray frame;
    frame.append(SOH);
    frame.append(escape(payloadWithCrc));
    frame.append(EOT);
    return frame;
}

QByteArray decode(const QByteArray& frame)
{
    QByteArray out(DecodedSize, 0);
    int i = 0;
    bool escapePending = false;
    bool overflow = false;
    for (char c : frame) {
        if (!escapePending && c == SOH) {
            i = 0;
            overflow = false;
            continue;
        }
        if (!escapePending && c == EOT) {
            if (!overflow && i > 2) {
                const quint16 crc = FirmwareFileManager::calculateCRC(out.constData(), i - 2);
                const quint16 stored = quint16(quint8(out.at(i - 2)) | (quint8(out.at(i - 1)) << 8));
                if (crc == stored)
                    return out;
            }
            continue;
        }
        if (!escapePending && c == DLE) {
            escapePending = true;
            continue;
        }
        escapePending = false;
        if (i >= DecodedSize) {
            overflow = true;
            continue;
        }
        if (!overflow)
            out[i++] = c;
    }
    if (overflow)
        out.fill(0);
    return out;
}

} // namespace BootloaderFrame
