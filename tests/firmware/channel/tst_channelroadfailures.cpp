#include "tests/support/MotherboardRoad.h"
#include "tests/support/NoticeRecorder.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace mbroad;

// Channel and motherboard roads that must not end in success, and one that
// recovers.
class TestChannelRoadFailures : public QObject
{
    Q_OBJECT

private slots:
    // Roads that must not end in success.
    void failures_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QList<Response>>("errors");
        QTest::newRow("channel CRC mismatch") << "stuck"
                                              << "ls3" << QList<Response> { { 26, 1, -1 } };
        QTest::newRow("channel CRC mismatch, older path") << "stuck"
                                                          << "ls2" << QList<Response> { { 26, 1, -1 } };
        QTest::newRow("channels acknowledge twice") << "doubleAck"
                                                    << "ls3" << QList<Response> { { 25, 1, -1 } };
        QTest::newRow("motherboard does not come back") << "vanish"
                                                        << "ls3" << QList<Response> { { 113, 1, -1 } };
    }
    void failures()
    {
        QFETCH(QString, fault);
        QFETCH(QString, kind);
        QFETCH(QList<Response>, errors);
        QTemporaryDir dir;
        Road road(profileOf(kind));
        UpdaterRig& rig = *road.rig;
        sim::Motherboard& board = road.board->core();
        if (fault == "stuck")
            board.withChannels([](sim::ChannelModules& c) { c.setStuckByte(1, 0x40, 0x5A); });
        else if (fault == "doubleAck")
            board.withChannels([](sim::ChannelModules& c) { c.setDoubleAcknowledge(true); });
        else
            board.setVanishesAfterReset(true);

        NoticeRecorder user;
        rig.updater->setNotices(&user);
        int dialogClosed = 0;
        connect(rig.updater.data(), &FirmwareUpdater::sendCloseProgressDialog, this, [&] { ++dialogClosed; });

        QVERIFY(road.waitForVersions());
        const nsUpdater::DeviceCommunicationInfo found = rig.reports.last().seen;
        const QString channelPath = writeHex(dir.filePath("Movra-LS_Default_Firmware_V4.2.hex"), imageBytes(1280, 41));
        const QString motherboardPath =
            writeHex(dir.filePath("Movra-Motherboard_Firmware_V3.2.hex"), imageBytes(1024, 42));
        road.startMotherboardStepWith(motherboardPath, found.deviceType, found.uid);
        QCOMPARE(rig.updater->startUpdate(channelPath, found.deviceType, found.uid, false, false),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(rig.waitUntil([&] { return !road.errors().isEmpty(); }, UpdateMs));
        // Nothing more comes: no success, no second error, no motherboard
        // step after a channel failure.
        QTest::qWait(fault == "vanish" ? 500 : 2500);
        QCOMPARE(road.errors(), errors);
        QCOMPARE(road.successes(), 0);
        QCOMPARE(road.motherboardAsked, fault == "vanish" ? 1 : 0);
        QCOMPARE(board.resets(), fault == "vanish" ? 1 : 0);
        if (fault == "doubleAck") {
            QCOMPARE(user.told, QStringList { QStringLiteral("channels not programmed") });
            QCOMPARE(dialogClosed, 1);
            board.withChannels([](sim::ChannelModules& c) { QVERIFY(!c.jumped()); });
        } else {
            QVERIFY(user.told.isEmpty());
        }
        if (fault == "stuck")
            board.withChannels([](sim::ChannelModules& c) { QVERIFY(!c.jumped()); });
    }

    // A lost channel acknowledgement: the packet is sent again 5000 ms later
    // and the update goes on to its end.
    void lostAcknowledgement()
    {
        QTemporaryDir dir;
        Road road(profileOf("ls3"));
        UpdaterRig& rig = *road.rig;
        sim::Motherboard& board = road.board->core();
        board.withChannels([](sim::ChannelModules& c) { c.dropAcknowledgements(3, 1); });
        QVERIFY(road.waitForVersions());
        const nsUpdater::DeviceCommunicationInfo found = rig.reports.last().seen;
        const QString channelPath = writeHex(dir.filePath("Movra-LS_Default_Firmware_V4.2.hex"), imageBytes(1280, 41));
        const QString motherboardPath =
            writeHex(dir.filePath("Movra-Motherboard_Firmware_V3.2.hex"), imageBytes(1024, 42));
        road.startMotherboardStepWith(motherboardPath, found.deviceType, found.uid);
        QCOMPARE(rig.updater->startUpdate(channelPath, found.deviceType, found.uid, false, false),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(rig.waitUntil([&] { return road.ended(MotherboardDone); }, UpdateMs + 6000));
        QVERIFY(road.errors().isEmpty());
        QCOMPARE(rig.responses.last(), MotherboardDone);
        QVERIFY(
            rig.progressLines.contains(QStringLiteral("Warning: No confirmation received, retrying to send lines")));
        const QByteArray channelImage = reference(channelPath);
        board.withChannels([](sim::ChannelModules& c) { QVERIFY(c.programmingPackets() > 0); });
        QCOMPARE(board.channelFlash(0).left(channelImage.size()).toHex(), channelImage.toHex());
        QCOMPARE(board.channelFlash(1).left(channelImage.size()).toHex(), channelImage.toHex());
    }
};

QTEST_MAIN(TestChannelRoadFailures)
#include "tst_channelroadfailures.moc"
