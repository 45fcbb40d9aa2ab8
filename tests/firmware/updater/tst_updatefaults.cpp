#include "firmware/core/BlockingPause.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/core/ReplyDeadline.h"
#include "firmware/updater/FirmwareFamilyRegistry.h"
#include "tests/firmware/fpga/sim/SimFpgaBoard.h"
#include "tests/firmware/fx3/sim/SimFx3Bridge.h"
#include "tests/firmware/microscope/sim/SimUsb3Channel.h"
#include "tests/firmware/updater/RegistryFactories.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/SignalWait.h"
#include "tests/support/SmallFirmware.h"
#include "tests/support/sim/SimInstrument.h"
#include "tests/support/sim/SimMotherboard.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

constexpr int DeadlineMs = 400;
constexpr int RetryIntervalMs = 50;
constexpr int Retries = 2;
// Only catches an error that never comes; it comes after one deadline or
// a few re-sends.
constexpr int ErrorBoundMs = 20000;

constexpr char Soh = 0x01;
constexpr char Dle = 0x10;

QSharedPointer<MovraDeviceInfo> record(const sim::UsbIdentity& identity, CommType commType = CommType::USB)
{
    return DeviceRecordBuilder::on(commType)
        .vid(identity.vendorId)
        .pid(identity.productId)
        .usbLocation(1, 3, 5)
        .release(identity.release)
        .name(identity.product)
        .serialNumber(identity.serial)
        .build();
}

// One family's instrument as its update reaches it.
class DeviceSide
{
public:
    virtual ~DeviceSide() = default;
    // The record the update starts with.
    virtual QSharedPointer<MovraDeviceInfo> device() = 0;
    // The instrument's replies to one command; entered is set when the
    // command made it re-enumerate in its bootloader.
    virtual QList<QByteArray> receive(const QByteArray& command, bool* entered) = 0;
    // The record under which it shows in its bootloader.
    virtual QSharedPointer<MovraDeviceInfo> bootloaderDevice() { return device(); }
    virtual bool jumped() = 0;
};

// An instrument that runs its application until told to reset into its
// bootloader, or that is in its bootloader from the start.
template <typename Sim>
class ResettingSide : public DeviceSide
{
public:
    template <typename Profile>
    ResettingSide(const Profile& profile, std::function<bool(Sim&)> jumped, const QByteArray& firmwareText = {})
        : m_sim(profile)
        , m_jumped(std::move(jumped))
        , m_device(record(m_sim.identity()))
    {
        m_device->setChannelFirmware(firmwareText);
        m_device->setMotherboardFirmware(firmwareText);
    }
    QSharedPointer<MovraDeviceInfo> device() override { return m_device; }
    QSharedPointer<MovraDeviceInfo> bootloaderDevice() override { return record(m_sim.identity()); }
    QList<QByteArray> receive(const QByteArray& command, bool* entered) override
    {
        const bool before = m_sim.mode() == sim::Instrument::Mode::Bootloader;
        const auto out = m_sim.receive(command);
        *entered = !before && m_sim.mode() == sim::Instrument::Mode::Bootloader;
        return out.replies;
    }
    bool jumped() override { return m_jumped(m_sim); }

private:
    Sim m_sim;
    std::function<bool(Sim&)> m_jumped;
    QSharedPointer<MovraDeviceInfo> m_device;
};

std::unique_ptr<DeviceSide> instrument(const sim::InstrumentProfile& profile)
{
    return std::make_unique<ResettingSide<sim::Instrument>>(profile, [](sim::Instrument& i) { return i.jumped(); });
}

// The motherboard's own jump, or its channels'.
std::unique_ptr<DeviceSide> motherboard(const sim::MotherboardProfile& profile)
{
    return std::make_unique<ResettingSide<sim::Motherboard>>(
        profile,
        [](sim::Motherboard& board) {
            bool channels = false;
            board.withChannels([&channels](sim::ChannelModules& modules) { channels = modules.jumped(); });
            return board.motherboardJumped() || channels;
        },
        profile.application.serial.toLatin1());
}

