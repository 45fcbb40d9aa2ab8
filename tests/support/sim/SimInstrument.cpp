#include "tests/support/sim/SimInstrument.h"

#include "tests/support/sim/SimRecords.h"

#include <QMutexLocker>

namespace sim {

namespace {

constexpr int PacketSize = 64;
constexpr quint32 Pic32ProgramFlashAlias = 0x9D000000;
constexpr quint32 Pic32BootFlashAlias = 0x9FC00000;

enum BootCommand : quint8 {
    ReadBootInfo = 1,
    EraseFlash = 2,
    ProgramFlash = 3,
    ReadCrc = 4,
    JumpToApplication = 5
};
enum AppCommand : quint8 {
    AskBootloaderVersion = 1,
    ResetToBootloader = 6,
    AskFirmwareVersion = 7
};

QByteArray applicationReply(quint8 code, quint8 major, quint8 minor)
{
    QByteArray reply(PacketSize, char(0xFF));
    reply[0] = char(code);
    reply[1] = char(major);
    reply[2] = char(minor);
    return reply;
}

quint32 littleEndian32(const QByteArray& bytes, int at)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

} // namespace

InstrumentProfile hlx58Profile()
{
    InstrumentProfile p;
    p.family = QStringLiteral("HLX58");
    p.application = { 0x04D8, 0xF57E, 0x0001, QStringLiteral("HLX_58 Rotary Joint"), QStringLiteral("HLX58-0042") };
    p.bootloader = { 0x04D8, 0xF676, 0x0003, QStringLiteral("HLX_58 Bootloader"), QStringLiteral("HLX58-0042") };
    p.applicationCommands = { AskBootloaderVersion, 2, ResetToBootloader, AskFirmwareVersion };
    p.addressing = Addressing::Words;
    p.flashSize = 0x20000;
    p.blankPattern = QByteArray::fromHex("ffffff00");
    p.firmwareMajor = 2;
    p.firmwareMinor = 5;
    p.bootloaderMajor = 1;
    p.bootloaderMinor = 3;
    return p;
}

InstrumentProfile pic32BootloaderProfile()
{
    InstrumentProfile p;
    p.family = QStringLiteral("PIC32");
    p.hasApplication = false;
    p.bootloader = { 0x04D8, 0xF333, 0x0001, QStringLiteral("PIC32 Bootloader"), QStringLiteral("PIC32-0003") };
    p.addressing = Addressing::Pic32ProgramFlash;
    p.flashSize = 0x80000;
    p.blankPattern = QByteArray(1, char(0xFF));
    p.bootloaderMajor = 1;
    p.bootloaderMinor = 2;
    return p;
}

InstrumentProfile nxltv2Profile()
{
    InstrumentProfile p = pic32BootloaderProfile();
    p.family = QStringLiteral("NXLTV2");
    p.hasApplication = true;
    p.application = { 0x04D8, 0xF222, 0x0001, QStringLiteral("KZR410 Photometry Driver"),
                      QStringLiteral("KZR410-0007") };
    p.bootloader.serial = p.application.serial;
    p.applicationCommands = { ResetToBootloader, AskFirmwareVersion };
    p.firmwareMajor = 3;
    p.firmwareMinor = 1;
    return p;
}

Instrument::Instrument(const InstrumentProfile& profile)
    : m_profile(profile)
    , m_mode(profile.hasApplication ? Mode::Application : Mode::Bootloader)
    , m_flash(profile.flashSize, profile.blankPattern)
{
}

Instrument::Output Instrument::receive(const QByteArray& packet)
{
    QMutexLocker locker(&m_lock);
    return m_mode == Mode::Application ? runApplication(packet) : runBootloader(packet);
}

Instrument::Output Instrument::runApplication(const QByteArray& packet)
{
    Output out;
    // Application commands are one code, then 0x00; the open filler packet
    // (all zero) and anything else is not a command.
    if (packet.size() < 2 || packet.at(1) != 0x00)
        return out;
    const quint8 code = quint8(packet.at(0));
    if (!m_profile.applicationCommands.contains(code))
        return out;
    m_applicationCommands.append(code);
    switch (code) {
    case AskBootloaderVersion:
        out.replies.append(applicationReply(code, m_profile.bootloaderMajor, m_profile.bootloaderMinor));
        break;
    case AskFirmwareVersion:
        out.replies.append(applicationReply(code, m_profile.firmwareMajor, m_profile.firmwareMinor));
        break;
    case ResetToBootloader:
        enterBootloader();
        out.busAction = m_vanishAfterReset ? BusAction::Vanish : BusAction::Reenumerate;
        break;
    default: break;
    }
    return out;
}

void Instrument::enterBootloader()
{
    m_mode = Mode::Bootloader;
    m_parser.reset();
    m_upperAddress = 0;
}

Instrument::Output Instrument::runBootloader(const QByteArray& packet)
{
    Output out;
    const QList<FrameParser::Frame> frames = m_parser.feed(packet);
    for (const FrameParser::Frame& frame : frames) {
        // A damaged frame is not answered; the host sends it again.
        if (!frame.crcOk || frame.payload.isEmpty()) {
            ++m_badFrames;
            continue;
        }
        handleFrame(frame.payload, &out);
    }
    return out;
}

void Instrument::handleFrame(const QByteArray& payload, Output* out)
{
    const quint8 code = quint8(payload.at(0));
    m_bootloaderCommands.append(code);
    switch (code) {
    case ReadBootInfo:
        out->replies.append(encodeFrame(QByteArray::fromRawData("\x01", 1) + char(m_profile.bootloaderMajor)
                                        + char(m_profile.bootloaderMinor)));
        break;
    case EraseFlash:
        m_flash.erase();
        m_upperAddress = 0;
        ++m_eraseCount;
        out->replies.append(encodeFrame(QByteArray(1, char(EraseFlash))));
        break;
    case ProgramFlash: {
        ++m_programmingPackets;
        if (!programRecords(payload.mid(1))) {
            ++m_rejectedRecords;
            break;
        }
        const bool dropped = m_programmingPackets >= m_dropFirst && m_programmingPackets < m_dropFirst + m_dropCount;
        if (!dropped)
            out->replies.append(encodeFrame(QByteArray(1, char(ProgramFlash))));
        break;
    }
    case ReadCrc: {
        if (payload.size() < 9)
            break;
        CrcRequest request;
        request.start = littleEndian32(payload, 1);
        request.length = littleEndian32(payload, 5);
        request.offset = mapCrcStart(request.start);
        request.crc = m_flash.crc(request.offset, request.length);
        m_lastCrcRequest = request;
        m_hasCrcRequest = true;
        QByteArray reply(1, char(ReadCrc));
        reply.append(char(request.crc & 0xFF));
        reply.append(char(request.crc >> 8));
        out->replies.append(encodeFrame(reply));
        break;
    }
    case JumpToApplication:
        m_jumped = true;
        if (m_profile.hasApplication) {
            m_mode = Mode::Application;
            out->busAction = BusAction::Reenumerate;
        }
        break;
    default: break;
    }
}

bool Instrument::programRecords(const QByteArray& bytes)
{
    // Check every record of the packet before writing any of it.
    QList<Record> records;
    if (!parseRecords(bytes, &records))
        return false;

    for (const Record& record : qAsConst(records)) {
        switch (record.type) {
        case 0: {
            quint32 offset = 0;
            if (mapRecordAddress(m_upperAddress + record.address, &offset))
                m_flash.program(offset, record.data);
            break;
        }
        case 2:
            if (record.data.size() == 2)
                m_upperAddress = quint32((quint8(record.data.at(0)) << 8) | quint8(record.data.at(1))) << 4;
            break;
        case 4:
            if (record.data.size() == 2)
                m_upperAddress = quint32((quint8(record.data.at(0)) << 8) | quint8(record.data.at(1))) << 16;
            break;
        default: m_upperAddress = 0; break;
        }
    }
    return true;
}

bool Instrument::mapRecordAddress(quint32 address, quint32* offset) const
{
    if (m_profile.addressing == Addressing::Words) {
        *offset = address;
        return address < m_flash.size();
    }
    // The boot flash and configuration words are the bootloader's own.
    const quint32 alias = address | 0x80000000u;
    if (alias < Pic32ProgramFlashAlias || alias >= Pic32BootFlashAlias)
        return false;
    *offset = alias - Pic32ProgramFlashAlias;
    return *offset < m_flash.size();
}

quint32 Instrument::flashOffsetOfRecordAddress(quint32 address) const
{
    quint32 offset = 0;
    mapRecordAddress(address, &offset);
    return offset;
}

quint32 Instrument::mapCrcStart(quint32 start) const
{
    if (m_profile.addressing == Addressing::Words)
        return start * 2;
    return start - Pic32ProgramFlashAlias;
}

Instrument::Mode Instrument::mode() const
{
    QMutexLocker locker(&m_lock);
    return m_mode;
}

UsbIdentity Instrument::identity() const
{
    QMutexLocker locker(&m_lock);
    return m_mode == Mode::Application ? m_profile.application : m_profile.bootloader;
}

void Instrument::dropProgrammingAcks(int first, int count)
{
    QMutexLocker locker(&m_lock);
    m_dropFirst = first;
    m_dropCount = count;
}

void Instrument::setStuckFlashByte(quint32 offset, quint8 value)
{
    QMutexLocker locker(&m_lock);
    m_flash.setStuckByte(offset, value);
}

void Instrument::setVanishesAfterReset(bool vanish)
{
    QMutexLocker locker(&m_lock);
    m_vanishAfterReset = vanish;
}

QByteArray Instrument::flashBytes() const
{
    QMutexLocker locker(&m_lock);
    return m_flash.bytes();
}

QByteArray Instrument::blankFlash() const
{
    QMutexLocker locker(&m_lock);
    return m_flash.blankImage();
}

int Instrument::programmingPackets() const
{
    QMutexLocker locker(&m_lock);
    return m_programmingPackets;
}

int Instrument::eraseCount() const
{
    QMutexLocker locker(&m_lock);
    return m_eraseCount;
}

int Instrument::badFrames() const
{
    QMutexLocker locker(&m_lock);
    return m_badFrames;
}

int Instrument::rejectedRecords() const
{
    QMutexLocker locker(&m_lock);
    return m_rejectedRecords;
}

bool Instrument::jumped() const
{
    QMutexLocker locker(&m_lock);
    return m_jumped;
}

bool Instrument::hasCrcRequest() const
{
    QMutexLocker locker(&m_lock);
    return m_hasCrcRequest;
}

Instrument::CrcRequest Instrument::lastCrcRequest() const
{
    QMutexLocker locker(&m_lock);
    return m_lastCrcRequest;
}

QList<quint8> Instrument::bootloaderCommands() const
{
    QMutexLocker locker(&m_lock);
    return m_bootloaderCommands;
}

QList<quint8> Instrument::applicationCommands() const
{
    QMutexLocker locker(&m_lock);
    return m_applicationCommands;
}

} // namespace sim
