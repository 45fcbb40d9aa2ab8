#include "firmware/channel/LightsourceChannelCommunicator.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/IntelHex.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/PseudoRandomBytes.h"
#include "tests/support/sim/SimCrc16.h"
#include "tests/support/sim/SimFrameCodec.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const DeviceRecordBuilder Board =
    DeviceRecordBuilder::usb(0x04D8, 0xF5B0).usbLocation(1, 3, 5).release(1).firmware("LS-0042");

QByteArray padded(const QByteArray& hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    return bytes + QByteArray(64 - bytes.size(), char(0xFF));
}

// A channel reply as the motherboard relays it: the code, the escaped rest
// and CRC-16, EOT (with "DriverM" the SOH stays in front).
QByteArray relayed(const QByteArray& payload, bool driverM = false)
{
    const quint16 crc = sim::crc16(payload);
    const QByteArray body = payload.mid(1) + char(crc & 0xFF) + char(crc >> 8);
    QByteArray reply;
    if (driverM)
        reply.append(char(0x01));
    reply.append(payload.at(0));
    for (char c : body) {
        if (c == 0x01 || c == 0x04 || c == 0x10)
            reply.append(char(0x10));
        reply.append(c);
    }
    reply.append(char(0x04));
    return reply + QByteArray(64 - reply.size() % 64, char(0xFF));
}

// What the communicator says, frames decoded by the instruments' own parser.
struct Heard
{
    explicit Heard(AbstractFirmwareCommunicator* c)
    {
        QObject::connect(c, &AbstractFirmwareCommunicator::sendCommandToDevice, c,
                         [this](QSharedPointer<MovraDeviceInfo>, QByteArray data) {
                             raw.append(data);
                             sim::FrameParser parser;
                             const auto frames = parser.feed(data);
                             if (frames.isEmpty()) {
                                 commands.append(QStringLiteral("app %1").arg(quint8(data.at(0))));
                                 return;
                             }
                             QVERIFY(frames.first().crcOk);
                             payloads.append(frames.first().payload);
                             const bool prefixed = data.at(1) == 0x00 && data.at(2) == 0x01;
                             commands.append(QStringLiteral("%1 %2")
                                                 .arg(prefixed ? "framed" : "plain")
                                                 .arg(quint8(frames.first().payload.at(0))));
                         });
        QObject::connect(c, &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater, c,
                         [this](nsUpdater::DeviceIdentifier type, nsFirmware::DeviceVersions v, QString) {
                             versions.append(QStringList { QString::number(int(type)), v.motherboardVersion,
                                                           v.channelVersion, v.bootloaderVersion });
                         });
        QObject::connect(c, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater, c,
                         [this](char msg, nsFirmware::MessageStatus status, int progress) {
                             responses.append(
                                 QStringLiteral("%1,%2,%3").arg(int(quint8(msg))).arg(int(status)).arg(progress));
                         });
        QObject::connect(c, &AbstractFirmwareCommunicator::sendStartMotherboardUpdate, c,
                         [this] { ++motherboardAsked; });
        QObject::connect(c, &AbstractFirmwareCommunicator::sendCloseProgressDialog, c, [this] { ++dialogClosed; });
    }
    QString last() const { return commands.isEmpty() ? QString() : commands.last(); }
    QList<QByteArray> raw;
    QStringList commands;
    QList<QByteArray> payloads;
    QList<QStringList> versions;
    QStringList responses;
    int motherboardAsked = 0;
    int dialogClosed = 0;
};

constexpr int ShortSettleMs = 20;

