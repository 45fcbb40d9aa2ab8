#include "tests/support/sim/SimCrc16.h"

namespace sim {

quint16 crc16(const char* data, qsizetype length)
{
    quint16 crc = 0;
    for (qsizetype i = 0; i < length; ++i) {
        crc ^= quint16(quint8(data[i])) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

quint16 crc16(const QByteArray& data)
{
    return crc16(data.constData(), data.size());
}

} // namespace sim
