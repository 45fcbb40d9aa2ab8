#pragma once

#include "tests/support/sim/SimFlash.h"
#include "tests/support/sim/SimFrameCodec.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>

namespace sim {

// How the USB bus shows one face of an instrument.
struct UsbIdentity
{
    quint16 vendorId = 0x04D8;
    quint16 productId = 0;
    quint16 release = 0;
    QString product;
    QString serial;
};

// How the bootloader turns the addresses of the HEX records it is sent,
// and of the CRC request, into flash offsets.
enum class Addressing {
    // Word-addressed cores: a record's byte address is the flash offset and
    // the CRC request counts in words (two file bytes per address).
    Words,
    // PIC32: records carry physical addresses of the 0x1D000000 program
    // flash, the CRC request its cached alias at 0x9D000000.
    Pic32ProgramFlash,
};

struct InstrumentProfile
{
    QString family;
    bool hasApplication = true;
    UsbIdentity application;
    UsbIdentity bootloader;
    QSet<quint8> applicationCommands;
    Addressing addressing = Addressing::Words;
    quint32 flashSize = 0;
    QByteArray blankPattern;
    quint8 firmwareMajor = 0, firmwareMinor = 0;
    quint8 bootloaderMajor = 0, bootloaderMinor = 0;
};

// The rotary joint (word-addressed core, HEX files).
InstrumentProfile hlx58Profile();
// The photometry driver (PIC32 core, HEX32 files); its bootloader is the
// PIC32 bootloader below.
InstrumentProfile nxltv2Profile();
// A PIC32 bootloader with no application to run: product id 0xF333.
InstrumentProfile pic32BootloaderProfile();

// The protocol core of one simulated instrument: it runs its application
// (answers the version requests) until told to reset, then speaks the
// bootloader protocol over its own flash. It knows nothing of USB: the bus
// hands it each OUT packet and carries back its replies and bus actions.
class Instrument
{
public:
    enum class Mode {
        Application,
        Bootloader
    };
    enum class BusAction {
        None,
        Reenumerate,
        Vanish
    };

    struct Output
    {
        QList<QByteArray> replies;
        BusAction busAction = BusAction::None;
    };

    struct CrcRequest
    {
        quint32 start = 0;
        quint32 length = 0;
        quint32 offset = 0; // where the device computed it in its flash
        quint16 crc = 0;
    };

    explicit Instrument(const InstrumentProfile& profile);

    Output receive(const QByteArray& packet);

    Mode mode() const;
    UsbIdentity identity() const;
    InstrumentProfile profile() const { return m_profile; }

    // Faults.
    // The acknowledgements of programming packets first..first+count-1
    // (counted from 1, re-sends included) are not sent; the packets are
    // still programmed.
    void dropProgrammingAcks(int first, int count);
    void setStuckFlashByte(quint32 offset, quint8 value);
    // After its reset the instrument leaves the bus and never comes back.
    void setVanishesAfterReset(bool vanish);

    // What the test looks at.
    QByteArray flashBytes() const;
    QByteArray blankFlash() const;
    quint32 flashOffsetOfRecordAddress(quint32 address) const;
    int programmingPackets() const;
    int eraseCount() const;
    int badFrames() const;
    int rejectedRecords() const;
    bool jumped() const;
    bool hasCrcRequest() const;
    CrcRequest lastCrcRequest() const;
    QList<quint8> bootloaderCommands() const;
    QList<quint8> applicationCommands() const;

private:
    Output runApplication(const QByteArray& packet);
    Output runBootloader(const QByteArray& packet);
    void handleFrame(const QByteArray& payload, Output* out);
    bool programRecords(const QByteArray& bytes);
    bool mapRecordAddress(quint32 address, quint32* offset) const;
    quint32 mapCrcStart(quint32 start) const;
    void enterBootloader();

    mutable QMutex m_lock;
    InstrumentProfile m_profile;
    Mode m_mode;
    Flash m_flash;
    FrameParser m_parser;
    quint32 m_upperAddress = 0; // extended linear or segment base of the next data record
    bool m_vanishAfterReset = false;
    int m_dropFirst = 0;
    int m_dropCount = 0;
    int m_programmingPackets = 0;
    int m_eraseCount = 0;
    int m_badFrames = 0;
    int m_rejectedRecords = 0;
    bool m_jumped = false;
    bool m_hasCrcRequest = false;
    CrcRequest m_lastCrcRequest;
    QList<quint8> m_bootloaderCommands;
    QList<quint8> m_applicationCommands;
};

} // namespace sim
