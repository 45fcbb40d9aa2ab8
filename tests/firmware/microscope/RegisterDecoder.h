#pragma once

#include "tests/support/sim/SimRegisterCrc.h"

#include <QByteArray>
#include <QtGlobal>

// The driver's reading of a register frame, written here from the frame
// layout alone: '#', 0x07 (write) or 0x08 (read), length, big-endian
// address, data, CRC-8 over everything between '#' and the CRC, CR.
struct DecodedRegister
{
    bool valid = false;
    bool write = false;
    quint32 address = 0;
    QByteArray data;
};

inline DecodedRegister decodeRegister(const QByteArray& frame)
{
    DecodedRegister d;
    if (frame.size() < 9 || frame.at(0) != '#' || frame.at(frame.size() - 1) != '\r')
        return d;
    if (quint8(frame.at(frame.size() - 2)) != sim::registerCrc(frame.mid(1, frame.size() - 3)))
        return d;
    d.address = quint32(quint8(frame.at(3))) << 24 | quint32(quint8(frame.at(4))) << 16
                | quint32(quint8(frame.at(5))) << 8 | quint32(quint8(frame.at(6)));
    if (frame.at(1) == 0x08) {
        d.valid = frame.size() == 9 && frame.at(2) == 0x10;
        return d;
    }
    if (frame.at(1) != 0x07 || quint8(frame.at(2)) != frame.size() - 5)
        return d;
    d.write = true;
    d.data = frame.mid(7, frame.size() - 9);
    d.valid = true;
    return d;
}