// A channel update started on a device, with a small image.
struct Bench
{
    explicit Bench(const QSharedPointer<MovraDeviceInfo>& d, const QString& motherboardVersion = "3.1.0",
                   bool server = false, const QByteArray& image = pseudoRandomBytes(96, 7),
                   int settleMs = ShortSettleMs)
        : dev(d)
        , heard(&c)
    {
        path = dir.filePath("Movra-LS_Default_Firmware_V3.hex");
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(IntelHex::file({ { 0u, image } }));
        file.close();
        c.setServerUpdate(server);
        c.setChannelSettleTime(settleMs);
        nsFirmware::DeviceVersions versions;
        versions.motherboardVersion = motherboardVersion;
        started = c.updateFirmware(path, dev, versions);
    }
    void reply(const QByteArray& payload) { c.onCommandReceivedFromDevice(dev, relayed(payload, driverM())); }
    bool driverM() const { return dev->motherboardFirmware().contains("DriverM"); }
    // Acknowledges programming packets until the CRC is asked for.
    bool programAll()
    {
        for (int i = 0; i < 100; ++i) {
            if (heard.last().endsWith(" 26"))
                return true;
            reply(QByteArray(1, 25));
        }
        return false;
    }
    // The CRC the communicator asked to check, as the channels answer it.
    QByteArray crcReply(quint16 delta = 0) const
    {
        const QByteArray request = heard.payloads.last();
        const quint16 crc = quint16((quint8(request.at(9)) | (quint8(request.at(10)) << 8)) + delta);
        return QByteArray(1, 26) + char(crc & 0xFF) + char(crc >> 8);
    }

    QTemporaryDir dir;
    QString path;
    QSharedPointer<MovraDeviceInfo> dev;
    LightsourceChannelCommunicator c;
    Heard heard;
    bool started = false;
};

} // namespace

