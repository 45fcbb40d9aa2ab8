#include "tests/support/RoadSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using Response = UpdaterRig::Response;
using namespace road;

namespace {

const QString RetryLine = QStringLiteral("Warning: No confirmation received, retrying to send lines");

bool anySuccess(const QList<Response>& responses)
{
    for (const Response& r : responses) {
        if (r.status == 2)
            return true;
    }
    return false;
}

} // namespace

// The failure roads end in an error report, never in success.
class TestRoadFailures : public QObject
{
    Q_OBJECT

private slots:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral(".*"))); }

    void families_data()
    {
        QTest::addColumn<QString>("family");
        QTest::newRow("rotary joint") << "HLX58";
        QTest::newRow("photometry driver") << "NXLTV2";
    }

    // One flash cell that does not take what is programmed into it.
    void crcMismatch_data() { families_data(); }
    void crcMismatch()
    {
        QFETCH(QString, family);
        QTemporaryDir dir;
        Road road(family);
        const QList<IntelHex::Segment> image = imageOf(family);
        const QByteArray reference = referenceFlash(family, image);
        road.instrument->core().setStuckFlashByte(0x10, quint8(~quint8(reference.at(0x10))));
        QVERIFY(road.waitForVersions());
        const auto found = road.rig->reports.first().seen;
        const QString path = writeFile(dir.filePath(QStringLiteral("Firmware.hex")), image);

        QCOMPARE(road.rig->updater->startUpdate(path, found.deviceType, found.uid, false, true),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(road.waitUntilFinished(UpdateMs));
        QTest::qWait(300);
        QCOMPARE(road.rig->responses.last(), (Response { 4, 1, -1 }));
        QVERIFY(!anySuccess(road.rig->responses));
        // The device stays in its bootloader, never told to start the image.
        sim::Instrument& core = road.instrument->core();
        QCOMPARE(core.bootloaderCommands().last(), quint8(4));
        QVERIFY(!core.jumped());
        QCOMPARE(core.mode(), sim::Instrument::Mode::Bootloader);
        QVERIFY(QFile::exists(path));
    }

    // Told to reset, the instrument never comes back.
    void deviceDoesNotComeBack_data() { families_data(); }
    void deviceDoesNotComeBack()
    {
        QFETCH(QString, family);
        QTemporaryDir dir;
        Road road(family);
        road.instrument->core().setVanishesAfterReset(true);
        QVERIFY(road.waitForVersions());
        const auto found = road.rig->reports.first().seen;
        const QString path = writeFile(dir.filePath(QStringLiteral("Firmware.hex")), imageOf(family));

        QCOMPARE(road.rig->updater->startUpdate(path, found.deviceType, found.uid, false, false),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(road.waitUntilFinished(3000 + 2000));
        QTest::qWait(1500);
        QCOMPARE(road.rig->responses, (QList<Response> { { 113, 0, 5 }, { 113, 0, 10 }, { 113, 1, -1 } }));
        QVERIFY(!road.instrument->isPlugged());
        QVERIFY(road.instrument->core().bootloaderCommands().isEmpty());
    }

    // A lost acknowledgement: the packet goes again 5 s later and the update
    // carries on to its end.
    void droppedAcknowledgementRecovered_data() { families_data(); }
    void droppedAcknowledgementRecovered()
    {
        QFETCH(QString, family);
        QTemporaryDir dir;
        Road road(family);
        road.instrument->core().dropProgrammingAcks(3, 1);
        QVERIFY(road.waitForVersions());
        const auto found = road.rig->reports.first().seen;
        const QList<IntelHex::Segment> image = imageOf(family);
        const QString path = writeFile(dir.filePath(QStringLiteral("Firmware.hex")), image);

        QCOMPARE(road.rig->updater->startUpdate(path, found.deviceType, found.uid, false, false),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(road.waitUntilFinished(UpdateMs));
        QVERIFY(road.succeeded());
        QCOMPARE(road.rig->progressLines.count(RetryLine), 1);

        sim::Instrument& core = road.instrument->core();
        const sim::Instrument::CrcRequest asked = core.lastCrcRequest();
        QCOMPARE(core.flashBytes().mid(int(asked.offset), int(asked.length)).toHex(),
                 referenceFlash(family, image).mid(int(asked.offset), int(asked.length)).toHex());
        QVERIFY(road.instrument->waitUntil([&] { return core.jumped(); }, StepWait::OnItsWayMs));
    }
};

QTEST_MAIN(TestRoadFailures)
#include "tst_roadfailures.moc"
