#include "tests/firmware/microscope/sim/SimUsb3Microscope.h"

#include "tests/support/sim/SimRegisterCrc.h"

namespace sim {

Usb3Microscope::Usb3Microscope()
    : Usb3Microscope(Versions())
{
}

Usb3Microscope::Usb3Microscope(const Versions& versions)
    : m_versions(versions)
{
}

QList<QByteArray> Usb3Microscope::receive(const QByteArray& frame)
{
    // '#', code (7 write, 8 read), count, address (4), data, CRC-8, CR.
    // The host's priming packets (its fill bytes) carry no frame.
    if (!frame.startsWith('#')) {
        ++m_ignored;
        return {};
    }
    // A read's third byte is the count it asks for, a write's its length.
    if (frame.size() < 9 || frame.at(0) != '#' || frame.at(frame.size() - 1) != '\r'
        || (frame.at(1) == 0x07 && quint8(frame.at(2)) != frame.size() - 5)
        || quint8(frame.at(frame.size() - 2)) != registerCrc(frame.mid(1, frame.size() - 3))) {
        ++m_rejected;
        return {};
    }
    const QByteArray address = frame.mid(3, 4);
    if (frame.at(1) == 0x08 && frame.size() == 9) {
        ++m_reads;
        if (address == QByteArray(4, '\0'))
            return { m_versions.driver };
        return {};
    }
    if (frame.at(1) != 0x07 || address != QByteArray::fromHex("00000600") || frame.size() < 12) {
        ++m_rejected;
        return {};
    }
    const QByteArray& c = m_versions.channel;
    const QByteArray& b = m_versions.bootloader;
    switch (frame.at(7)) {
    case 22: return { QByteArray("\x16\x00", 2) + c };
    case 23: return { QByteArray("\x17\x00", 2) + b.left(1) + QByteArray(1, '\0') + b.mid(1, 1) };
    case 71: return { QByteArray("O") };
    default: break;
    }
    const QByteArray reply = m_channel.receive(frame);
    if (reply.isEmpty())
        return {};
    return { reply };
}

} // namespace sim
