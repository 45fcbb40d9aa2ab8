#include "tests/support/IntelHex.h"

QByteArray IntelHex::record(quint16 address, quint8 type, const QByteArray& data)
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
    return bytes;
}

QByteArray IntelHex::line(quint16 address, quint8 type, const QByteArray& data)
{
    return ':' + record(address, type, data).toHex().toUpper();
}

QByteArray IntelHex::text(const QList<QByteArray>& records, const QByteArray& lineEnd)
{
    QByteArray text;
    for (const QByteArray& record : records)
        text += ':' + record.toHex().toUpper() + lineEnd;
    return text;
}

QByteArray IntelHex::file(const QList<Segment>& segments, int recordSize, const QByteArray& lineEnd)
{
    QList<QByteArray> records;
    qint64 upper = -1;
    for (const Segment& segment : segments) {
        int done = 0;
        while (done < segment.data.size()) {
            const quint32 address = segment.address + quint32(done);
            if (qint64(address >> 16) != upper) {
                upper = address >> 16;
                QByteArray ela;
                ela.append(char(upper >> 8));
                ela.append(char(upper & 0xFF));
                records.append(record(0, 4, ela));
            }
            const int toBoundary = int(0x10000 - (address & 0xFFFF));
            const int take = qMin(qMin(recordSize, segment.data.size() - done), toBoundary);
            records.append(record(quint16(address & 0xFFFF), 0, segment.data.mid(done, take)));
            done += take;
        }
    }
    records.append(record(0, 1, {}));
    return text(records, lineEnd);
}
