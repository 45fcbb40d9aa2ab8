#pragma once

#include "tests/support/sim/SimChannelModules.h"
#include "tests/support/sim/SimFrameCodec.h"
#include "tests/support/sim/SimInstrument.h"

#include <QByteArray>
#include <QList>
#include <QMutex>

#include <memory>

namespace sim {

struct MotherboardProfile
{
    UsbIdentity application;
    UsbIdentity bootloader;
    // A pulse generator: no channels, its versions in two bytes.
    bool pulseGenerator = false;
    // Relays the channels' frames whole, SOH first, and takes plain frames.
    bool driverM = false;
    quint8 firmware[3] = { 0, 0, 0 };
    quint8 channel[3] = { 0, 0, 0 };
    quint8 bootloaderVersion[2] = { 0, 0 };
    int channels = 0;
    quint32 flashSize = 0x8000;
};

// A light-source motherboard of the given firmware major (2 or 3) with two
// light-source channel modules; with "DriverM" in its text, the newer relay.
MotherboardProfile lightSourceMotherboard(quint8 firmwareMajor, bool driverM = false);
// A console motherboard whose channel bytes make it a photometry (c2 0) or
// electrophysiology (c2 3) console.
MotherboardProfile consoleMotherboard(quint8 c2);
MotherboardProfile kavorDriver();
MotherboardProfile memoryManager();
// A pulse generator of the given release (1 and 20 carry their versions in
// their text, which is given) .
MotherboardProfile pulseGenerator(quint16 release = 16, const QString& text = QStringLiteral("PG-0042"));

// The protocol core of a motherboard or pulse generator: its application
// answers the version questions and passes the channel commands on to its
// channel modules; on command 112 and a reset it becomes its bootloader,
// which programs its own flash, and comes back when told to jump.
class Motherboard
{
public:
    explicit Motherboard(const MotherboardProfile& profile);

    Instrument::Output receive(const QByteArray& packet);

    Instrument::Mode mode() const;
    UsbIdentity identity() const;
    MotherboardProfile profile() const { return m_profile; }

    // Faults and what the test looks at; the channel modules are reached
    // under the lock.
    void setVanishesAfterReset(bool vanish);
    void withChannels(const std::function<void(ChannelModules&)>& f);
    QByteArray channelFlash(int module) const;
    QByteArray flashBytes() const;
    bool motherboardJumped() const;
    int resets() const;
    QList<quint8> applicationCommands() const;

private:
    Instrument::Output runApplication(const QByteArray& packet);
    void relay(const QList<QByteArray>& replies, Instrument::Output* out) const;
    QByteArray reply(const QByteArray& bytes) const;

    mutable QMutex m_lock;
    MotherboardProfile m_profile;
    Instrument m_bootloader;
    ChannelModules m_channels;
    FrameParser m_channelParser;
    Instrument::Mode m_mode = Instrument::Mode::Application;
    bool m_prepared = false;
    bool m_vanish = false;
    int m_resets = 0;
    QList<quint8> m_applicationCommands;
};

} // namespace sim
