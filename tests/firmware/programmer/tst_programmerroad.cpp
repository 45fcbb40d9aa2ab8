#include "firmware/programmer/BootCypressFX3Communicator.h"
#include "firmware/programmer/IMUFirmwareCommunicator.h"
#include "firmware/programmer/ZuvoBasestationCommunicator.h"
#include "tests/device/usb/sim/SimUsbBus.h"
#include "tests/firmware/programmer/sim/SimBaseStation.h"
#include "tests/firmware/programmer/sim/SimInertialModule.h"
#include "tests/support/ProgrammerScripts.h"
#include "tests/support/PseudoRandomBytes.h"
#include "tests/support/TestTransports.h"
#include "tests/support/UpdaterRig.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

using Behaviour = ProgrammerScripts::Behaviour;
using Response = UpdaterRig::Response;

// The program's transports with the USB one over the simulated bus and the
// serial one over the test's pseudo-terminals.
QSharedPointer<TestTransports> simulatedTransports(QSharedPointer<SimUsbBus> bus, QSharedPointer<TestPortList> ports)
{
    return TestTransports().usbOver(bus).serialOver(ports).shared();
}

bool ended(const UpdaterRig& rig)
{
    for (const Response& r : rig.responses) {
        if (r.status != nsFirmware::InProgress)
            return true;
    }
    return false;
}

// A second end report within ms of the first; the wait ends on it.
bool endedAgain(UpdaterRig& rig, int ms)
{
    const auto twice = [&rig] {
        int ends = 0;
        for (const Response& r : rig.responses)
            ends += r.status != nsFirmware::InProgress;
        return ends > 1;
    };
    return rig.waitUntil(twice, ms);
}

int count(const UpdaterRig& rig, int status)
{
    int n = 0;
    for (const Response& r : rig.responses)
        n += r.status == status;
    return n;
}

// First poll, identification-free serial arrival, the version burst.
constexpr int FoundMs = 1500 + 3000 + 2500;
// Reset, re-find after 3000 ms, the program.
constexpr int UpdateMs = 15000;

} // namespace

Q_DECLARE_METATYPE(ProgrammerScripts::Behaviour)