class FpgaSide : public DeviceSide
{
public:
    FpgaSide(sim::FpgaBoard::Kind kind, const QByteArray& channelFirmware)
        : m_board(kind, 4)
        // Release 2: replies without the bootloader's prefix byte.
        , m_device(DeviceRecordBuilder::usb(0x04D8, 0xF676)
                       .usbLocation(2, 1, 3)
                       .name(QStringLiteral("Bootloader"))
                       .release(2)
                       .channelFirmware(channelFirmware)
                       .build())
    {
    }
    QSharedPointer<MovraDeviceInfo> device() override { return m_device; }
    QList<QByteArray> receive(const QByteArray& command, bool* entered) override
    {
        *entered = false;
        return m_board.receive(command);
    }
    bool jumped() override { return m_board.jumped(); }

private:
    sim::FpgaBoard m_board;
    QSharedPointer<MovraDeviceInfo> m_device;
};

// The bridge's and the USB 3 channel's answers, one per command.
template <typename Sim>
class SingleAnswerSide : public DeviceSide
{
public:
    SingleAnswerSide(quint16 productId, quint16 release, std::function<QByteArray(Sim&, const QByteArray&)> answer)
        : m_answer(std::move(answer))
        , m_device(record({ 0x04B4, productId, release, QString(), QString() }, CommType::USB3))
    {
    }
    QSharedPointer<MovraDeviceInfo> device() override { return m_device; }
    QList<QByteArray> receive(const QByteArray& command, bool* entered) override
    {
        *entered = false;
        const QByteArray reply = m_answer(m_sim, command);
        return reply.isEmpty() ? QList<QByteArray>() : QList<QByteArray> { reply };
    }
    bool jumped() override { return m_sim.jumped(); }

private:
    Sim m_sim;
    std::function<QByteArray(Sim&, const QByteArray&)> m_answer;
    QSharedPointer<MovraDeviceInfo> m_device;
};

// How a family's replies carry their code: first, or as the first content
// byte of a bootloader frame (SOH, and a DLE before an escaped code).
enum class ReplyForm {
    Plain,
    Framed,
};

// The step codes a family's update uses.
enum class Codes {
    Bootloader,
    // The bootloader codes plus 22.
    Channel,
};

struct Family
{
    QString communicator; // the class the registry makes for the type
    int type;
    SmallFirmware::Kind file;
    ReplyForm form;
    Codes codes;
    // Whether its update reads a CRC from the CRC reply at all.
    bool readsCrc;
    nsFirmware::DeviceVersions versions;
    std::unique_ptr<DeviceSide> (*makeSide)();
};

nsFirmware::DeviceVersions versions(const QString& motherboard, const QString& bootloader)
{
    nsFirmware::DeviceVersions v;
    v.motherboardVersion = motherboard;
    v.bootloaderVersion = bootloader;
    return v;
}

std::unique_ptr<DeviceSide> rotaryJoint()
{
    return instrument(sim::hlx58Profile());
}
std::unique_ptr<DeviceSide> photometryDriver()
{
    return instrument(sim::nxltv2Profile());
}
std::unique_ptr<DeviceSide> pic32Bootloader()
{
    return instrument(sim::pic32BootloaderProfile());
}
std::unique_ptr<DeviceSide> rotaryJointInItsBootloader()
{
    sim::InstrumentProfile inBootloader = sim::hlx58Profile();
    inBootloader.hasApplication = false;
    return instrument(inBootloader);
}
std::unique_ptr<DeviceSide> pulseGenerator()
{
    return motherboard(sim::pulseGenerator());
}
std::unique_ptr<DeviceSide> lightSource()
{
    return motherboard(sim::lightSourceMotherboard(3));
}
std::unique_ptr<DeviceSide> consoleChannels()
{
    return std::make_unique<FpgaSide>(sim::FpgaBoard::Kind::ConsoleChannel, "Console Channel");
}
std::unique_ptr<DeviceSide> oneColorMicroscope()
{
    return std::make_unique<FpgaSide>(sim::FpgaBoard::Kind::OneColorMicroscope, "Microscope");
}
std::unique_ptr<DeviceSide> twoColorMicroscope()
{
    return std::make_unique<FpgaSide>(sim::FpgaBoard::Kind::TwoColorMicroscope, "Microscope2");
}
std::unique_ptr<DeviceSide> usb3Channel()
{
    return std::make_unique<SingleAnswerSide<sim::Usb3Channel>>(
        0x00F1, 8, [](sim::Usb3Channel& channel, const QByteArray& frame) { return channel.receive(frame); });
}
std::unique_ptr<DeviceSide> fx3Bridge()
{
    return std::make_unique<SingleAnswerSide<sim::Fx3Bridge>>(
        0x00F2, 9, [](sim::Fx3Bridge& bridge, const QByteArray& command) { return bridge.control(command); });
}

