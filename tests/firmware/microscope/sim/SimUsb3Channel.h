#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace sim {

// The channel behind a USB 3 microscope driver's register 0x600: it takes
// the driver's register writes (checked with its own CRC-8), programs the
// Intel-HEX records of code 25 into its flash and answers the CRC request
// with the CRC-16 of its own flash.
class Usb3Channel
{
public:
    static constexpr int FlashSize = 0x10000;

    Usb3Channel();

    // The answer to one register frame; empty when it gives none.
    QByteArray receive(const QByteArray& frame);

    void setEraseStatus(char status) { m_eraseStatus = status; }
    void setStuckByte(int address, char value);
    // Answers this many more frames, then none.
    void stopAnsweringAfter(int frames) { m_answersLeft = frames; }

    QByteArray flash() const { return m_flash; }
    bool jumped() const { return m_jumped; }
    int rejectedFrames() const { return m_rejected; }

private:
    bool program(const QByteArray& payload);

    QByteArray m_flash;
    char m_eraseStatus = 0;
    int m_stuckAddress = -1;
    char m_stuckValue = 0;
    int m_answersLeft = -1;
    bool m_jumped = false;
    int m_rejected = 0;
};

} // namespace sim
