#include "tests/e2e/kernel-usb/CountingLibUSB.h"
#include "tests/e2e/kernel-usb/KernelGadget.h"
#include "tests/support/RoadSupport.h"
#include "tests/support/TestTransports.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

using Response = UpdaterRig::Response;
using namespace road;

namespace {

const QString RemovedText = QStringLiteral("Movra device removed");
// Software emulation is several times slower than the machine it runs on.
constexpr int GuestFoundAndReadMs = 3 * FoundAndReadMs;
constexpr int GuestUpdateMs = 3 * UpdateMs;
// The re-send interval, shortened through the rig; the re-send count stays
// the program's: twelve re-sends, and some room.
constexpr int RetryIntervalMs = 500;
constexpr int RetryGivesUpMs = 13 * RetryIntervalMs + 15000;
// The programming packet before whose reply the instrument halts its bulk
// IN endpoint, once.
constexpr int HaltInAtPacket = 10;

// USB device files this process holds open.
QStringList openUsbFiles()
{
    QStringList files;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)) {
        const QString target = QFile::symLinkTarget(fds.filePath(fd));
        if (target.startsWith(QLatin1String("/dev/bus/usb/")))
            files.append(target);
    }
    return files;
}

void writeFigure(const QString& name, qint64 value)
{
    const QString results = qEnvironmentVariable("MOVRA_RESULTS");
    if (results.isEmpty())
        return;
    QFile file(QDir(results).filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray::number(value) + '\n');
}

} // namespace