// Every family whose update waits for the device's replies: the families of
// the external programmers wait for a program instead, with its own time-outs.
const QList<Family>& families()
{
    using namespace nsUpdater;
    using SmallFirmware::Hex;
    using SmallFirmware::Hex32;
    using SmallFirmware::Mcs;
    const auto framed = ReplyForm::Framed;
    const auto plain = ReplyForm::Plain;
    const auto bootloader = Codes::Bootloader;
    const auto channel = Codes::Channel;
    const nsFirmware::DeviceVersions none;
    const nsFirmware::DeviceVersions light = versions("3.1.0", "1.3");
    static const QList<Family> table = {
        { "HLX58Communicator", AssistedRotaryJoint, Hex, framed, bootloader, true, none, rotaryJoint },
        { "NXLTV2Communicator", KZR410, Hex32, framed, bootloader, true, none, photometryDriver },
        { "BootloaderPIC32Communicator", Bootloader, Hex32, framed, bootloader, true, none, pic32Bootloader },
        { "BootloaderCommunicator", Bootloader, Hex, framed, bootloader, true, none, rotaryJointInItsBootloader },
        { "HKTRCommunicator", HKTR, Hex, framed, bootloader, true, versions("1.4", "1.3"), pulseGenerator },
        { "MotherboardCommunicator", Motherboard, Hex, framed, bootloader, true, light, lightSource },
        { "LightsourceChannelCommunicator", LightSource, Hex, plain, channel, true, light, lightSource },
        { "ConsoleChannelCommunicator", Channels, Mcs, plain, bootloader, true, none, consoleChannels },
        // Its CRC reply holds nothing to compare: any CRC reply is success.
        { "Microscope1ColorCommunicator", GQZ, Mcs, plain, bootloader, false, none, oneColorMicroscope },
        { "Microscope2ColorCommunicator", GQZ2, Mcs, plain, bootloader, true, none, twoColorMicroscope },
        { "MicroscopeUSB3ChannelCommunicator", GQZ3, Hex, plain, channel, true, none, usb3Channel },
        { "CypressFX3Communicator", TV720, Mcs, plain, bootloader, true, none, fx3Bridge },
    };
    return table;
}

const Family* familyOf(const QString& communicator)
{
    for (const Family& f : families()) {
        if (f.communicator == communicator)
            return &f;
    }
    return nullptr;
}

// Where a reply's code ends: the reply cut there holds its code and nothing
// to read.
int codeEnd(const QByteArray& reply, ReplyForm form)
{
    int i = 0;
    if (form == ReplyForm::Framed) {
        i = reply.startsWith(Soh) ? 1 : 0;
        if (i < reply.size() && reply.at(i) == Dle)
            ++i;
    }
    return qMin(i + 1, int(reply.size()));
}

char replyCode(const QByteArray& reply, ReplyForm form)
{
    const int end = codeEnd(reply, form);
    return end > 0 ? reply.at(end - 1) : char(0);
}

enum class Fault {
    AcknowledgementsLate,
    EraseReplyLost,
    CrcReplyLost,
    CrcReplyShort,
};

