// Every communicator the family registry knows, fed arbitrary device
// replies. From the input: one device record (ids, release, name, comm type,
// firmware texts...), sometimes a second one whose replies arrive too, and a
// series of replies, and which of the registry's communicator classes gets
// them (every class can be named, so a family added later is fuzzed with no
// change here). That communicator is made twice: once idle, after
// askForInstalledVersion, and once mid-update, after updateFirmware with a
// small valid firmware file of the kind it reads (not the external
// programmers: their update runs a program); both get the same replies, and
// the timers fire where the input says, so that an update also fails and
// hears replies after its end.
//
// No event loop runs: a timer fires only where the input says. The timings
// are the tests' short ones (the device pauses do not block, two re-sends
// before giving up), and every object made for an input is gone before the
// next one. The seeds in corpus/firmware_communicators include the update
// fault table's runs (tests/firmware/updater/tst_updatefaults.cpp writes
// them when MOVRA_WRITE_FUZZ_SEEDS names a folder).
//
// Input, front to back (missing bytes read as 0):
//   flags: bit 0 a second device, bit 1 the update's device is found again
//          after its reset (onReconnectedToBootloaderReceived), bit 2 the
//          installed bootloader version reads "-1.-1", bits 3-7 the
//          communicator class: its place, modulo their number, among the
//          registry's classes in row order (each row's version query, then
//          its update; each class once)
//   device: vid u16, pid u16, release u8, comm type u8, driver type u8,
//           channel count u8, then name, serial number, uid, channel firmware
//           and motherboard firmware, each u8 length and bytes; the name's
//           bytes are preceded by a u8 mask of well-known name words
//   [second device, same layout]
//   replies: u8 header (bit 7: from the second device; bits 0-6: length),
//            then the bytes; at most MaxReplies. The header 0x80 alone
//            stands for the communicator's running timers firing instead.
#include "device/MovraDeviceInfo.h"
#include "firmware/core/AbstractFirmwareCommunicator.h"
#include "firmware/core/BlockingPause.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/updater/FirmwareFamilyRegistry.h"
#include "tests/firmware/updater/RegistryFactories.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/SmallFirmware.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

constexpr int MaxReplies = 64;
// The update fault table's re-send timing.
constexpr int RetryIntervalMs = 50;
constexpr int Retries = 2;

