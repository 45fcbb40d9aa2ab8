// A 256 KiB update of a photometry driver over the simulated USB bus, with
// the progress dialog fed as the Devices tab feeds it, against the floor the
// protocol sets: one 5 ms pause per packet and the 3000 ms re-find.
#include "app/dialogs/ProgressDialog.h"
#include "app/updater/ProgressCoalescer.h"
#include "tests/support/PseudoRandomBytes.h"
#include "tests/support/RoadSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {
// Processor time the calling thread has used.
qint64 threadCpuNs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // "direct" applies every report to the dialog at once, as the tab did.
    const bool direct = argc > 1 && QByteArray(argv[1]) == "direct";
    const int kib = argc > 2 ? atoi(argv[2]) : 256;

    QTemporaryDir dir;
    road::Road road(QStringLiteral("NXLTV2"));
    ProgressDialog dialog;
    dialog.show();
    ProgressCoalescer coalescer(&dialog);
    FirmwareUpdater* updater = road.rig->updater.data();
    QObject::connect(updater, &FirmwareUpdater::sendMessageToProgressDialog, &dialog, [&](const QString& line) {
        coalescer.flush();
        dialog.appendDetailsInformation(line);
    });
    QObject::connect(updater, &FirmwareUpdater::sendFileProgressToProgressDialog, &dialog, [&](const QString& line) {
        if (direct)
            dialog.modifyLastDetailsInformation(line);
        else
            coalescer.setLastLine(line);
    });
    QObject::connect(updater, &FirmwareUpdater::sendDeviceResponseToView, &dialog,
                     [&](char, nsFirmware::MessageStatus status, int progress) {
                         if (status != nsFirmware::InProgress)
                             return;
                         const QString headline = QStringLiteral("<b>Updating Firmware</b> [Firmware.hex]");
                         if (direct) {
                             dialog.setUpdatingText(headline);
                             dialog.setProgressMaximum(100);
                             dialog.setProgressValue(progress);
                         } else {
                             coalescer.setBar(headline, 100, progress);
                         }
                     });

    // The longest stretch the GUI thread spent away from its event loop, and
    // of it the time the thread ran: on a loaded machine most of a long
    // stretch can be a wait for a processor, which no code change removes.
    QElapsedTimer sinceTick;
    qint64 threadNsAtTick = 0;
    qint64 longestStepMs = 0;
    qint64 longestStepRanMs = 0;
    qint64 longestRunMs = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
        const qint64 step = sinceTick.restart() - tick.interval();
        const qint64 threadNs = threadCpuNs();
        const qint64 ran = (threadNs - threadNsAtTick) / 1000000;
        threadNsAtTick = threadNs;
        if (step > longestStepMs) {
            longestStepMs = step;
            longestStepRanMs = ran;
        }
        longestRunMs = qMax(longestRunMs, ran);
    });

    if (!road.waitForVersions()) {
        std::fprintf(stderr, "the instrument was not found\n");
        return 1;
    }
    const auto found = road.rig->reports.first().seen;
    const QList<IntelHex::Segment> image = { { 0x1D000000, pseudoRandomBytes(kib * 1024, 7) } };
    const QString path = road::writeFile(dir.filePath(QStringLiteral("Firmware.hex")), image);
    const int commandsBefore = road.instrument->core().bootloaderCommands().size();

    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    threadNsAtTick = threadCpuNs();
    tick.start(10);
    if (road.rig->updater->startUpdate(path, found.deviceType, found.uid, false, false)
            != FirmwareUpdater::StartResult::Started
        || !road.waitUntilFinished(30 * 60 * 1000) || !road.succeeded()) {
        std::fprintf(stderr, "the update failed\n");
        return 1;
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    tick.stop();
    // Every bootloader packet waits its 5 ms; the reset command before the
    // re-find is one more.
    const int packets = road.instrument->core().bootloaderCommands().size() - commandsBefore + 1;
    const double floor = packets * 0.005 + 3.0;
    std::printf("%.3f %.3f packets=%d longest_gui_step_ms=%lld (running %lld) longest_gui_run_ms=%lld\n", seconds,
                floor, packets, longestStepMs, longestStepRanMs, longestRunMs);
    return 0;
}