// What the device side does to the replies of one step: keeps them back (to
// hand them over once the update has failed), or sends the CRC reply cut
// after its code.
struct Step
{
    char code;
    bool cut;
};

Step stepOf(Fault fault, const Family& family)
{
    const char offset = family.codes == Codes::Channel ? 22 : 0;
    switch (fault) {
    case Fault::AcknowledgementsLate: return { char(nsFirmware::ProgramFlash + offset), false };
    case Fault::EraseReplyLost: return { char(nsFirmware::EraseFlash + offset), false };
    case Fault::CrcReplyLost: return { char(nsFirmware::ReadCrc + offset), false };
    case Fault::CrcReplyShort: return { char(nsFirmware::ReadCrc + offset), true };
    }
    return {};
}

// The fuzz target's number for a communicator class.
int fuzzFamily(const QString& communicator)
{
    const QList<RegistryFactory> factories = registryFactories();
    for (int i = 0; i < factories.size(); ++i) {
        const std::unique_ptr<AbstractFirmwareCommunicator> made(factories.at(i).factory());
        if (QLatin1String(made->metaObject()->className()) == communicator)
            return i;
    }
    return 0;
}

// The fuzz target's input for a run (tests/fuzz/fuzz_firmware_communicators.cpp
// gives the layout): the family, the device whose replies drove the update,
// then what happened in order, each reply and 0x80 where a timer fired.
QByteArray fuzzInput(const QString& communicator, bool reconnects, const MovraDeviceInfo& d,
                     const QList<QByteArray>& events)
{
    static const QList<CommType> commTypes = { CommType::None,      CommType::USB,    CommType::USB3,
                                               CommType::Ethernet,  CommType::Camera, CommType::Serial,
                                               CommType::SlowCamera };
    QByteArray in;
    const auto u8 = [&in](int v) { in.append(char(v)); };
    const auto text = [&](const QByteArray& bytes) {
        u8(int(bytes.size()));
        in.append(bytes);
    };
    u8((reconnects ? 2 : 0) | (fuzzFamily(communicator) << 3));
    u8(d.vid() >> 8);
    u8(d.vid() & 0xFF);
    u8(d.pid() >> 8);
    u8(d.pid() & 0xFF);
    u8(d.releaseNumber());
    u8(int(commTypes.indexOf(d.commType())));
    u8(int(d.driverType()));
    u8(d.channelCount());
    u8(0); // no name words: the name follows whole
    text(d.name().toLatin1());
    text(d.serialNumber().toLatin1());
    text(d.uid().toLatin1());
    text(d.channelFirmware());
    text(d.motherboardFirmware());
    for (const QByteArray& event : events.mid(0, 64)) {
        if (event.isEmpty())
            u8(0x80);
        else
            text(event.left(0x7F));
    }
    return in;
}

// An update of one family through the registry's communicator, against the
// family's simulated instrument, with one step's replies faulty. Replies
// come back one event later, as from a transport.
class Run : public QObject
{
public:
    Run(const Family& family, Step step, const QString& file)
        : m_family(family)
        , m_step(step)
        , m_side(family.makeSide())
        , m_updateDevice(m_side->device())
        , m_replyDevice(m_updateDevice)
        , m_file(file)
    {
    }

    bool start()
    {
        m_c.reset(FirmwareFamilyRegistry::createUpdateCommunicator(m_family.type, *m_updateDevice, false));
        if (!m_c)
            return false;
        m_c->setRetryTiming(RetryIntervalMs, Retries);
        AbstractFirmwareCommunicator* c = m_c.get();
        connect(c, &AbstractFirmwareCommunicator::sendCommandToDevice, this,
                [this](QSharedPointer<MovraDeviceInfo>, QByteArray data) { onCommand(data); });
        connect(c, &AbstractFirmwareCommunicator::sendCtrlCmdToDevice, this,
                [this](QSharedPointer<MovraDeviceInfo>, QByteArray data) { onCommand(data); });
        connect(c, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater, this,
                [this](char msg, nsFirmware::MessageStatus status, int) {
                    if (status == nsFirmware::Error)
                        errors.append(int(quint8(msg)));
                    else if (status == nsFirmware::Success)
                        ++successes;
                });
        connect(c, &AbstractFirmwareCommunicator::sendMessageToProgressDialog, this, [this](QString line) {
            lines.append(line);
            // A timer fired: a re-send, a give-up or a deadline.
            if (line == ProgressMessages::RetryingToSendLines || line == ProgressMessages::NoConfirmationReceived)
                m_events.append(QByteArray());
        });
        connect(c, &AbstractFirmwareCommunicator::sendStartMotherboardUpdate, this, [this] { ++motherboardAsked; });
        return m_c->updateFirmware(m_file, m_updateDevice, m_family.versions);
    }

