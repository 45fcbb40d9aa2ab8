#include "tests/firmware/bootloader/sim/SimHexFile.h"

namespace sim {

namespace {

QByteArray recordLine(quint8 type, quint16 address, const QByteArray& data, const QByteArray& lineEnd)
{
    QByteArray bytes;
    bytes.append(char(data.size()));
    bytes.append(char(address >> 8));
    bytes.append(char(address & 0xFF));
    bytes.append(char(type));
    bytes.append(data);
    quint8 sum = 0;
    for (const char b : bytes)
        sum = quint8(sum + quint8(b));
    bytes.append(char(quint8(0x100 - sum)));
    return ':' + bytes.toHex().toUpper() + lineEnd;
}

} // namespace

QByteArray writeIntelHex(const QList<HexSegment>& segments, int recordSize, const QByteArray& lineEnd)
{
    QByteArray text;
    qint64 upper = -1;
    for (const HexSegment& segment : segments) {
        int done = 0;
        while (done < segment.data.size()) {
            const quint32 address = segment.address + quint32(done);
            if (qint64(address >> 16) != upper) {
                upper = address >> 16;
                QByteArray ela;
                ela.append(char(upper >> 8));
                ela.append(char(upper & 0xFF));
                text += recordLine(4, 0, ela, lineEnd);
            }
            const int toBoundary = int(0x10000 - (address & 0xFFFF));
            const int take = qMin(qMin(recordSize, segment.data.size() - done), toBoundary);
            text += recordLine(0, quint16(address & 0xFFFF), segment.data.mid(done, take), lineEnd);
            done += take;
        }
    }
    text += recordLine(1, 0, {}, lineEnd);
    return text;
}

QByteArray pseudoRandomBytes(int count, quint32 seed)
{
    QByteArray bytes(count, 0);
    quint32 state = seed ? seed : 1;
    for (int i = 0; i < count; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes[i] = char(state >> 24);
    }
    return bytes;
}

} // namespace sim
