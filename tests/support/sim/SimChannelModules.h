#pragma once

#include "tests/support/sim/SimFlash.h"

#include <QByteArray>
#include <QList>

namespace sim {

// The channel modules behind a motherboard. They run their firmware until
// told to enter their bootloader; from then on they take the channel
// commands (the bootloader codes plus 22) that the motherboard passes on,
// all modules at once, each over its own flash.
class ChannelModules
{
public:
    ChannelModules(int count, quint32 flashSize);

    // One decoded channel frame (code first, no CRC); the reply payloads
    // (code first) the modules send back.
    QList<QByteArray> handleFrame(const QByteArray& payload);
    // The motherboard's own shortcuts: enter the bootloader, erase.
    void enterBootloader();
    QList<QByteArray> erase();

    // Faults.
    void setStuckByte(int module, quint32 offset, quint8 value);
    // Every programming packet is acknowledged twice, as modules with
    // miswired pins do.
    void setDoubleAcknowledge(bool twice);
    // The acknowledgements of programming packets first..first+count-1
    // (counted from 1) are lost; the packets are still programmed.
    void dropAcknowledgements(int first, int count);

    int count() const { return m_flash.size(); }
    QByteArray flashBytes(int module) const;
    bool inBootloader() const { return m_bootloader; }
    bool jumped() const { return m_jumped; }
    int eraseCount() const { return m_eraseCount; }
    int programmingPackets() const { return m_packets; }
    int rejectedRecords() const { return m_rejected; }

private:
    bool program(const QByteArray& records);

    QList<Flash> m_flash;
    bool m_bootloader = false;
    bool m_jumped = false;
    bool m_doubleAck = false;
    int m_dropFirst = 0;
    int m_dropCount = 0;
    int m_eraseCount = 0;
    int m_packets = 0;
    int m_rejected = 0;
    quint32 m_upper = 0;
};

} // namespace sim
