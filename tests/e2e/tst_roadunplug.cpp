#include "tests/support/RoadSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using Response = UpdaterRig::Response;
using namespace road;

namespace {

const QString RemovedText = QStringLiteral("Movra device removed");
// The re-sends come this far apart here (5 s in the program).
constexpr int RetryIntervalMs = 200;
constexpr int RetryGivesUpMs = 13 * RetryIntervalMs + 20000;

} // namespace

// The instrument is pulled out in the middle of programming: no crash, and
// the update ends in an error once the re-sends give up.
class TestRoadUnplug : public QObject
{
    Q_OBJECT

private slots:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral(".*"))); }

    void unpluggedWhileProgramming()
    {
        QTemporaryDir dir;
        Road road(QStringLiteral("HLX58"));
        road.shortenRetries(RetryIntervalMs);
        QVERIFY(road.waitForVersions());
        const auto found = road.rig->reports.first().seen;
        const QString path = writeFile(dir.filePath(QStringLiteral("Firmware.hex")), imageOf(road.family));

        int packetsAtUnplug = -1;
        road.atHalfProgrammed([&] {
            road.instrument->unplug();
            packetsAtUnplug = road.instrument->core().programmingPackets();
        });
        QCOMPARE(road.rig->updater->startUpdate(path, found.deviceType, found.uid, false, true),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(road.rig->waitUntil([&] { return packetsAtUnplug >= 0; }, 20000));
        // The reset, then this one, seen at the grabber's next poll.
        QVERIFY(road.rig->waitUntil([&] { return road.rig->statusesWith(RemovedText).size() >= 2; }, 10000));
        QCOMPARE(road.rig->statusesWith(RemovedText).size(), 2);

        QVERIFY(road.waitUntilFinished(RetryGivesUpMs));
        QCOMPARE(road.rig->responses.last(), (Response { 3, 1, -1 }));
        for (const Response& r : qAsConst(road.rig->responses))
            QVERIFY(r.status != 2);
        QCOMPARE(road.instrument->core().programmingPackets(), packetsAtUnplug);
        // The downloaded file stays until the update is over for good.
        QVERIFY(QFile::exists(path));
    }
};

QTEST_MAIN(TestRoadUnplug)
#include "tst_roadunplug.moc"