    AbstractFirmwareCommunicator* communicator() const { return m_c.get(); }
    bool jumped() const { return m_side->jumped(); }
    int held() const { return int(m_held.size()); }

    // Hands over what was kept back, at once.
    void releaseHeld()
    {
        const QList<QByteArray> late = m_held;
        m_held.clear();
        for (const QByteArray& reply : late)
            deliver(reply);
    }

    void writeFuzzInput(const QString& name) const
    {
        const QString folder = qEnvironmentVariable("MOVRA_WRITE_FUZZ_SEEDS");
        if (folder.isEmpty())
            return;
        QFile seed(QDir(folder).filePath(name + QStringLiteral(".bin")));
        if (seed.open(QIODevice::WriteOnly))
            seed.write(fuzzInput(m_family.communicator, m_reconnected, *m_replyDevice, m_events));
    }

    QList<QByteArray> commands;
    QList<int> errors;
    int successes = 0;
    int motherboardAsked = 0;
    QStringList lines;

private:
    void onCommand(const QByteArray& command)
    {
        commands.append(command);
        bool entered = false;
        for (const QByteArray& reply : m_side->receive(command, &entered)) {
            if (replyCode(reply, m_family.form) != m_step.code) {
                deliverSoon(reply);
                continue;
            }
            m_held.append(reply);
            if (m_step.cut)
                deliverSoon(reply.left(codeEnd(reply, m_family.form)));
        }
        if (entered) {
            // Found again in its bootloader, as the updater finds it.
            m_replyDevice = m_side->bootloaderDevice();
            m_reconnected = true;
            QMetaObject::invokeMethod(
                this, [this] { m_c->onReconnectedToBootloaderReceived(m_replyDevice); }, Qt::QueuedConnection);
        }
    }
    void deliverSoon(const QByteArray& reply)
    {
        QMetaObject::invokeMethod(
            this, [this, reply] { deliver(reply); }, Qt::QueuedConnection);
    }
    void deliver(const QByteArray& reply)
    {
        m_events.append(reply);
        m_c->onCommandReceivedFromDevice(m_replyDevice, reply);
    }

    const Family& m_family;
    Step m_step;
    std::unique_ptr<DeviceSide> m_side;
    QSharedPointer<MovraDeviceInfo> m_updateDevice;
    QSharedPointer<MovraDeviceInfo> m_replyDevice;
    QString m_file;
    std::unique_ptr<AbstractFirmwareCommunicator> m_c;
    QList<QByteArray> m_held;
    QList<QByteArray> m_events;
    bool m_reconnected = false;
};

} // namespace

