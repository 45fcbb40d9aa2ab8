#pragma once

#include <QByteArray>
#include <QList>

namespace sim {

// A simulated FPGA board in its bootloader: the console's channel board, or
// the one- or two-colour microscope driver. It reads growing frames with a
// parser of its own, checks their CRC and programs a flash of 64 KiB
// sectors that programming can only clear; an erase sets a sector to 0xFF.
class FpgaBoard
{
public:
    enum class Kind {
        ConsoleChannel,
        OneColorMicroscope,
        TwoColorMicroscope,
    };

    static constexpr int SectorSize = 0x10000;

    FpgaBoard(Kind kind, int sectors);

    // The bytes the program sent; the replies the board sends back.
    QList<QByteArray> receive(const QByteArray& bytes);

    // Faults.
    void setEraseAlwaysFails(bool fails) { m_eraseFails = fails; }
    // The acknowledgement of programming packet n (from 1) is lost once.
    void loseAcknowledgement(int packet) { m_loseAck = packet; }
    // After n programming packets the board answers nothing more.
    void stopAnsweringAfter(int packets) { m_stopAfter = packets; }
    // The reply to erase command n (from 1) is lost once.
    void loseEraseReply(int erase) { m_loseErase = erase; }
    // From its first erase on, the board answers nothing more.
    void stopAnsweringAtErase() { m_silentAtErase = true; }
    void setStuckByte(quint32 offset, quint8 value);

    QByteArray flash() const { return m_flash; }
    int programmingPackets() const { return m_packets; }
    int erases() const { return m_erases; }
    int badFrames() const { return m_badFrames; }
    bool jumped() const { return m_jumped; }
    // Start and length of the last CRC request, the range the program reports.
    quint32 crcStart() const { return m_crcStart; }
    quint32 crcLength() const { return m_crcLength; }

private:
    QList<QByteArray> handle(const QByteArray& payload);
    bool program(const QByteArray& records);

    Kind m_kind;
    QByteArray m_flash;
    QByteArray m_frame;
    bool m_inFrame = false;
    bool m_escaped = false;
    quint32 m_upper = 0;
    bool m_eraseFails = false;
    int m_loseAck = 0;
    int m_stopAfter = -1;
    int m_loseErase = 0;
    bool m_silentAtErase = false;
    quint32 m_crcStart = 0;
    quint32 m_crcLength = 0;
    qint64 m_stuckOffset = -1;
    quint8 m_stuckValue = 0;
    int m_packets = 0;
    int m_erases = 0;
    int m_badFrames = 0;
    bool m_jumped = false;
    bool m_silent = false;
};

} // namespace sim
