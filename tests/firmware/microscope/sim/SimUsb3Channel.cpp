#include "tests/firmware/microscope/sim/SimUsb3Channel.h"

#include "tests/support/sim/SimCrc16.h"
#include "tests/support/sim/SimFields.h"
#include "tests/support/sim/SimRecords.h"
#include "tests/support/sim/SimRegisterCrc.h"

namespace sim {

Usb3Channel::Usb3Channel()
    : m_flash(FlashSize, char(0x3C)) // old firmware
{
}

void Usb3Channel::setStuckByte(int address, char value)
{
    m_stuckAddress = address;
    m_stuckValue = value;
}

bool Usb3Channel::program(const QByteArray& payload)
{
    // 25, 0, f, n, n record bytes, zeros: f + 3 bytes in all.
    if (payload.size() < 4 || payload.size() != quint8(payload.at(2)) + 3)
        return false;
    const int n = quint8(payload.at(3));
    if (4 + n > payload.size())
        return false;
    QList<Record> records;
    if (!parseRecords(payload.mid(4, n), &records))
        return false;
    for (const Record& record : qAsConst(records)) {
        if (record.type != 0)
            continue;
        for (int i = 0; i < record.data.size() && record.address + i < m_flash.size(); ++i)
            m_flash[record.address + i] = record.address + i == m_stuckAddress ? m_stuckValue : record.data.at(i);
    }
    return true;
}

QByteArray Usb3Channel::receive(const QByteArray& frame)
{
    // '#', 0x07, length, address (4), data, CRC-8, CR.
    if (frame.size() < 9 || frame.at(0) != '#' || frame.at(1) != 0x07 || frame.at(frame.size() - 1) != '\r'
        || quint8(frame.at(2)) != frame.size() - 5
        || quint8(frame.at(frame.size() - 2)) != registerCrc(frame.mid(1, frame.size() - 3))
        || frame.mid(3, 4) != QByteArray::fromHex("00000600")) {
        ++m_rejected;
        return {};
    }
    const QByteArray payload = frame.mid(7, frame.size() - 9);
    if (payload.size() < 3) {
        ++m_rejected;
        return {};
    }
    if (m_answersLeft == 0)
        return {};
    if (m_answersLeft > 0)
        --m_answersLeft;
    switch (payload.at(0)) {
    case 24:
        if (m_eraseStatus == 0)
            m_flash.fill(char(0xFF));
        return QByteArray("\x18\x00", 2) + QByteArray(1, m_eraseStatus);
    case 25:
        if (!program(payload)) {
            ++m_rejected;
            return {};
        }
        return QByteArray("\x19\x00", 2);
    case 26: {
        if (payload.size() != 11)
            return {};
        // Its bootloader counts addresses in words of two file bytes; the
        // length is in bytes.
        const quint32 start = littleEndian32(payload, 3) * 2;
        const quint32 length = littleEndian32(payload, 7);
        quint16 crc = 0;
        if (qint64(start) + length <= m_flash.size())
            crc = crc16(m_flash.constData() + start, length);
        return QByteArray("\x1A\x00", 2) + QByteArray(1, char(crc & 0xFF)) + QByteArray(1, char(crc >> 8));
    }
    case 27: m_jumped = true; return {};
    default: return {};
    }
}

} // namespace sim