// The inertial module and the base station on pseudo-terminals, and the FX3
// chip on the simulated USB bus, under the whole program: found, their
// versions read, updated by the programmer programs' stand-ins.
class TestProgrammerRoad : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_previous;
    QString m_firmware;
    QByteArray m_image;

    const nsUpdater::DeviceCommunicationInfo* reportOf(const UpdaterRig& rig, int type)
    {
        for (const UpdaterRig::Report& report : rig.reports) {
            if (report.seen.deviceType == type)
                return &report.seen;
        }
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_work.isValid());
        m_previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_work.path()));
        m_firmware = m_work.filePath(QStringLiteral("Movra-Firmware_V1.8.hex"));
        m_image = pseudoRandomBytes(3000, 7);
        QFile file(m_firmware);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(m_image);
    }
    void cleanupTestCase() { QDir::setCurrent(m_previous); }

    // Reset, found again in its bootloader on another port, programmed there.
    void inertialModule()
    {
        const QString program = QLatin1String(IMUFirmwareCommunicator::Program);
        QVERIFY(ProgrammerScripts::install(m_work.path(), program, Behaviour::CopiesFileToPort));
        auto ports = QSharedPointer<TestPortList>::create();
        sim::InertialModule module(ports, {});
        if (!module.start())
            QSKIP("no pseudo-terminal can be opened here");
        const QString before = module.portName();
        UpdaterRig rig(simulatedTransports(QSharedPointer<SimUsbBus>::create(), ports));
        QVERIFY(rig.waitUntil([&] { return reportOf(rig, nsUpdater::IMU); }, FoundMs));
        const nsUpdater::DeviceCommunicationInfo found = *reportOf(rig, nsUpdater::IMU);
        QCOMPARE(found.motherboardVersion, QStringLiteral("1.7"));
        QCOMPARE(found.channelVersion, QStringLiteral("1.7"));
        QCOMPARE(found.bootloaderVersion, QStringLiteral("2.3"));
        QCOMPARE(found.uid, QStringLiteral("1915-520F-494D-5530-3034-32"));

        QCOMPARE(rig.updater->startUpdate(m_firmware, nsUpdater::IMU, found.uid, false, false),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(rig.waitUntil([&] { return ended(rig); }, UpdateMs));
        QVERIFY(!endedAgain(rig, 300));
        QCOMPARE(count(rig, nsFirmware::Success), 1);
        QCOMPARE(count(rig, nsFirmware::Error), 0);
        QCOMPARE(rig.responses.first().msg, int('r'));
        QCOMPARE(module.resets(), 1);
        QVERIFY(module.inBootloader());
        QVERIFY(module.portName() != before);
        QCOMPARE(ProgrammerScripts::runs(m_work.path(), program),
                 (QList<QStringList> { { m_firmware, module.portName() } }));
        // The program has ended; what it wrote may still be on its way to the module.
        QVERIFY(module.waitUntil([&] { return module.flash().size() >= m_image.size(); }, StepWait::OnItsWayMs));
        QCOMPARE(module.flash(), m_image);
        QVERIFY(rig.progressLines.contains(QStringLiteral("Resetting to bootloader... [Done]")));
        QCOMPARE(rig.progressLines.last(), QStringLiteral("Programming the device... [Done]"));
    }

    // Reset, and never back: the re-find fails, no program runs.
    void inertialModuleNotBack()
    {
        const QString program = QLatin1String(IMUFirmwareCommunicator::Program);
        QVERIFY(ProgrammerScripts::install(m_work.path(), program, Behaviour::CopiesFileToPort));
        auto ports = QSharedPointer<TestPortList>::create();
        sim::InertialModule::Profile profile;
        profile.comesBack = false;
        sim::InertialModule module(ports, profile);
        if (!module.start())
            QSKIP("no pseudo-terminal can be opened here");
        UpdaterRig rig(simulatedTransports(QSharedPointer<SimUsbBus>::create(), ports));
        QVERIFY(rig.waitUntil([&] { return reportOf(rig, nsUpdater::IMU); }, FoundMs));
        const QString uid = reportOf(rig, nsUpdater::IMU)->uid;
        QCOMPARE(rig.updater->startUpdate(m_firmware, nsUpdater::IMU, uid, false, false),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(rig.waitUntil([&] { return ended(rig); }, UpdateMs));
        QVERIFY(!endedAgain(rig, 500));
        QCOMPARE(count(rig, nsFirmware::Success), 0);
        QCOMPARE(count(rig, nsFirmware::Error), 1);
        QCOMPARE(rig.responses.last().msg, int('q'));
        QCOMPARE(module.resets(), 1);
        QVERIFY(ProgrammerScripts::runs(m_work.path(), program).isEmpty());
    }

    void baseStation_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<Behaviour>("behaviour");
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("programmed") << true << Behaviour::CopiesFileToPort << true;
        QTest::newRow("exit code 1") << true << Behaviour::ExitsWithOne << true;
        QTest::newRow("crashing program") << true << Behaviour::Crashes << false;
        QTest::newRow("missing program") << false << Behaviour::Succeeds << false;
    }

    // Its port released, the same base station programmed on its port.
    void baseStation()
    {
        QFETCH(bool, installed);
        QFETCH(Behaviour, behaviour);
        QFETCH(bool, succeeds);
        const QString program = QLatin1String(ZuvoBasestationCommunicator::Program);
        QFile::remove(m_work.path() + program + ".args");
        QFile::remove(m_work.path() + program);
        if (installed)
            QVERIFY(ProgrammerScripts::install(m_work.path(), program, behaviour));
        auto ports = QSharedPointer<TestPortList>::create();
        sim::BaseStation station(ports, {});
        if (!station.start())
            QSKIP("no pseudo-terminal can be opened here");
        UpdaterRig rig(simulatedTransports(QSharedPointer<SimUsbBus>::create(), ports));
        QVERIFY(rig.waitUntil([&] { return reportOf(rig, nsUpdater::ZuvoBasestation); }, FoundMs));
        const nsUpdater::DeviceCommunicationInfo found = *reportOf(rig, nsUpdater::ZuvoBasestation);
        QCOMPARE(found.motherboardVersion, QStringLiteral("2.0"));
        QCOMPARE(found.channelVersion, QStringLiteral("N/A"));
        QCOMPARE(found.bootloaderVersion, QStringLiteral("1.4"));

        QCOMPARE(rig.updater->startUpdate(m_firmware, nsUpdater::ZuvoBasestation, found.uid, false, false),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(rig.waitUntil([&] { return ended(rig); }, UpdateMs));
        QVERIFY(!endedAgain(rig, 500));
        QCOMPARE(count(rig, nsFirmware::Success), succeeds ? 1 : 0);
        QCOMPARE(count(rig, nsFirmware::Error), succeeds ? 0 : 1);
        QCOMPARE(rig.responses.last().msg, 3);
        if (installed) {
            QCOMPARE(ProgrammerScripts::runs(m_work.path(), program),
                     (QList<QStringList> { { m_firmware, station.portName() } }));
        }
        if (behaviour != Behaviour::Crashes && installed) {
            QVERIFY(station.waitUntil([&] { return station.flash().size() >= m_image.size(); }, StepWait::OnItsWayMs));
            QCOMPARE(station.flash(), m_image);
        }
    }

    // The chip in boot mode: the boot programmer into its RAM, the chip back
    // as that programmer, then the firmware into its I2C memory.
    void fx3BootMode()
    {
        const QString program = QLatin1String(BootCypressFX3Communicator::Program);
        QVERIFY(ProgrammerScripts::install(m_work.path(), program, Behaviour::Succeeds));
        auto bus = QSharedPointer<SimUsbBus>::create();
        SimUsbDeviceSetup chip;
        chip.vendorId = 0x04B4;
        chip.productId = 0x00F3;
        chip.port = 4;
        chip.address = 9;
        chip.product = QStringLiteral("WestBridge");
        chip.serial = QString();
        QSharedPointer<SimUsbDevice> device = bus->plug(chip);
        UpdaterRig rig(simulatedTransports(bus, QSharedPointer<TestPortList>::create()));
        QVERIFY(rig.waitUntil([&] { return reportOf(rig, nsUpdater::USB3Driver); }, FoundMs));
        const nsUpdater::DeviceCommunicationInfo found = *reportOf(rig, nsUpdater::USB3Driver);
        QCOMPARE(found.name, QStringLiteral("USB3 Communication"));

        const QString image = m_work.filePath(QStringLiteral("Movra-USB3_Firmware_V1.2.img"));
        QCOMPARE(rig.updater->startUpdate(image, nsUpdater::USB3Driver, found.uid, false, false),
                 FirmwareUpdater::StartResult::Started);
        // The boot programmer runs: the chip leaves and comes back as it,
        // after the program's end, which clears the list of devices.
        QVERIFY(rig.waitUntil(
            [&] {
                for (const UpdaterRig::Connected& c : rig.connected) {
                    if (c.uid == found.uid && !c.connected)
                        return true;
                }
                return false;
            },
            5000));
        QVERIFY(!ProgrammerScripts::runs(m_work.path(), program).isEmpty());
        bus->unplug(device);
        chip.productId = 0x4720;
        chip.address = 10;
        device = bus->plug(chip);
        QVERIFY(rig.waitUntil([&] { return ended(rig); }, 6000 + 5000));
        QVERIFY(!endedAgain(rig, 300));
        QCOMPARE(count(rig, nsFirmware::Success), 1);
        QCOMPARE(count(rig, nsFirmware::Error), 0);
        const QString bootProgrammer = QDir::currentPath() + QStringLiteral("/scripts/CyBootProgrammer.img");
        QCOMPARE(ProgrammerScripts::runs(m_work.path(), program),
                 (QList<QStringList> { { "-i", bootProgrammer, "-t", "RAM" }, { "-i", image, "-t", "I2C" } }));
        QVERIFY(rig.progressLines.contains(QStringLiteral("Resetting to bootloader... [Done]")));
        bus->unplug(device);
    }
};

QTEST_MAIN(TestProgrammerRoad)
#include "tst_programmerroad.moc"
