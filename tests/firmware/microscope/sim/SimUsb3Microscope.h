#pragma once

#include "tests/firmware/microscope/sim/SimUsb3Channel.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace sim {

// A third-generation microscope driver as its bulk endpoints see it: '#'
// register frames checked with its own CRC-8. The read of register 0 gives
// its version; the writes to 0x600 asking for the channel's versions are
// answered by the driver, every other write goes to its channel.
class Usb3Microscope
{
public:
    struct Versions
    {
        QByteArray driver = QByteArray("\x05\x02\x00\x00\x07", 5); // 5.2.7
        QByteArray channel = QByteArray("\x01\x04\x03", 3);        // 1.4.3
        QByteArray bootloader = QByteArray("\x02\x06", 2);         // 2.6
    };

    Usb3Microscope();
    explicit Usb3Microscope(const Versions& versions);

    // The replies to one frame.
    QList<QByteArray> receive(const QByteArray& frame);

    Usb3Channel& channel() { return m_channel; }
    int rejectedFrames() const { return m_rejected; }
    int registerReads() const { return m_reads; }
    int ignoredPackets() const { return m_ignored; }

private:
    Versions m_versions;
    Usb3Channel m_channel;
    int m_rejected = 0;
    int m_reads = 0;
    int m_ignored = 0;
};

} // namespace sim
