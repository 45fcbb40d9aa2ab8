#include "tests/support/RoadSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using Response = UpdaterRig::Response;
using namespace road;

namespace {

const QString RetryLine = QStringLiteral("Warning: No confirmation received, retrying to send lines");
const QString StoppedLine = QStringLiteral("Error: No confirmation received, programming stopped");
// The re-sends come this far apart here (5 s in the program): the count and
// the order of what is reported are what this road checks, and the unit tests
// check the interval.
constexpr int RetryIntervalMs = 200;
// Twelve re-sends, and room for a loaded machine.
constexpr int RetryGivesUpMs = 13 * RetryIntervalMs + 20000;

bool anySuccess(const QList<Response>& responses)
{
    for (const Response& r : responses) {
        if (r.status == 2)
            return true;
    }
    return false;
}

// The update ends in an error after its twelve re-sends.
void checkStoppedAfterResends(Road& road)
{
    QVERIFY(road.waitUntilFinished(RetryGivesUpMs));
    QCOMPARE(road.rig->responses.last(), (Response { 3, 1, -1 }));
    QVERIFY(!anySuccess(road.rig->responses));
    QCOMPARE(road.rig->progressLines.count(RetryLine), 12);
    QCOMPARE(road.rig->progressLines.last(), StoppedLine);
}

} // namespace

// Programming packets that are never acknowledged, or whose
// acknowledgements never leave the instrument: the re-sends are bounded and
// the update ends in an error.
class TestRoadRetry : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        m_packetsAtError = m_packetsAfterError = 0;
    }

    void cleanup()
    {
        // The widget would keep the error on screen; nothing more is sent.
        QCOMPARE(m_packetsAfterError, m_packetsAtError);
    }

    void acknowledgementsStop()
    {
        QTemporaryDir dir;
        Road road(QStringLiteral("NXLTV2"));
        road.shortenRetries(RetryIntervalMs);
        road.instrument->core().dropProgrammingAcks(3, 1000000);
        QVERIFY(road.waitForVersions());
        const auto found = road.rig->reports.first().seen;
        const QString path = writeFile(dir.filePath(QStringLiteral("Firmware.hex")), imageOf(road.family));

        QCOMPARE(road.rig->updater->startUpdate(path, found.deviceType, found.uid, false, false),
                 FirmwareUpdater::StartResult::Started);
        checkStoppedAfterResends(road);
        if (QTest::currentTestFailed())
            return;
        // Packet 3 and its twelve re-sends reached the device, the last one
        // perhaps only now.
        QVERIFY(road.instrument->waitUntil([&] { return road.instrument->core().programmingPackets() >= 3 + 12; },
                                           StepWait::OnItsWayMs));
        QCOMPARE(road.instrument->core().programmingPackets(), 3 + 12);
        m_packetsAtError = road.instrument->core().programmingPackets();
        // Longer than several re-send intervals.
        QTest::qWait(6 * RetryIntervalMs);
        m_packetsAfterError = road.instrument->core().programmingPackets();
        QVERIFY(!road.instrument->core().jumped());
    }

    // The IN endpoint halts for good in the middle of programming: the
    // program gives it up after its clears, and the re-sends end the update.
    void repliesHaltedForGood()
    {
        QTemporaryDir dir;
        Road road(QStringLiteral("HLX58"));
        road.shortenRetries(RetryIntervalMs);
        QVERIFY(road.waitForVersions());
        const auto found = road.rig->reports.first().seen;
        const QString path = writeFile(dir.filePath(QStringLiteral("Firmware.hex")), imageOf(road.family));

        // Said once the clears are given up; the test fails without it.
        QTest::ignoreMessage(QtInfoMsg,
                             QRegularExpression(QStringLiteral("USB endpoint 0x81 stays halted .*given up")));
        int packetsAtHalt = -1;
        road.atHalfProgrammed([&] {
            road.instrument->haltRepliesForGood();
            packetsAtHalt = road.instrument->core().programmingPackets();
        });
        QCOMPARE(road.rig->updater->startUpdate(path, found.deviceType, found.uid, false, false),
                 FirmwareUpdater::StartResult::Started);
        checkStoppedAfterResends(road);
        if (QTest::currentTestFailed())
            return;
        // The re-sends still reached the instrument.
        QVERIFY(road.instrument->waitUntil(
            [&] { return road.instrument->core().programmingPackets() >= packetsAtHalt + 12; }, StepWait::OnItsWayMs));
    }

private:
    int m_packetsAtError = 0;
    int m_packetsAfterError = 0;
};

QTEST_MAIN(TestRoadRetry)
#include "tst_roadretry.moc"
