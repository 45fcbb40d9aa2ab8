#include "firmware/core/RegisterFrame.h"

namespace RegisterFrame {

void fillCrc8Table(quint8* table)
{
    for (int i = 0; i < 256; ++i) {
        quint8 crc = quint8(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = quint8((crc & 0x80) ? (crc << 1) ^ 0x07 : crc << 1);
        table[i] = crc;
    }
}

quint8 crc8(const quint8* table, const char* data, int length)
{
    quint8 crc = 0;
    for (int i = 0; i < length; ++i)
        crc = table[crc ^ quint8(data[i])];
    return crc;
}

QByteArray finish(const QByteArray& body, quint8* table)
{
    fillCrc8Table(table);
    QByteArray frame = body;
    const quint8 crc = body.size() > 1 ? crc8(table, body.constData() + 1, int(body.size()) - 1) : 0;
    frame.append(char(crc));
    frame.append(End);
    return frame;
}

} // namespace RegisterFrame
