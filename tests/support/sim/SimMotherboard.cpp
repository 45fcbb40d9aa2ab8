#include "tests/support/sim/SimMotherboard.h"

#include "tests/support/sim/SimCrc16.h"

#include <QMutexLocker>

namespace sim {

namespace {

constexpr int PacketSize = 64;
constexpr char Soh = 0x01;
constexpr char Eot = 0x04;
constexpr char Dle = 0x10;

InstrumentProfile bootloaderOf(const MotherboardProfile& p)
{
    InstrumentProfile b;
    b.family = QStringLiteral("Motherboard");
    b.application = p.application;
    b.bootloader = p.bootloader;
    b.applicationCommands = { 6 };
    b.addressing = Addressing::Words;
    b.flashSize = p.flashSize;
    b.blankPattern = QByteArray::fromHex("ffffff00");
    b.bootloaderMajor = p.bootloaderVersion[0];
    b.bootloaderMinor = p.bootloaderVersion[1];
    return b;
}

MotherboardProfile motherboard(const QString& product, quint16 release, const QString& text)
{
    MotherboardProfile p;
    p.application = { 0x04D8, 0xF57E, release, product, text };
    // The first digit of the product id stays: that is how the updater
    // finds the bootloader again.
    p.bootloader = { 0x04D8, 0xF676, 0x0003, QStringLiteral("Movra Bootloader"), QStringLiteral("MB-BOOT") };
    p.firmware[0] = 3;
    p.firmware[1] = 1;
    p.firmware[2] = 0;
    p.channel[0] = 4;
    p.channel[1] = 1;
    p.channel[2] = 0;
    p.bootloaderVersion[0] = 1;
    p.bootloaderVersion[1] = 3;
    p.channels = 2;
    return p;
}

} // namespace

MotherboardProfile lightSourceMotherboard(quint8 firmwareMajor, bool driverM)
{
    MotherboardProfile p = driverM ? motherboard(QStringLiteral("Optogenetics System"), 1, QStringLiteral("DriverM-2"))
                                   : motherboard(QStringLiteral("LightSource Driver"), 1, QStringLiteral("LS-0042"));
    p.driverM = driverM;
    p.firmware[0] = firmwareMajor;
    return p;
}

MotherboardProfile consoleMotherboard(quint8 c2)
{
    MotherboardProfile p = motherboard(QStringLiteral("Acquisition Console"), 4, QStringLiteral("AC-0007"));
    p.channel[0] = 2;
    p.channel[1] = c2;
    return p;
}

MotherboardProfile kavorDriver()
{
    MotherboardProfile p = motherboard(QStringLiteral("KAVOR Driver"), 11, QStringLiteral("KV-0003"));
    p.firmware[0] = 2;
    p.channels = 1;
    return p;
}

MotherboardProfile memoryManager()
{
    MotherboardProfile p = motherboard(QStringLiteral("Memory Manager"), 7, QStringLiteral("MM-0009"));
    p.firmware[0] = 2;
    p.channels = 1;
    return p;
}

MotherboardProfile pulseGenerator(quint16 release, const QString& text)
{
    MotherboardProfile p = motherboard(QStringLiteral("HKTR Pulse Generator"), release, text);
    p.bootloader = { 0x04D8, 0xF677, 0x0003, QStringLiteral("HKTR Bootloader"), QStringLiteral("PG-BOOT") };
    p.pulseGenerator = true;
    p.firmware[0] = 1;
    p.firmware[1] = 4;
    p.channels = 0;
    return p;
}

Motherboard::Motherboard(const MotherboardProfile& profile)
    : m_profile(profile)
    , m_bootloader(bootloaderOf(profile))
    , m_channels(profile.channels, 0x8000)
{
}

Instrument::Output Motherboard::receive(const QByteArray& packet)
{
    QMutexLocker locker(&m_lock);
    if (m_mode == Instrument::Mode::Application)
        return runApplication(packet);
    Instrument::Output out = m_bootloader.receive(packet);
    if (out.busAction == Instrument::BusAction::Reenumerate) {
        m_mode = Instrument::Mode::Application;
        m_prepared = false;
    }
    return out;
}

QByteArray Motherboard::reply(const QByteArray& bytes) const
{
    return bytes + QByteArray(PacketSize - bytes.size(), char(0xFF));
}

void Motherboard::relay(const QList<QByteArray>& replies, Instrument::Output* out) const
{
    for (const QByteArray& payload : replies) {
        const quint16 crc = crc16(payload);
        QByteArray frame;
        if (m_profile.driverM)
            frame.append(Soh);
        frame.append(payload.at(0));
        const QByteArray rest = payload.mid(1) + char(crc & 0xFF) + char(crc >> 8);
        for (const char c : rest) {
            if (c == Soh || c == Eot || c == Dle)
                frame.append(Dle);
            frame.append(c);
        }
        frame.append(Eot);
        out->replies.append(reply(frame));
    }
}

Instrument::Output Motherboard::runApplication(const QByteArray& packet)
{
    Instrument::Output out;
    if (packet.size() < 3)
        return out;
    // Channel frames: plain ones (SOH first) on the newer relay, the others
    // behind their code and 0x00.
    const bool plainFrame = m_profile.driverM && packet.at(0) == Soh;
    const bool prefixedFrame = !m_profile.driverM && packet.at(1) == 0x00 && packet.at(2) == Soh;
    if ((plainFrame || prefixedFrame) && m_profile.channels > 0) {
        for (const FrameParser::Frame& frame : m_channelParser.feed(packet.mid(prefixedFrame ? 2 : 0))) {
            if (frame.crcOk && !frame.payload.isEmpty())
                relay(m_channels.handleFrame(frame.payload), &out);
        }
        return out;
    }
    if (packet.at(1) != 0x00)
        return out;
    const quint8 code = quint8(packet.at(0));
    m_applicationCommands.append(code);
    const MotherboardProfile& p = m_profile;
    const auto bytes = [](std::initializer_list<quint8> list) {
        QByteArray b;
        for (quint8 v : list)
            b.append(char(v));
        return b;
    };
    switch (code) {
    case 1: out.replies.append(reply(bytes({ 1, p.bootloaderVersion[0], p.bootloaderVersion[1] }))); break;
    case 7:
        if (p.pulseGenerator)
            out.replies.append(reply(bytes({ 7, 0, p.firmware[0], p.firmware[1] })));
        else
            out.replies.append(reply(bytes({ 7, 0, p.firmware[0], p.firmware[1], p.firmware[2] })));
        break;
    case 21:
        if (p.pulseGenerator)
            out.replies.append(reply(bytes({ 21, 0, p.firmware[0], p.firmware[1] })));
        else
            out.replies.append(
                reply(bytes({ 21, quint8(p.channels), 0, p.firmware[0], p.firmware[1], p.firmware[2] })));
        break;
    case 22:
    case 73:
        if (!p.pulseGenerator)
            out.replies.append(reply(bytes({ code, 0, p.channel[0], p.channel[1], p.channel[2] })));
        break;
    case 28:
        if (p.channels > 0)
            m_channels.enterBootloader();
        break;
    case 24: relay(m_channels.erase(), &out); break;
    case 112:
        // Only the unlock key of the motherboards is taken.
        m_prepared = p.pulseGenerator || packet.mid(2, 4) == QByteArray::fromHex("75bb75bb");
        break;
    case 2:
    case 6: {
        // A reset without the preparing command, or a blank-bootloader
        // reset without its key on a motherboard, is not taken.
        if (!m_prepared)
            break;
        if (code == 2 && !p.pulseGenerator && packet.mid(2, 2) != QByteArray::fromHex("aabb"))
            break;
        ++m_resets;
        m_bootloader.receive(reply(QByteArray::fromHex("0600")));
        m_mode = Instrument::Mode::Bootloader;
        out.busAction = m_vanish ? Instrument::BusAction::Vanish : Instrument::BusAction::Reenumerate;
        break;
    }
    default: break;
    }
    return out;
}

Instrument::Mode Motherboard::mode() const
{
    QMutexLocker locker(&m_lock);
    return m_mode;
}

UsbIdentity Motherboard::identity() const
{
    QMutexLocker locker(&m_lock);
    return m_mode == Instrument::Mode::Application ? m_profile.application : m_profile.bootloader;
}

void Motherboard::setVanishesAfterReset(bool vanish)
{
    QMutexLocker locker(&m_lock);
    m_vanish = vanish;
}

void Motherboard::withChannels(const std::function<void(ChannelModules&)>& f)
{
    QMutexLocker locker(&m_lock);
    f(m_channels);
}

QByteArray Motherboard::channelFlash(int module) const
{
    QMutexLocker locker(&m_lock);
    return m_channels.flashBytes(module);
}

QByteArray Motherboard::flashBytes() const
{
    QMutexLocker locker(&m_lock);
    return m_bootloader.flashBytes();
}

bool Motherboard::motherboardJumped() const
{
    QMutexLocker locker(&m_lock);
    return m_bootloader.jumped();
}

int Motherboard::resets() const
{
    QMutexLocker locker(&m_lock);
    return m_resets;
}

QList<quint8> Motherboard::applicationCommands() const
{
    QMutexLocker locker(&m_lock);
    return m_applicationCommands;
}

} // namespace sim