// The rotary joint as a real USB device of a real kernel, under the
// program's real USB transport and firmware updater: found by the poller,
// versions read, updated through a halt of its IN endpoint, and pulled out
// in the middle of an update.
class TestKernelRoad : public QObject
{
    Q_OBJECT

private slots:
    void mainRoad()
    {
        QTemporaryDir dir;
        KernelGadget gadget(QStringLiteral("rotary-joint"), QStringLiteral("hlx58a"), QStringLiteral("dummy_udc.0"),
                            { QStringLiteral("halt-in-at=%1").arg(HaltInAtPacket) });
        QVERIFY2(gadget.start(), qPrintable(gadget.error()));
        auto api = QSharedPointer<CountingLibUSB>::create();
        UpdaterRig rig(TestTransports().usbOver(api).shared());

        // Found by the poller, named from its string descriptor, versions
        // read over the bulk endpoints.
        QVERIFY(rig.waitUntil([&] { return !rig.reports.isEmpty(); }, GuestFoundAndReadMs));
        QCOMPARE(rig.statusesWith(FoundText).size(), 1);
        const nsUpdater::DeviceCommunicationInfo found = rig.reports.first().seen;
        QCOMPARE(found.name, QStringLiteral("HLX_58 Rotary Joint"));
        QVERIFY2(found.uid.startsWith(QLatin1String("04D8-F57E-")), qPrintable(found.uid));
        QCOMPARE((QStringList { found.motherboardVersion, found.channelVersion, found.bootloaderVersion }),
                 (QStringList { "2.5", "2.5", "1.3" }));

        // Updated from a HEX file: reset, gone and back as its bootloader,
        // erase, programming, CRC, jump. On the way the instrument halts its
        // bulk IN endpoint, which stalls until the program clears the halt.
        const QList<IntelHex::Segment> image = imageOf(QStringLiteral("HLX58"));
        const QString path = writeFile(dir.filePath(QStringLiteral("Firmware_V9.9.hex")), image);
        QElapsedTimer update;
        update.start();
        QCOMPARE(rig.updater->startUpdate(path, found.deviceType, found.uid, false, false),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(rig.waitUntil(
            [&] {
                for (const Response& r : qAsConst(rig.responses)) {
                    if (r.status != 0)
                        return true;
                }
                return false;
            },
            GuestUpdateMs));
        writeFigure(QStringLiteral("tst_kernelroad.update_ms"), update.elapsed());
        qInfo("update took %lld ms", update.elapsed());
        const QList<Response> steps = rig.responses;
        QVERIFY(steps.size() > 4);
        QCOMPARE(steps.at(0), (Response { 113, 0, 5 }));
        QCOMPARE(steps.at(1), (Response { 113, 0, 10 }));
        QCOMPARE(steps.last(), (Response { 4, 2, 100 }));
        // The bootloader was found again under its own product id.
        QVERIFY(rig.reconnected.size() >= 1);
        QVERIFY2(rig.reconnected.first().startsWith(QLatin1String("04D8-F676-")), qPrintable(rig.reconnected.first()));

        // The device agrees: told to jump, it left the bus and came back in
        // its application (its third time on the bus), and its flash holds
        // the image over the range the program had it check.
        QMap<QString, qint64> state;
        QVERIFY(QTest::qWaitFor(
            [&] {
                state = gadget.state();
                return state.value(QStringLiteral("enumerations")) == 3;
            },
            10000));
        QCOMPARE(state.value(QStringLiteral("jumped")), 1);
        QCOMPARE(state.value(QStringLiteral("halts")), 1);
        QCOMPARE(api->clearedHalts(), 1);
        QCOMPARE(state.value(QStringLiteral("application")), 1);
        QCOMPARE(state.value(QStringLiteral("erases")), 1);
        QCOMPARE(state.value(QStringLiteral("badFrames")), 0);
        QCOMPARE(state.value(QStringLiteral("rejectedRecords")), 0);
        QCOMPARE(state.value(QStringLiteral("crcStart")), 0);
        QCOMPARE(state.value(QStringLiteral("crcLength")), 0x1200);
        const int offset = int(state.value(QStringLiteral("crcOffset")));
        const int length = int(state.value(QStringLiteral("crcLength")));
        QCOMPARE(gadget.flash().mid(offset, length).toHex(),
                 referenceFlash(QStringLiteral("HLX58"), image).mid(offset, length).toHex());

        // Found again at a new address and read.
        QVERIFY(rig.waitUntil(
            [&] {
                for (const UpdaterRig::Report& r : qAsConst(rig.reports)) {
                    if (r.seen.uid != found.uid && r.seen.uid.startsWith(QLatin1String("04D8-F57E-")))
                        return r.seen.motherboardVersion == QLatin1String("2.5");
                }
                return false;
            },
            GuestFoundAndReadMs));
    }

    void unpluggedWhileProgramming()
    {
        QTemporaryDir dir;
        KernelGadget gadget(QStringLiteral("rotary-joint"), QStringLiteral("hlx58b"), QStringLiteral("dummy_udc.0"));
        QVERIFY2(gadget.start(), qPrintable(gadget.error()));
        auto api = QSharedPointer<CountingLibUSB>::create();
        const int baseContexts = api->contexts();
        {
            UpdaterRig rig(TestTransports().usbOver(api).shared());
            rig.updater->retryIntervalMs = RetryIntervalMs;
            QVERIFY(rig.waitUntil([&] { return !rig.reports.isEmpty(); }, GuestFoundAndReadMs));
            const auto found = rig.reports.first().seen;
            const QString path =
                writeFile(dir.filePath(QStringLiteral("Firmware.hex")), imageOf(QStringLiteral("HLX58")));

            int packetsAtPull = -1;
            connect(rig.updater.data(), &FirmwareUpdater::sendDeviceResponseToView, this,
                    [&](char msg, nsFirmware::MessageStatus, int progress) {
                        if (packetsAtPull < 0 && msg == 3 && progress >= 50) {
                            QVERIFY(gadget.pull());
                            packetsAtPull = int(gadget.state().value(QStringLiteral("programmingPackets")));
                        }
                    });
            QCOMPARE(rig.updater->startUpdate(path, found.deviceType, found.uid, false, false),
                     FirmwareUpdater::StartResult::Started);
            QVERIFY(rig.waitUntil([&] { return packetsAtPull >= 0; }, GuestUpdateMs));
            QVERIFY(packetsAtPull > 0);
            // The reset, then the pull.
            QVERIFY(rig.waitUntil([&] { return rig.statusesWith(RemovedText).size() == 2; }, 10000));
            const qint64 packetsOffBus = gadget.state().value(QStringLiteral("programmingPackets"));
            QVERIFY(packetsOffBus >= packetsAtPull);

            // Nothing of the device stays open once the poller saw it go.
            QTRY_COMPARE_WITH_TIMEOUT(api->handles(), 0, 5000);
            QCOMPARE(api->transfers(), 0);
            QCOMPARE(api->eventThreads(), 0);
            QCOMPARE(api->contexts(), baseContexts + 1); // the poller's
            QCOMPARE(openUsbFiles(), QStringList());

            QVERIFY(rig.waitUntil(
                [&] {
                    for (const Response& r : qAsConst(rig.responses)) {
                        if (r.status != 0)
                            return true;
                    }
                    return false;
                },
                RetryGivesUpMs));
            QCOMPARE(rig.responses.last(), (Response { 3, 1, -1 }));
            for (const Response& r : qAsConst(rig.responses))
                QVERIFY(r.status != 2);
            QVERIFY(QFile::exists(path));
            // Off the bus, the device took no packet more, re-sends or not.
            QCOMPARE(gadget.state().value(QStringLiteral("programmingPackets")), packetsOffBus);
            QCOMPARE(api->handles(), 0);
            QCOMPARE(api->transfers(), 0);
        }
        QCOMPARE(api->contexts(), baseContexts);
        QCOMPARE(openUsbFiles(), QStringList());
    }
};

QTEST_MAIN(TestKernelRoad)
#include "tst_kernelroad.moc"
