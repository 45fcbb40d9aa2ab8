#include "tests/firmware/microscope/sim/SimEthernetMicroscope.h"

#include "tests/support/sim/SimRegisterCrc.h"

namespace sim {

namespace {

constexpr char FrameStart = 0x23;
constexpr char FrameEnd = 0x0D;
constexpr char ReadRequest = 0x08;
constexpr char WideRead = 0x10;
// '#', request, width, four address bytes, CRC, CR.
constexpr int ReadFrameSize = 9;

} // namespace

void EthernetMicroscope::setVersion(quint8 major, quint8 minor)
{
    m_major = major;
    m_minor = minor;
}

QByteArray EthernetMicroscope::versionDatagram() const
{
    QByteArray d(VersionDatagramSize, '\0');
    d[0] = char(m_major);
    d[1] = char(m_minor);
    // The rest is the driver's status block; the program does not read it.
    for (int i = 2; i < VersionDatagramSize; ++i)
        d[i] = char(0xA0 + i);
    return d;
}

QList<QByteArray> EthernetMicroscope::receive(const QByteArray& datagram)
{
    if (datagram.size() != ReadFrameSize || datagram.at(0) != FrameStart
        || datagram.at(ReadFrameSize - 1) != FrameEnd) {
        ++m_rejected;
        return {};
    }
    if (quint8(datagram.at(ReadFrameSize - 2)) != registerCrc(datagram.mid(1, ReadFrameSize - 3))) {
        ++m_rejected;
        return {};
    }
    const bool versionRead =
        datagram.at(1) == ReadRequest && datagram.at(2) == WideRead && datagram.mid(3, 4) == QByteArray(4, '\0');
    if (!versionRead) {
        ++m_rejected;
        return {};
    }
    if (m_silent)
        return {};
    return { versionDatagram() };
}

} // namespace sim
