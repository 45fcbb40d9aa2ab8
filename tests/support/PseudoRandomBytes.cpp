#include "tests/support/PseudoRandomBytes.h"

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
