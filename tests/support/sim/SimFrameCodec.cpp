#include "tests/support/sim/SimFrameCodec.h"

#include "tests/support/sim/SimCrc16.h"

namespace sim {

namespace {
constexpr char Soh = 0x01;
constexpr char Eot = 0x04;
constexpr char Dle = 0x10;
} // namespace

QList<FrameParser::Frame> FrameParser::feed(const QByteArray& bytes)
{
    QList<Frame> frames;
    for (const char byte : bytes) {
        switch (m_state) {
        case State::Idle:
            if (byte == Soh) {
                m_content.clear();
                m_state = State::InFrame;
            }
            break;
        case State::Escaped:
            m_content.append(byte);
            m_state = State::InFrame;
            break;
        case State::InFrame:
            if (byte == Soh) {
                m_content.clear();
            } else if (byte == Dle) {
                m_state = State::Escaped;
            } else if (byte == Eot) {
                Frame frame;
                if (m_content.size() >= 3) {
                    frame.payload = m_content.left(m_content.size() - 2);
                    const quint16 sent = quint16(quint8(m_content.at(m_content.size() - 2)))
                                         | quint16(quint8(m_content.at(m_content.size() - 1)) << 8);
                    frame.crcOk = sent == crc16(frame.payload);
                }
                frames.append(frame);
                m_content.clear();
                m_state = State::Idle;
            } else {
                m_content.append(byte);
            }
            break;
        }
    }
    return frames;
}

void FrameParser::reset()
{
    m_state = State::Idle;
    m_content.clear();
}

QByteArray encodeFrame(const QByteArray& payload, int packetSize)
{
    QByteArray body = payload;
    const quint16 crc = crc16(payload);
    body.append(char(crc & 0xFF));
    body.append(char(crc >> 8));

    QByteArray frame(1, Soh);
    for (const char byte : body) {
        if (byte == Soh || byte == Eot || byte == Dle)
            frame.append(Dle);
        frame.append(byte);
    }
    frame.append(Eot);
    const int packets = int((frame.size() + packetSize - 1) / packetSize);
    frame.append(QByteArray(packets * packetSize - frame.size(), char(0xFF)));
    return frame;
}

} // namespace sim
