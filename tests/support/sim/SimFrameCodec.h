#pragma once

#include <QByteArray>
#include <QList>

namespace sim {

// The instruments' side of the bootloader framing: SOH, the payload and its
// CRC-16 (low byte first) with 0x01, 0x04 and 0x10 escaped by DLE, EOT.
class FrameParser
{
public:
    struct Frame
    {
        QByteArray payload; // without its CRC
        bool crcOk = false;
    };

    // Bytes arrive in USB packets; a frame may span several of them and
    // whatever lies outside a frame (fillers, padding) is skipped.
    QList<Frame> feed(const QByteArray& bytes);
    void reset();

private:
    enum class State {
        Idle,
        InFrame,
        Escaped
    };

    State m_state = State::Idle;
    QByteArray m_content;
};

// A reply frame, padded with 0xFF to a whole number of packets.
QByteArray encodeFrame(const QByteArray& payload, int packetSize = 64);

} // namespace sim