class ByteReader
{
public:
    ByteReader(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    quint8 u8() { return m_position < m_size ? m_data[m_position++] : 0; }
    quint16 u16()
    {
        const quint16 high = u8();
        return quint16((high << 8) | u8());
    }
    QByteArray bytes(size_t count)
    {
        const size_t available = m_position < m_size ? m_size - m_position : 0;
        const size_t taken = count < available ? count : available;
        QByteArray out(reinterpret_cast<const char*>(m_data + m_position), qsizetype(taken));
        m_position += taken;
        return out;
    }
    bool atEnd() const { return m_position >= m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
};

// Words the classification and the families look for in names.
const char* const NameWords[] = { "Bootloader", "Motor",  "Disk",         "HKTR",
                                  "NXLT",       "HLX_58", "KAVOR Driver", "Memory Manager" };

const CommType CommTypes[] = { CommType::None,   CommType::USB,    CommType::USB3,      CommType::Ethernet,
                               CommType::Camera, CommType::Serial, CommType::SlowCamera };

QSharedPointer<MovraDeviceInfo> readDevice(ByteReader& in)
{
    auto device = QSharedPointer<MovraDeviceInfo>::create();
    device->setVid(in.u16());
    device->setPid(in.u16());
    device->setReleaseNumber(in.u8());
    device->setCommType(CommTypes[in.u8() % (sizeof(CommTypes) / sizeof(CommTypes[0]))]);
    device->setDriverType(DriverType(in.u8()));
    device->setChannelCount(qint8(in.u8()));
    const quint8 words = in.u8();
    QString name;
    for (int i = 0; i < 8; ++i) {
        if (words & (1 << i))
            name += QLatin1String(NameWords[i]) + QLatin1Char(' ');
    }
    name += QString::fromLatin1(in.bytes(in.u8()));
    device->setName(name);
    device->setSerialNumber(QString::fromLatin1(in.bytes(in.u8())));
    device->setUid(QString::fromLatin1(in.bytes(in.u8())));
    device->setChannelFirmware(in.bytes(in.u8()));
    device->setMotherboardFirmware(in.bytes(in.u8()));
    return device;
}

struct Reply
{
    bool fromSecond;
    QByteArray bytes;
    bool timersFire() const { return fromSecond && bytes.isEmpty(); }
};

struct Fixture
{
    QCoreApplication* app = nullptr;
    QTemporaryDir folder;
    // One file per reader kind: HEX (addresses from 0), HEX32 (the 0x9D000000
    // window), MCS. Each communicator takes the first its reader accepts.
    QStringList files;
    std::map<FirmwareFamilyRegistry::Factory, int> fileOfFactory;
    // Each communicator class of the registry, in registryFactories()'s order.
    struct Subject
    {
        FirmwareFamilyRegistry::Factory factory;
        bool externalProgrammer;
    };
    QList<Subject> subjects;

    Fixture()
    {
        static int argc = 1;
        static char name[] = "fuzz_firmware_communicators";
        static char* argv[] = { name, nullptr };
        app = new QCoreApplication(argc, argv);
        // The communicators' log lines tell the fuzzer nothing.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        if (!folder.isValid())
            abort();
        files = SmallFirmware::writeAll(folder.path());
        if (files.isEmpty())
            abort();
        BlockingPause::limitForTests(0);
        for (const RegistryFactory& f : registryFactories())
            subjects.append({ f.factory, QLatin1String(f.family) == QLatin1String("programmer") });
    }

    // The file a factory's communicator accepts, found once, with a plain
    // device record; -1 for none.
    int fileFor(FirmwareFamilyRegistry::Factory factory)
    {
        const auto known = fileOfFactory.find(factory);
        if (known != fileOfFactory.end())
            return known->second;
        const auto device = DeviceRecordBuilder().build();
        int found = -1;
        for (int i = 0; i < files.size() && found < 0; ++i) {
            const std::unique_ptr<AbstractFirmwareCommunicator> c(factory());
            if (c->updateFirmware(files.at(i), device, {}))
                found = i;
        }
        fileOfFactory.emplace(factory, found);
        return found;
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void feed(AbstractFirmwareCommunicator& c, const QSharedPointer<MovraDeviceInfo>& first,
          const QSharedPointer<MovraDeviceInfo>& second, const QList<Reply>& replies)
{
    for (const Reply& reply : replies) {
        if (reply.timersFire()) {
            c.fireRunningTimersForTests();
            continue;
        }
        c.onCommandReceivedFromDevice(reply.fromSecond && second ? second : first, reply.bytes);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fixture& f = fixture();
    ByteReader in(data, size);
    const quint8 flags = in.u8();
    const QSharedPointer<MovraDeviceInfo> device = readDevice(in);
    const QSharedPointer<MovraDeviceInfo> second = (flags & 1) ? readDevice(in) : QSharedPointer<MovraDeviceInfo>();
    QList<Reply> replies;
    while (!in.atEnd() && replies.size() < MaxReplies) {
        const quint8 header = in.u8();
        replies.append({ bool(header & 0x80), in.bytes(header & 0x7F) });
    }

    nsFirmware::DeviceVersions versions;
    versions.motherboardVersion = ProgressMessages::NotAvailable;
    versions.channelVersion = ProgressMessages::NotAvailable;
    versions.bootloaderVersion = (flags & 4) ? ProgressMessages::BlankVersion : ProgressMessages::NotAvailable;

    const Fixture::Subject& subject = f.subjects.at((flags >> 3) % int(f.subjects.size()));
    {
        std::unique_ptr<AbstractFirmwareCommunicator> idle(subject.factory());
        idle->setRetryTiming(RetryIntervalMs, Retries);
        idle->askForInstalledVersion(device);
        feed(*idle, device, second, replies);
    }
    // An external programmer's update is the run of its program: a process
    // per input would hold the fuzzer, and replies play no part in it.
    const int file = subject.externalProgrammer ? -1 : f.fileFor(subject.factory);
    if (file >= 0) {
        std::unique_ptr<AbstractFirmwareCommunicator> updating(subject.factory());
        updating->setRetryTiming(RetryIntervalMs, Retries);
        if (updating->updateFirmware(f.files.at(file), device, versions)) {
            if (flags & 2)
                updating->onReconnectedToBootloaderReceived(device);
            feed(*updating, device, second, replies);
        }
    }
    // Anything a communicator handed to deleteLater goes now, not at exit.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