// Every family's update ends in exactly one error when a step's reply is
// late, lost or unreadable: within its deadline (or its bounded re-sends),
// never as a success, never with the jump to the application, and nothing
// reaches the device after the error, whatever replies come later.
class TestUpdateFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_files;

    void families_data(Fault fault)
    {
        QTest::addColumn<QString>("communicator");
        for (const Family& f : families()) {
            if (fault == Fault::CrcReplyShort && !f.readsCrc)
                continue;
            QTest::newRow(qPrintable(f.communicator)) << f.communicator;
        }
    }

    void run(Fault fault, const char* name)
    {
        QFETCH(QString, communicator);
        const Family* family = familyOf(communicator);
        QVERIFY(family);
        const Step step = stepOf(fault, *family);
        Run run(*family, step, m_files.at(family->file));
        QVERIFY(run.start());
        QCOMPARE(QString::fromLatin1(run.communicator()->metaObject()->className()), communicator);

        SignalWait failed([&run] { return !run.errors.isEmpty(); });
        failed.on(run.communicator(), &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        QVERIFY2(failed.wait(ErrorBoundMs), "the update never ended");
        QCOMPARE(run.errors, QList<int> { int(quint8(step.code)) });
        QCOMPARE(run.communicator()->isUpdating(), 0);

        // What the device still sends arrives too late.
        const qsizetype sent = run.commands.size();
        QVERIFY2(run.held() > 0, "the faulty step was never reached");
        run.releaseHeld();
        SignalWait more([&run, sent] { return run.commands.size() > sent || run.errors.size() > 1; });
        more.on(run.communicator(), &AbstractFirmwareCommunicator::sendCommandToDevice)
            .on(run.communicator(), &AbstractFirmwareCommunicator::sendCtrlCmdToDevice)
            .on(run.communicator(), &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        QVERIFY(!more.wait(DeadlineMs + 3 * RetryIntervalMs));

        QCOMPARE(run.commands.size(), sent);
        QCOMPARE(run.errors.size(), 1);
        QCOMPARE(run.successes, 0);
        QVERIFY(!run.jumped());
        QCOMPARE(run.motherboardAsked, 0);
        // A short CRC reply waits for its deadline, unless the family decodes
        // it as a frame, which reads a CRC of 0: a mismatch.
        const int unanswered = int(run.lines.count(ProgressMessages::NoConfirmationReceived));
        if (fault == Fault::CrcReplyShort)
            QVERIFY(unanswered <= 1);
        else
            QCOMPARE(unanswered, 1);
        QString seed = communicator;
        seed.remove(QLatin1String("Communicator"));
        run.writeFuzzInput(QStringLiteral("%1_%2").arg(seed.toLower(), QLatin1String(name)));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_files = SmallFirmware::writeAll(m_dir.path());
        QCOMPARE(m_files.size(), 3);
        ReplyDeadline::setInitialTimeout(DeadlineMs);
        BlockingPause::limitForTests(0);
    }
    void cleanupTestCase()
    {
        ReplyDeadline::setInitialTimeout(0);
        BlockingPause::limitForTests(-1);
    }

    // Each family of the registry whose update waits for replies has its
    // row: a family added later is not left out.
    void everyUpdatingFamilyHasARow()
    {
        for (const auto& row : FirmwareFamilyRegistry::rows()) {
            if (!row.update || QLatin1String(row.family) == QLatin1String("programmer"))
                continue;
            const std::unique_ptr<AbstractFirmwareCommunicator> made(row.update());
            const QString name = QString::fromLatin1(made->metaObject()->className());
            QVERIFY2(familyOf(name), qPrintable(name + QStringLiteral(" has no row")));
        }
    }

    // The device acknowledges nothing in time: the re-sends give up (or the
    // deadline passes), and then the acknowledgements come.
    void acknowledgementsLate_data() { families_data(Fault::AcknowledgementsLate); }
    void acknowledgementsLate() { run(Fault::AcknowledgementsLate, "acknowledgements_late"); }

    void eraseReplyLost_data() { families_data(Fault::EraseReplyLost); }
    void eraseReplyLost() { run(Fault::EraseReplyLost, "erase_reply_lost"); }

    void crcReplyLost_data() { families_data(Fault::CrcReplyLost); }
    void crcReplyLost() { run(Fault::CrcReplyLost, "crc_reply_lost"); }

    // The CRC reply holds its code and no CRC; the whole one comes late.
    void crcReplyShort_data() { families_data(Fault::CrcReplyShort); }
    void crcReplyShort() { run(Fault::CrcReplyShort, "crc_reply_short"); }
};

QTEST_GUILESS_MAIN(TestUpdateFaults)
#include "tst_updatefaults.moc"
