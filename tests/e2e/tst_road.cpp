#include "tests/support/RoadSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using Response = UpdaterRig::Response;
using namespace road;

// The main road, end to end over the simulated USB bus: found, versions
// read, update started from a HEX file, reset, re-found, erase, program,
// CRC, jump, and the instrument back in its application.
class TestRoad : public QObject
{
    Q_OBJECT

private slots:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral(".*"))); }

    void mainRoad_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("serverUpdate");
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::addColumn<QStringList>("versions"); // motherboard, channel, bootloader
        QTest::newRow("rotary joint, server update")
            << "HLX58" << true << QByteArray("\r\n") << QStringList { "2.5", "2.5", "1.3" };
        QTest::newRow("rotary joint, manual update, LF file")
            << "HLX58" << false << QByteArray("\n") << QStringList { "2.5", "2.5", "1.3" };
        QTest::newRow("photometry driver, manual update")
            << "NXLTV2" << false << QByteArray("\r\n") << QStringList { "3.1", "N/A", "N/A" };
        QTest::newRow("photometry driver, server update")
            << "NXLTV2" << true << QByteArray("\r\n") << QStringList { "3.1", "N/A", "N/A" };
        QTest::newRow("PIC32 bootloader, server update")
            << "PIC32" << true << QByteArray("\r\n") << QStringList { "N/A", "N/A", "1.2" };
    }
    void mainRoad()
    {
        QFETCH(QString, family);
        QFETCH(bool, serverUpdate);
        QFETCH(QByteArray, lineEnd);
        QFETCH(QStringList, versions);
        QTemporaryDir dir;
        Road road(family);
        UpdaterRig& rig = *road.rig;
        const bool resets = road.instrument->core().profile().hasApplication;

        // Found, classified, versions read.
        QVERIFY(road.waitForVersions());
        QCOMPARE(rig.statusesWith(FoundText).size(), 1);
        const nsUpdater::DeviceCommunicationInfo found = rig.reports.first().seen;
        QCOMPARE(found.uid, road.instrument->uid());
        QCOMPARE(found.name, road.instrument->core().identity().product);
        QCOMPARE((QStringList { found.motherboardVersion, found.channelVersion, found.bootloaderVersion }), versions);

        const QList<IntelHex::Segment> image = imageOf(family);
        const QString path = writeFile(dir.filePath(QStringLiteral("Firmware_V9.9.hex")), image, lineEnd);
        const qint64 start = rig.clock.elapsed();
        QCOMPARE(rig.updater->startUpdate(path, found.deviceType, found.uid, false, serverUpdate),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(road.waitUntilFinished(UpdateMs));
        QTest::qWait(100);

        // The step reports, in this order.
        QList<Response> steps = rig.responses;
        QList<Response> expected;
        if (resets) {
            expected = { { 113, 0, 5 }, { 113, 0, 10 }, { 1, 0, 0 } };
            QVERIFY(steps.size() > 2);
            // The reconnect timer is a coarse one: within 5 % of its 3000 ms.
            QVERIFY2(steps.at(1).at - start >= 2850, qPrintable(QString::number(steps.at(1).at - start)));
        }
        expected.append({ 2, 0, 15 });
        QVERIFY(steps.size() > expected.size() + 1);
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(steps.at(i), expected.at(i));
        int last = 15;
        int i = expected.size();
        for (; i < steps.size() && steps.at(i).msg == 3; ++i) {
            QCOMPARE(steps.at(i).status, 0);
            QVERIFY(steps.at(i).progress >= last && steps.at(i).progress <= 99);
            last = steps.at(i).progress;
        }
        QCOMPARE(last, 99);
        QCOMPARE(i, steps.size() - 1);
        QCOMPARE(steps.last(), (Response { 4, 2, 100 }));

        // The instrument's flash holds the image over the range it was asked
        // to check, and it was told to start it.
        sim::Instrument& core = road.instrument->core();
        QVERIFY(core.hasCrcRequest());
        const sim::Instrument::CrcRequest asked = core.lastCrcRequest();
        // From the image's lowest address to its end, hole included; the
        // word-addressed cores count the start in words.
        QCOMPARE(asked.start, family == "HLX58" ? 0u : 0x9D000000u);
        QCOMPARE(asked.length, family == "HLX58" ? 0x1200u : 0xA00u);
        const QByteArray reference = referenceFlash(family, image);
        QCOMPARE(core.flashBytes().mid(int(asked.offset), int(asked.length)).toHex(),
                 reference.mid(int(asked.offset), int(asked.length)).toHex());
        QCOMPARE(core.eraseCount(), 1);
        QCOMPARE(core.badFrames(), 0);
        QCOMPARE(core.rejectedRecords(), 0);
        // The jump is sent as the success is reported.
        QVERIFY(road.instrument->waitUntil([&] { return core.jumped(); }, StepWait::OnItsWayMs));
        QCOMPARE(QFile::exists(path), !serverUpdate);

        if (resets) {
            // Back in its application at a new address: found and read again.
            QVERIFY(road.instrument->waitUntil(
                [&] {
                    return core.mode() == sim::Instrument::Mode::Application && road.instrument->enumerations() >= 3;
                },
                StepWait::OnItsWayMs));
            QCOMPARE(core.mode(), sim::Instrument::Mode::Application);
            QCOMPARE(road.instrument->enumerations(), 3);
            const QString back = road.instrument->uid();
            QVERIFY(back != found.uid);
            QVERIFY(rig.waitUntil([&] { return !rig.reportsOf(back).isEmpty(); }, FoundAndReadMs));
            QCOMPARE(rig.reportsOf(back).last().seen.motherboardVersion, versions.at(0));
        }
    }
};

QTEST_MAIN(TestRoad)
#include "tst_road.moc"
