#include "tests/support/sim/SimChannelModules.h"

#include "tests/support/sim/SimRecords.h"

namespace sim {

namespace {
enum ChannelCode : quint8 {
    ReadBootInfo = 23,
    Erase = 24,
    Program = 25,
    ReadCrc = 26,
    Jump = 27,
    EnterBootloader = 28
};

quint32 littleEndian32(const QByteArray& bytes, int at)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}
} // namespace

ChannelModules::ChannelModules(int count, quint32 flashSize)
{
    for (int i = 0; i < count; ++i)
        m_flash.append(Flash(flashSize, QByteArray::fromHex("ffffff00")));
}

void ChannelModules::enterBootloader()
{
    m_bootloader = true;
    m_jumped = false;
}

QList<QByteArray> ChannelModules::erase()
{
    if (!m_bootloader)
        return {};
    for (Flash& flash : m_flash)
        flash.erase();
    m_upper = 0;
    ++m_eraseCount;
    return { QByteArray(1, char(Erase)) };
}

QList<QByteArray> ChannelModules::handleFrame(const QByteArray& payload)
{
    const quint8 code = quint8(payload.at(0));
    if (code == EnterBootloader) {
        enterBootloader();
        return {};
    }
    if (!m_bootloader)
        return {};
    switch (code) {
    case ReadBootInfo: return { QByteArray::fromHex("170102") };
    case Erase: return erase();
    case Program: {
        ++m_packets;
        if (!program(payload.mid(1))) {
            ++m_rejected;
            return {};
        }
        if (m_packets >= m_dropFirst && m_packets < m_dropFirst + m_dropCount)
            return {};
        QList<QByteArray> acks { QByteArray(1, char(Program)) };
        if (m_doubleAck)
            acks.append(QByteArray(1, char(Program)));
        return acks;
    }
    case ReadCrc: {
        if (payload.size() < 9)
            return {};
        // Counted in words, like the motherboard's own bootloader.
        const quint32 offset = littleEndian32(payload, 1) * 2;
        const quint32 length = littleEndian32(payload, 5);
        // A module that differs from the first one shows in the answer.
        quint16 crc = m_flash.first().crc(offset, length);
        for (const Flash& flash : qAsConst(m_flash)) {
            if (flash.crc(offset, length) != crc) {
                crc = flash.crc(offset, length);
                break;
            }
        }
        return { QByteArray(1, char(ReadCrc)) + char(crc & 0xFF) + char(crc >> 8) };
    }
    case Jump:
        m_bootloader = false;
        m_jumped = true;
        return {};
    default: return {};
    }
}

bool ChannelModules::program(const QByteArray& bytes)
{
    QList<Record> records;
    if (!parseRecords(bytes, &records))
        return false;
    for (const Record& record : qAsConst(records)) {
        if (record.type == 0) {
            for (Flash& flash : m_flash)
                flash.program(m_upper + record.address, record.data);
        } else if (record.type == 4 && record.data.size() == 2) {
            m_upper = quint32((quint8(record.data.at(0)) << 8) | quint8(record.data.at(1))) << 16;
        }
    }
    return true;
}

void ChannelModules::setStuckByte(int module, quint32 offset, quint8 value)
{
    m_flash[module].setStuckByte(offset, value);
}

void ChannelModules::setDoubleAcknowledge(bool twice)
{
    m_doubleAck = twice;
}

void ChannelModules::dropAcknowledgements(int first, int count)
{
    m_dropFirst = first;
    m_dropCount = count;
}

QByteArray ChannelModules::flashBytes(int module) const
{
    return m_flash.at(module).bytes();
}

} // namespace sim
