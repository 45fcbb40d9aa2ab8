#include "tests/firmware/fx3/sim/SimFx3Bridge.h"

#include "tests/support/sim/SimCrc16.h"
#include "tests/support/sim/SimFields.h"
#include "tests/support/sim/SimRecords.h"

namespace sim {

Fx3Bridge::Fx3Bridge(int sectors)
    : m_flash(sectors * SectorSize, char(0x5A))
{
}

void Fx3Bridge::failErases(char status, int times)
{
    m_eraseStatus = status;
    m_failingErases = times;
}

void Fx3Bridge::setStuckByte(int address, char value)
{
    m_stuckAddress = address;
    m_stuckValue = value;
}

bool Fx3Bridge::program(const QByteArray& bytes)
{
    QList<Record> records;
    if (!parseRecords(bytes, &records))
        return false;
    for (const Record& record : qAsConst(records)) {
        if (record.type == 4 && record.data.size() == 2) {
            m_upper = quint32(quint8(record.data.at(0)) << 8 | quint8(record.data.at(1))) << 16;
        } else if (record.type == 0) {
            const qint64 address = qint64(m_upper) + record.address;
            if (address + record.data.size() > m_flash.size())
                return false;
            for (int i = 0; i < record.data.size(); ++i) {
                const qint64 cell = address + i;
                m_flash[int(cell)] = cell == m_stuckAddress ? m_stuckValue : record.data.at(i);
            }
        }
    }
    m_recordsPerCommand.append(int(records.size()));
    return true;
}

QByteArray Fx3Bridge::control(const QByteArray& command)
{
    if (command.size() < 7 || m_answersLeft == 0)
        return {};
    if (m_answersLeft > 0)
        --m_answersLeft;
    const char request = command.at(0);
    const int index = quint8(command.at(3)) << 8 | quint8(command.at(4));
    const int returned = quint8(command.at(5)) << 8 | quint8(command.at(6));
    const QByteArray data = command.mid(7);
    QByteArray reply;
    switch (request) {
    case 1:
        if (data != QByteArray("\x01\xAB\x88\x55", 4))
            return {};
        reply = QByteArray("\x01\x03\x04", 3);
        break;
    case 2: {
        ++m_erases;
        char status = 0;
        if (m_failingErases > 0) {
            --m_failingErases;
            status = m_eraseStatus;
        } else if ((index + 1) * SectorSize <= m_flash.size()) {
            m_flash.replace(index * SectorSize, SectorSize, QByteArray(SectorSize, char(0xFF)));
        }
        reply = QByteArray(1, 2) + QByteArray(1, status);
        break;
    }
    case 3:
        ++m_programCommands;
        if (!program(data))
            return {};
        reply = QByteArray(1, 3);
        break;
    case 4: {
        if (data.size() != 13 || data.at(0) != 4)
            return {};
        const quint16 check = quint16(quint8(data.at(11)) | quint8(data.at(12)) << 8);
        if (crc16(data.constData(), 11) != check)
            return {};
        const quint32 start = littleEndian32(data, 1);
        const quint32 length = littleEndian32(data, 5);
        quint16 crc = 0;
        if (qint64(start) + length <= m_flash.size())
            crc = crc16(m_flash.constData() + start, length);
        reply = QByteArray(1, 4) + QByteArray(1, 0) + QByteArray(1, char(crc & 0xFF)) + QByteArray(1, char(crc >> 8));
        break;
    }
    case 5:
        m_jumped = true;
        reply = QByteArray(1, 5);
        break;
    default: return {};
    }
    reply.resize(qMax(returned, int(reply.size())), char(0xFF));
    return reply.left(returned);
}

} // namespace sim
