#include "tests/support/MotherboardRoad.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace mbroad;

namespace {

int indexOfStep(const QList<Response>& steps, int msg)
{
    for (int i = 0; i < steps.size(); ++i) {
        if (steps.at(i).msg == msg)
            return i;
    }
    return -1;
}

} // namespace

// The channels behind a running motherboard updated end to end, then the
// motherboard step the channels ask for, as the widget starts it.
class TestChannelRoad : public QObject
{
    Q_OBJECT

private slots:
    void twoStep_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("channelVersion");
        QTest::addColumn<QString>("channelFile");
        QTest::addColumn<bool>("motherboardStep");
        QTest::newRow("light source, direct") << "ls3" << 15 << "4.1.0"
                                              << "Movra-LS_Default_Firmware_V4.2.hex" << true;
        QTest::newRow("light source, older path") << "ls2" << 15 << "4.1.0"
                                                  << "Movra-LS_Default_Firmware_V4.2.hex" << true;
        QTest::newRow("light source, DriverM") << "driverM" << 15 << "4.1.0"
                                               << "Movra-LS_Embedded_Firmware_V4.2.hex" << true;
        QTest::newRow("KAVOR driver, direct") << "kavor" << 16 << "4.1.0"
                                              << "Movra-KAVOR_Only_Firmware_V2.hex" << true;
        // A memory manager updated by hand ends with its channels.
        QTest::newRow("memory manager") << "manager" << 7 << "4.1.0"
                                        << "Movra-Manager_CH_Firmware_V1.hex" << false;
    }
    void twoStep()
    {
        QFETCH(QString, kind);
        QFETCH(int, type);
        QFETCH(QString, channelVersion);
        QFETCH(QString, channelFile);
        QFETCH(bool, motherboardStep);
        QTemporaryDir dir;
        Road road(profileOf(kind));
        UpdaterRig& rig = *road.rig;
        sim::Motherboard& board = road.board->core();

        // Re-typed by its channel version.
        QVERIFY(road.waitForVersions());
        const nsUpdater::DeviceCommunicationInfo found = rig.reports.last().seen;
        QCOMPARE(found.deviceType, type);
        QCOMPARE(found.channelVersion, channelVersion);

        const QString channelPath = writeHex(dir.filePath(channelFile), imageBytes(1280, 41));
        const QString motherboardPath =
            writeHex(dir.filePath("Movra-Motherboard_Firmware_V3.2.hex"), imageBytes(1024, 42));
        road.startMotherboardStepWith(motherboardPath, found.deviceType, found.uid);
        const Response done = motherboardStep ? MotherboardDone : Response { 26, 2, 100 };
        QCOMPARE(rig.updater->startUpdate(channelPath, found.deviceType, found.uid, false, false),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(rig.waitUntil([&] { return road.ended(done); }, UpdateMs));
        QVERIFY2(road.errors().isEmpty(), qPrintable(QTest::toString(road.errors().value(0))));
        QCOMPARE(road.successes(), 1);
        QCOMPARE(rig.responses.last(), done);

        // The channels first, whole, then the motherboard.
        const QList<Response> steps = rig.responses;
        QCOMPARE(steps.first(), (Response { 24, 0, 15 }));
        const int reset = indexOfStep(steps, 113);
        QCOMPARE(reset >= 0, motherboardStep);
        QCOMPARE(steps.at(reset >= 0 ? reset - 1 : steps.size() - 2), (Response { 25, 0, 99 }));
        QCOMPARE(road.motherboardAsked, motherboardStep ? 1 : 0);
        if (motherboardStep)
            QCOMPARE(road.motherboardStart, FirmwareUpdater::StartResult::Started);

        // Every channel module holds the channel image, the motherboard its
        // own (or, without its step, nothing new).
        const QByteArray channelImage = reference(channelPath);
        QCOMPARE(channelImage.size(), 1280);
        // The last jump is sent as the success is reported.
        const auto channelsJumped = [&] {
            bool jumped = false;
            board.withChannels([&](sim::ChannelModules& channels) { jumped = channels.jumped(); });
            return jumped;
        };
        QVERIFY(road.board->waitUntil(
            [&] { return channelsJumped() && (board.motherboardJumped() || !motherboardStep); }, StepWait::OnItsWayMs));
        int modules = 0;
        board.withChannels([&](sim::ChannelModules& channels) {
            modules = channels.count();
            QVERIFY(channels.jumped());
            QCOMPARE(channels.rejectedRecords(), 0);
        });
        for (int m = 0; m < modules; ++m)
            QCOMPARE(board.channelFlash(m).left(channelImage.size()).toHex(), channelImage.toHex());
        const QByteArray flash = board.flashBytes();
        QCOMPARE(board.resets(), motherboardStep ? 1 : 0);
        if (motherboardStep) {
            const QByteArray motherboardImage = reference(motherboardPath);
            QCOMPARE(flash.left(motherboardImage.size()).toHex(), motherboardImage.toHex());
            QVERIFY(road.board->waitUntil([&] { return board.mode() == sim::Instrument::Mode::Application; },
                                          StepWait::OnItsWayMs));
            QVERIFY(rig.waitUntil([&] { return !rig.reportsOf(road.board->uid()).isEmpty(); }, FoundAndReadMs));
            QCOMPARE(rig.reportsOf(road.board->uid()).last().seen.deviceType, type);
        } else {
            QCOMPARE(flash, blank(flash.size()));
        }
    }
};

QTEST_MAIN(TestChannelRoad)
#include "tst_channelroad.moc"