// The channel communicator: its two roads into the channels, the frames it
// sends, the replies it takes, and how a channel update ends.
class TestLightsourceChannel : public QObject
{
    Q_OBJECT

private slots:
    void paths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("firmware");
        QTest::addColumn<QString>("motherboardVersion");
        QTest::addColumn<QStringList>("commands");
        const QStringList direct = { "app 28", "app 24" };
        const QStringList older = { "app 73", "framed 28", "framed 24" };
        QTest::newRow("3.1: direct") << "LightSource Driver" << QByteArray("LS") << "3.1.0" << direct;
        QTest::newRow("2.9: older") << "LightSource Driver" << QByteArray("LS") << "2.9.0" << older;
        QTest::newRow("2.9 KAVOR: direct") << "KAVOR Driver" << QByteArray("LS") << "2.9.0" << direct;
        QTest::newRow("2.9 memory manager: direct") << "Memory Manager" << QByteArray("LS") << "2.9.0" << direct;
        QTest::newRow("N/A: older") << "LightSource Driver" << QByteArray("LS") << "N/A" << older;
        QTest::newRow("N/A KAVOR: direct") << "KAVOR Driver" << QByteArray("LS") << "N/A" << direct;
        QTest::newRow("2.9 DriverM: plain frames") << "Optogenetics System" << QByteArray("DriverM V2.9") << "2.9.0"
                                                   << QStringList { "app 73", "plain 28", "plain 24" };
    }
    void paths()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, firmware);
        QFETCH(QString, motherboardVersion);
        QFETCH(QStringList, commands);
        QElapsedTimer clock;
        clock.start();
        Bench bench(Board.name(name).firmware(firmware).build(), motherboardVersion, false, pseudoRandomBytes(96, 7),
                    LightsourceChannelCommunicator::ChannelSettleMs);
        QVERIFY(bench.started);
        QCOMPARE(bench.heard.commands, commands);
        QVERIFY(bench.heard.responses.isEmpty());
        // The channel bootloader is given its second before the erase.
        if (commands.first() == "app 28")
            QVERIFY(clock.elapsed() >= LightsourceChannelCommunicator::ChannelSettleMs);
    }

    void refusedFile()
    {
        LightsourceChannelCommunicator c;
        Heard heard(&c);
        QVERIFY(!c.updateFirmware("/nonexistent/x.hex", Board.name("LightSource Driver").build(), {}));
        QVERIFY(heard.raw.isEmpty());
    }

    // The whole update: erase, packets, CRC, jump, then the motherboard step
    // (or, for a memory manager updated by hand, its own success).
    void wholeUpdate_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint16>("release");
        QTest::addColumn<bool>("server");
        QTest::addColumn<bool>("success");
        QTest::addColumn<int>("motherboard");
        QTest::newRow("light source") << "LightSource Driver" << quint16(1) << false << false << 1;
        QTest::newRow("light source, server") << "LightSource Driver" << quint16(1) << true << false << 1;
        QTest::newRow("memory manager by hand") << "Memory Manager" << quint16(7) << false << true << 0;
        QTest::newRow("memory manager, server") << "Memory Manager" << quint16(7) << true << false << 1;
    }
    void wholeUpdate()
    {
        QFETCH(QString, name);
        QFETCH(quint16, release);
        QFETCH(bool, server);
        QFETCH(bool, success);
        QFETCH(int, motherboard);
        Bench bench(Board.name(name).release(release).build(), "3.1.0", server);
        bench.reply(QByteArray(1, 24));
        QCOMPARE(bench.heard.responses, QStringList { "24,0,15" });
        QCOMPARE(bench.heard.last(), QStringLiteral("framed 25"));
        QVERIFY(bench.programAll());
        QVERIFY(bench.heard.responses.last().startsWith("25,0,"));
        QCOMPARE(bench.heard.responses.last(), QStringLiteral("25,0,99"));
        const QByteArray crc = bench.crcReply();
        bench.reply(crc);
        QCOMPARE(bench.heard.last(), QStringLiteral("framed 27"));
        QCOMPARE(bench.heard.responses.last() == "26,2,100", success);
        QCOMPARE(bench.heard.motherboardAsked, motherboard);
        QVERIFY(!bench.c.isUpdating());
        QCOMPARE(QFile::exists(bench.path), !server);
        // Nothing more is heard once the CRC matched.
        const int sent = bench.heard.raw.size();
        bench.reply(QByteArray(1, 25));
        bench.reply(crc);
        QCOMPARE(bench.heard.raw.size(), sent);
    }

    // The CRC of reply 26 is read from the frame's content, its escapes
    // removed; a mismatch ends the update.
    void channelCrc_data()
    {
        QTest::addColumn<quint16>("delta");
        QTest::addColumn<QString>("ending");
        QTest::newRow("match") << quint16(0) << "framed 27";
        QTest::newRow("mismatch") << quint16(1) << "framed 26";
    }
    void channelCrc()
    {
        QFETCH(quint16, delta);
        QFETCH(QString, ending);
        Bench bench(Board.name("LightSource Driver").build());
        bench.reply(QByteArray(1, 24));
        QVERIFY(bench.programAll());
        bench.reply(bench.crcReply(delta));
        QCOMPARE(bench.heard.last(), ending);
        QCOMPARE(bench.heard.motherboardAsked, delta ? 0 : 1);
        if (delta)
            QCOMPARE(bench.heard.responses.last(), QStringLiteral("26,1,-1"));
        QVERIFY(!bench.heard.responses.contains("26,2,100"));
    }

    // The channels' CRC is read from the reply's content, its escapes
    // removed: a CRC whose high byte is escaped (and whose low byte is not)
    // reads wrong when the escape is taken for a CRC byte.
    void escapedCrc()
    {
        QByteArray image;
        quint16 crc = 0;
        for (quint32 seed = 1; seed < 5000; ++seed) {
            image = pseudoRandomBytes(96, seed);
            crc = sim::crc16(image);
            const quint8 low = quint8(crc & 0xFF), high = quint8(crc >> 8);
            const auto escaped = [](quint8 b) { return b == 0x01 || b == 0x04 || b == 0x10; };
            if (escaped(high) && !escaped(low) && low != 0x00)
                break;
        }
        Bench bench(Board.name("LightSource Driver").build(), "3.1.0", false, image);
        bench.reply(QByteArray(1, 24));
        QVERIFY(bench.programAll());
        const QByteArray asked = bench.heard.payloads.last();
        QCOMPARE(quint16(quint8(asked.at(9)) | (quint8(asked.at(10)) << 8)), crc);
        const QByteArray reply = relayed(QByteArray(1, 26) + char(crc & 0xFF) + char(crc >> 8));
        QCOMPARE(quint8(reply.at(2)), quint8(0x10));
        bench.c.onCommandReceivedFromDevice(bench.dev, reply);
        QCOMPARE(bench.heard.last(), QStringLiteral("framed 27"));
        QVERIFY(!bench.heard.responses.contains("26,1,-1"));
    }

    // An acknowledgement after the last record was acknowledged: the user
    // told once, the progress dialog closed, and an error the window hears.
    // The update has stopped before the notice: what arrives while the user
    // reads it, the CRC among it, does not carry the update on.
    void programmingFailure()
    {
        NoticeRecorder user;
        Bench bench(Board.name("LightSource Driver").build());
        bench.c.setUpdateNotices(&user);
        bench.reply(QByteArray(1, 24));
        QVERIFY(bench.programAll());
        const QByteArray crc = bench.crcReply();
        int sent = -1;
        user.whileShown = [&] {
            QCOMPARE(bench.c.isUpdating(), 0);
            QCOMPARE(bench.heard.dialogClosed, 0);
            sent = bench.heard.raw.size();
            bench.reply(QByteArray(1, 25));
            bench.reply(crc);
        };
        bench.reply(QByteArray(1, 25));
        QCOMPARE(user.told, QStringList { QStringLiteral("channels not programmed") });
        QCOMPARE(bench.heard.dialogClosed, 1);
        QCOMPARE(bench.heard.responses.last(), QStringLiteral("25,1,-1"));
        user.whileShown = nullptr;
        bench.reply(QByteArray(1, 25));
        bench.reply(crc);
        QCOMPARE(user.told.size(), 1);
        QCOMPARE(bench.heard.raw.size(), sent);
        QCOMPARE(bench.heard.motherboardAsked, 0);
        QVERIFY(!bench.heard.responses.contains("26,2,100"));
        QCOMPARE(bench.heard.responses.count("25,1,-1"), 1);
    }

    // With no one to tell, the failure ends the same way.
    void programmingFailureUntold()
    {
        Bench bench(Board.name("LightSource Driver").build());
        bench.reply(QByteArray(1, 24));
        QVERIFY(bench.programAll());
        const int sent = bench.heard.raw.size();
        bench.reply(QByteArray(1, 25));
        bench.reply(bench.crcReply());
        QCOMPARE(bench.heard.dialogClosed, 1);
        QCOMPARE(bench.heard.responses.count("25,1,-1"), 1);
        QCOMPARE(bench.heard.raw.size(), sent);
        QCOMPARE(bench.heard.motherboardAsked, 0);
    }

    void secondEraseReplyIgnored()
    {
        Bench bench(Board.name("LightSource Driver").build());
        bench.reply(QByteArray(1, 24));
        bench.reply(QByteArray(1, 24));
        QCOMPARE(bench.heard.responses, QStringList { "24,0,15" });
        QCOMPARE(bench.heard.commands.count("framed 25"), 1);
    }

    // With "DriverM" the relayed reply keeps the channel's SOH in front,
    // except the motherboard's own reply 73.
    void driverMReplies()
    {
        Bench bench(Board.name("Optogenetics System").firmware("DriverM V2.9").build(), "2.9.0");
        bench.c.onCommandReceivedFromDevice(bench.dev, padded("5518"));
        QCOMPARE(bench.heard.responses, QStringList { "24,0,15" });
        QCOMPARE(bench.heard.last(), QStringLiteral("plain 25"));
        bench.c.onCommandReceivedFromDevice(bench.dev, padded("49aa040300"));
        QCOMPARE(bench.heard.versions.last(), (QStringList { "15", "N/A", "4.3.0", "N/A" }));
    }

    void versionReplies_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("reply"); // hex
        QTest::addColumn<QStringList>("report");
        const QString na = QStringLiteral("N/A");
        QTest::newRow("16: byte 2 first")
            << "LightSource Driver" << QByteArray("100302") << QStringList { "15", na, na, "2.3" };
        QTest::newRow("21") << "KAVOR Driver" << QByteArray("1504aa010203") << QStringList { "16", "1.2.3", na, na };
        QTest::newRow("22") << "Memory Manager" << QByteArray("16aa040100") << QStringList { "7", na, "4.1.0", na };
        QTest::newRow("7") << "LightSource Driver" << QByteArray("07aa010203") << QStringList { "15", na, "1.2.3", na };
        QTest::newRow("1") << "LightSource Driver" << QByteArray("010103") << QStringList { "15", na, na, "1.3" };
        QTest::newRow("22 short") << "LightSource Driver" << QByteArray("16aa0401") << QStringList {};
        QTest::newRow("21 short") << "LightSource Driver" << QByteArray("1504aa0102") << QStringList {};
        QTest::newRow("16 short") << "LightSource Driver" << QByteArray("1003") << QStringList {};
        QTest::newRow("26 short") << "LightSource Driver" << QByteArray("1a") << QStringList {};
        QTest::newRow("26 DLE only") << "LightSource Driver" << QByteArray("1a10") << QStringList {};
    }
    void versionReplies()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, report);
        // Heard only while an update runs.
        {
            LightsourceChannelCommunicator idle;
            Heard heard(&idle);
            idle.onCommandReceivedFromDevice(Board.name(name).build(), QByteArray::fromHex(reply));
            QVERIFY(heard.versions.isEmpty());
        }
        Bench bench(Board.name(name).build(), "3.1.0");
        const int sent = bench.heard.raw.size();
        bench.c.onCommandReceivedFromDevice(bench.dev, QByteArray::fromHex(reply));
        QCOMPARE(bench.heard.versions, report.isEmpty() ? QList<QStringList> {} : QList<QStringList> { report });
        if (report.isEmpty()) {
            QCOMPARE(bench.heard.raw.size(), sent);
            QVERIFY(bench.heard.responses.isEmpty());
        }
    }

    // On the older road the channels are told to erase again 2000 ms after
    // their version reply, unless an erase was answered by then: a second
    // erase during programming would wipe what they already hold.
    void delayedErase_data()
    {
        QTest::addColumn<bool>("eraseAnswered");
        QTest::newRow("first erase lost") << false;
        QTest::newRow("first erase answered") << true;
    }
    void delayedErase()
    {
        QFETCH(bool, eraseAnswered);
        Bench bench(Board.name("LightSource Driver").build(), "2.9.0");
        bench.reply(QByteArray::fromHex("49aa040100"));
        if (eraseAnswered)
            bench.reply(QByteArray(1, 24));
        const int before = bench.heard.commands.count("framed 24");
        QTest::qWait(LightsourceChannelCommunicator::EraseDelayMs - 300);
        QCOMPARE(bench.heard.commands.count("framed 24"), before);
        QTest::qWait(600);
        QCOMPARE(bench.heard.commands.count("framed 24"), eraseAnswered ? before : before + 1);
    }

    void versionQueries_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint16>("release");
        QTest::addColumn<QByteArray>("firmware");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QList<QStringList>>("reports");
        const QString na = QStringLiteral("N/A");
        QTest::newRow("light source") << "LightSource Driver" << quint16(1) << QByteArray("LS")
                                      << QStringList { "app 1", "app 7", "app 21", "app 22" } << QList<QStringList> {};
        QTest::newRow("hybrid LED driver") << "Hybrid LED Driver" << quint16(1) << QByteArray("HLDM1.4")
                                           << QStringList {} << QList<QStringList> { { "15", "1.4", na, na } };
        QTest::newRow("release 2") << "Channel Bootloader" << quint16(2) << QByteArray("LS")
                                   << QStringList { "framed 1" } << QList<QStringList> {};
        QTest::newRow("bootloader") << "Channel Bootloader" << quint16(3) << QByteArray("LS") << QStringList {}
                                    << QList<QStringList> { { "15", na, na, "2.0" } };
    }
    void versionQueries()
    {
        QFETCH(QString, name);
        QFETCH(quint16, release);
        QFETCH(QByteArray, firmware);
        QFETCH(QStringList, commands);
        QFETCH(QList<QStringList>, reports);
        LightsourceChannelCommunicator c;
        Heard heard(&c);
        c.askForInstalledVersion(Board.name(name).release(release).firmware(firmware).build());
        QCOMPARE(heard.commands, commands);
        QCOMPARE(heard.versions, reports);
    }
};

QTEST_MAIN(TestLightsourceChannel)
#include "tst_lightsourcechannel.moc"
