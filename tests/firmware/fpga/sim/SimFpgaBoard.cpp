#include "tests/firmware/fpga/sim/SimFpgaBoard.h"

namespace sim {

namespace {

// CRC-16, polynomial 0x1021, initial value 0, table-free.
quint16 crc16(const char* data, qsizetype size)
{
    quint16 crc = 0;
    for (qsizetype i = 0; i < size; ++i) {
        crc ^= quint16(quint8(data[i])) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

quint32 le32(const QByteArray& b, int at)
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | quint8(b.at(at + i));
    return v;
}

} // namespace

FpgaBoard::FpgaBoard(Kind kind, int sectors)
    : m_kind(kind)
    , m_flash(sectors * SectorSize, char(0x5A)) // old firmware
{
}

void FpgaBoard::setStuckByte(quint32 offset, quint8 value)
{
    m_stuckOffset = offset;
    m_stuckValue = value;
}

QList<QByteArray> FpgaBoard::receive(const QByteArray& bytes)
{
    QList<QByteArray> replies;
    for (char c : bytes) {
        if (!m_inFrame) {
            if (c == 0x01) {
                m_inFrame = true;
                m_escaped = false;
                m_frame.clear();
            }
            continue;
        }
        if (m_escaped) {
            m_frame.append(c);
            m_escaped = false;
        } else if (c == 0x10) {
            m_escaped = true;
        } else if (c == 0x04) {
            m_inFrame = false;
            if (m_frame.size() < 3) {
                ++m_badFrames;
                continue;
            }
            const qsizetype n = m_frame.size() - 2;
            const quint16 stored = quint16(quint8(m_frame.at(n)) | (quint8(m_frame.at(n + 1)) << 8));
            if (crc16(m_frame.constData(), n) != stored) {
                ++m_badFrames;
                continue;
            }
            replies += handle(m_frame.left(n));
        } else if (c == 0x01) {
            // An unescaped SOH starts over.
            m_frame.clear();
        } else {
            m_frame.append(c);
        }
    }
    return m_silent ? QList<QByteArray>() : replies;
}

QList<QByteArray> FpgaBoard::handle(const QByteArray& p)
{
    if (m_silent)
        return {};
    switch (p.at(0)) {
    case 1: return { QByteArray("\x01\x02\x07", 3) };
    case 2: {
        ++m_erases;
        if (m_silentAtErase) {
            m_silent = true;
            return {};
        }
        QByteArray reply("\x02\x00", 2);
        if (m_kind == Kind::OneColorMicroscope) {
            m_flash.fill(char(0xFF));
            reply = QByteArray(1, 2);
        } else if (m_eraseFails) {
            reply = QByteArray("\x02\x01", 2);
        } else {
            const int sector = p.size() > 1 ? quint8(p.at(1)) : 0;
            if ((sector + 1) * SectorSize <= m_flash.size())
                m_flash.replace(sector * SectorSize, SectorSize, QByteArray(SectorSize, char(0xFF)));
        }
        if (m_erases == m_loseErase) {
            m_loseErase = 0;
            --m_erases; // the re-sent erase counts as this one
            return {};
        }
        return { reply };
    }
    case 3: {
        ++m_packets;
        if (!program(p.mid(1)))
            return {};
        if (m_stopAfter >= 0 && m_packets >= m_stopAfter) {
            m_silent = true;
            return {};
        }
        if (m_packets == m_loseAck) {
            m_loseAck = 0;
            --m_packets; // the re-sent packet counts as this one
            return {};
        }
        return { QByteArray(1, 3) };
    }
    case 4: {
        if (p.size() < 11)
            return {};
        const quint32 start = le32(p, 1);
        const quint32 length = le32(p, 5);
        m_crcStart = start;
        m_crcLength = length;
        quint16 crc = 0;
        if (qint64(start) + length <= m_flash.size())
            crc = crc16(m_flash.constData() + start, length);
        if (m_kind == Kind::OneColorMicroscope)
            return { QByteArray("\x04\x00", 2) }; // no CRC in its reply
        QByteArray reply(1, 4);
        reply.append(char(crc & 0xFF));
        reply.append(char(crc >> 8));
        return { reply };
    }
    case 5: m_jumped = true; return {};
    default: return {};
    }
}

bool FpgaBoard::program(const QByteArray& records)
{
    // The one-colour driver's records carry one more byte each.
    const int extra = m_kind == Kind::OneColorMicroscope ? 1 : 0;
    int i = 0;
    while (i < records.size()) {
        const int count = quint8(records.at(i));
        if (i + count + 5 + extra > records.size())
            return false;
        quint8 sum = 0;
        for (int k = 0; k < count + 5; ++k)
            sum += quint8(records.at(i + k));
        if (sum != 0)
            return false;
        const quint32 address = (quint32(quint8(records.at(i + 1))) << 8) | quint8(records.at(i + 2));
        const int type = quint8(records.at(i + 3));
        if (type == 4 && count == 2)
            m_upper = (quint32(quint8(records.at(i + 4))) << 24) | (quint32(quint8(records.at(i + 5))) << 16);
        if (type == 0) {
            for (int k = 0; k < count; ++k) {
                const qint64 offset = qint64(m_upper) + address + k;
                if (offset >= m_flash.size())
                    return false;
                quint8 value = quint8(records.at(i + 4 + k));
                if (offset == m_stuckOffset)
                    value = m_stuckValue;
                // Programming only clears bits.
                m_flash[offset] = char(quint8(m_flash.at(offset)) & value);
            }
        }
        i += count + 5 + extra;
    }
    return true;
}

} // namespace sim
