#include "tests/support/MotherboardRoad.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace mbroad;

// Motherboards, their channels and pulse generators, updated end to end over
// the simulated USB bus through the real USB transport and firmware updater.
class TestMotherboardRoad : public QObject
{
    Q_OBJECT

private slots:
    // Found, typed by its channel version, and its own firmware updated.
    void motherboardAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("versions"); // motherboard, channel, bootloader
        QTest::addColumn<bool>("motherboardPhase");
        QTest::addColumn<QByteArray>("reset");
        QTest::newRow("light-source motherboard")
            << "ls3" << 15 << QStringList { "3.1.0", "4.1.0", "1.3" } << true << QByteArray("0600");
        QTest::newRow("photometry console")
            << "console0" << 9 << QStringList { "3.1.0", "2.0.0", "1.3" } << true << QByteArray("0600");
        QTest::newRow("ephys console, blank bootloader")
            << "console3blank" << 8 << QStringList { "3.1.0", "2.3.0", "-1.-1" } << true << QByteArray("0200aabb");
        QTest::newRow("pulse generator") << "pulse" << 19 << QStringList { "1.4", "N/A", "1.3" } << false
                                         << QByteArray("0600");
        QTest::newRow("pulse generator, release 20")
            << "pulse20" << 19 << QStringList { "N/A", "3.2", "N/A" } << false << QByteArray("0200");
    }
    void motherboardAlone()
    {
        QFETCH(QString, kind);
        QFETCH(int, type);
        QFETCH(QStringList, versions);
        QFETCH(bool, motherboardPhase);
        QFETCH(QByteArray, reset);
        sim::MotherboardProfile profile;
        if (kind == "ls3")
            profile = sim::lightSourceMotherboard(3);
        else if (kind == "console0")
            profile = sim::consoleMotherboard(0);
        else if (kind == "console3blank") {
            profile = sim::consoleMotherboard(3);
            profile.bootloaderVersion[0] = 0xFF;
            profile.bootloaderVersion[1] = 0xFF;
        } else if (kind == "pulse")
            profile = sim::pulseGenerator();
        else
            profile = sim::pulseGenerator(20, QStringLiteral("PGV3.2"));

        QTemporaryDir dir;
        Road road(profile);
        UpdaterRig& rig = *road.rig;
        QVERIFY(road.waitForVersions());
        const nsUpdater::DeviceCommunicationInfo found = rig.reports.last().seen;
        QCOMPARE(found.uid, road.board->uid());
        QCOMPARE(found.deviceType, type);
        QCOMPARE((QStringList { found.motherboardVersion, found.channelVersion, found.bootloaderVersion }), versions);
        const QByteArray channelsBefore = profile.channels > 0 ? road.board->core().channelFlash(0) : QByteArray();

        const QByteArray image = imageBytes(1536, 31);
        const QString path = writeHex(dir.filePath("Movra-Motherboard_Firmware_V3.2.hex"), image);
        QCOMPARE(rig.updater->startUpdate(path, found.deviceType, found.uid, motherboardPhase, false),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(rig.waitUntil([&] { return road.ended(MotherboardDone); }, UpdateMs));
        QVERIFY2(road.errors().isEmpty(), qPrintable(QTest::toString(road.errors().value(0))));
        QCOMPARE(road.successes(), 1);
        QCOMPARE(rig.responses.first(), (Response { 113, 0, 5 }));

        // The reset it took, and the flash it holds.
        const QList<quint8> commands = road.board->core().applicationCommands();
        QVERIFY(commands.contains(112));
        QCOMPARE(road.board->core().resets(), 1);
        const quint8 resetCode = quint8(QByteArray::fromHex(reset).at(0));
        QVERIFY(commands.contains(resetCode));
        QVERIFY(commands.indexOf(112) < commands.indexOf(resetCode));
        const QByteArray expected = reference(path);
        QCOMPARE(expected.size(), image.size());
        const QByteArray flash = road.board->core().flashBytes();
        QCOMPARE(flash.left(expected.size()).toHex(), expected.toHex());
        QCOMPARE(flash.mid(expected.size()), blank(flash.size()).mid(expected.size()));
        // The jump is sent as the success is reported.
        QVERIFY(road.board->waitUntil([&] { return road.board->core().motherboardJumped(); }, StepWait::OnItsWayMs));
        QVERIFY(road.board->waitUntil([&] { return road.board->core().mode() == sim::Instrument::Mode::Application; },
                                      StepWait::OnItsWayMs));
        if (profile.channels > 0)
            QCOMPARE(road.board->core().channelFlash(0), channelsBefore);
        // Back in its application: found and read again.
        QVERIFY(rig.waitUntil([&] { return !rig.reportsOf(road.board->uid()).isEmpty(); }, FoundAndReadMs));
    }
};

QTEST_MAIN(TestMotherboardRoad)
#include "tst_motherboardroad.moc"
