#include "tests/support/sim/SimRegisterCrc.h"

namespace sim {

quint8 registerCrc(const QByteArray& bytes)
{
    quint8 crc = 0;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80) ? quint8((crc << 1) ^ 0x07) : quint8(crc << 1);
    }
    return crc;
}

} // namespace sim
