#include "firmware/channel/LightsourceChannelCommunicator.h"
#include "firmware/motherboard/HKTRCommunicator.h"
#include "firmware/motherboard/MotherboardCommunicator.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/IntelHex.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const DeviceRecordBuilder Board = DeviceRecordBuilder::usb(0x04D8, 0xF5B0).usbLocation(1, 3, 5).firmware("MB-0042");

std::unique_ptr<AbstractFirmwareCommunicator> make(const QString& family)
{
    if (family == "HKTR")
        return std::make_unique<HKTRCommunicator>();
    if (family == "LS")
        return std::make_unique<LightsourceChannelCommunicator>();
    return std::make_unique<MotherboardCommunicator>();
}

// 64 bytes: the given ones, then 0xFF.
QByteArray padded(const QByteArray& hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    return bytes + QByteArray(64 - bytes.size(), char(0xFF));
}

struct Heard
{
    explicit Heard(AbstractFirmwareCommunicator* c)
    {
        QObject::connect(c, &AbstractFirmwareCommunicator::sendCommandToDevice, c,
                         [this](QSharedPointer<MovraDeviceInfo>, QByteArray data) { commands.append(data.toHex()); });
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
        QObject::connect(c, &AbstractFirmwareCommunicator::sendClearAvailableDevices, c, [this] { ++clears; });
    }
    QList<QByteArray> commands;
    QList<QStringList> versions;
    QStringList responses;
    int clears = 0;
};

} // namespace

// The motherboard and pulse-generator communicators against the bytes their
// instruments send: what each reply reports, what each question sends, and
// how an update starts.
class TestMotherboardFamily : public QObject
{
    Q_OBJECT

private slots:
    // What a motherboard drives, from its channel reply: the name and the
    // release number come before the channel bytes.
    void channelType_data()
    {
        QTest::addColumn<quint16>("release");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("reply");   // hex
        QTest::addColumn<QStringList>("report"); // type, motherboard, channel, bootloader; empty: none
        const QString ls = QStringLiteral("LightSource Driver");
        const QString na = QStringLiteral("N/A");
        QTest::newRow("4.1.0: light source")
            << quint16(1) << ls << QByteArray("16aa040100") << QStringList { "15", na, "4.1.0", na };
        QTest::newRow("5: light source") << quint16(1) << ls << QByteArray("16aa050000")
                                         << QStringList { "15", na, "5.0.0", na };
        QTest::newRow("2.0: photometry console")
            << quint16(1) << ls << QByteArray("16aa020005") << QStringList { "9", na, "2.0.5", na };
        QTest::newRow("2.1: photometry console")
            << quint16(1) << ls << QByteArray("16aa020100") << QStringList { "9", na, "2.1.0", na };
        QTest::newRow("2.2: ephys console")
            << quint16(1) << ls << QByteArray("16aa020200") << QStringList { "8", na, "2.2.0", na };
        QTest::newRow("2.3: ephys console")
            << quint16(1) << ls << QByteArray("16aa020300") << QStringList { "8", na, "2.3.0", na };
        QTest::newRow("2.4: ephys console")
            << quint16(1) << ls << QByteArray("16aa020400") << QStringList { "8", na, "2.4.0", na };
        QTest::newRow("2.7: motherboard")
            << quint16(1) << ls << QByteArray("16aa020700") << QStringList { "17", na, "2.7.0", na };
        QTest::newRow("2.-1: motherboard")
            << quint16(1) << ls << QByteArray("16aa02ff00") << QStringList { "17", na, "2.-1.0", na };
        QTest::newRow("3: motherboard") << quint16(1) << ls << QByteArray("16aa030000")
                                        << QStringList { "17", na, "3.0.0", na };
        QTest::newRow("blank: motherboard")
            << quint16(1) << ls << QByteArray("16aaff0000") << QStringList { "17", na, "-1.0.0", na };
        QTest::newRow("73 as 22") << quint16(1) << ls << QByteArray("49aa040200")
                                  << QStringList { "15", na, "4.2.0", na };
        QTest::newRow("KAVOR whatever the bytes")
            << quint16(11) << "KAVOR Driver" << QByteArray("16aa020000") << QStringList { "16", na, "2.0.0", na };
        QTest::newRow("release 7 whatever the bytes")
            << quint16(7) << "Memory Manager" << QByteArray("16aa040100") << QStringList { "7", na, "4.1.0", na };
        QTest::newRow("short reply ignored") << quint16(1) << ls << QByteArray("16aa0401") << QStringList {};
        QTest::newRow("other code ignored") << quint16(1) << ls << QByteArray("17aa040100") << QStringList {};
    }
    void channelType()
    {
        QFETCH(quint16, release);
        QFETCH(QString, name);
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, report);
        MotherboardCommunicator c;
        Heard heard(&c);
        c.onCommandReceivedFromDevice(Board.release(release).name(name).build(), QByteArray::fromHex(reply));
        QCOMPARE(heard.versions, report.isEmpty() ? QList<QStringList> {} : QList<QStringList> { report });
    }

    void motherboardReplies_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<quint16>("release");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("reply"); // hex
        QTest::addColumn<QStringList>("report");
        QTest::addColumn<int>("channelCount");
        const QString na = QStringLiteral("N/A");
        const QString mb = QStringLiteral("LightSource Driver");
        QTest::newRow("21: version and channel count")
            << "MB" << quint16(1) << mb << QByteArray("1504aa010203") << QStringList { "17", "1.2.3", na, na } << 4;
        QTest::newRow("21: signed channel count")
            << "MB" << quint16(1) << mb << QByteArray("15feaa0102ff") << QStringList { "17", "1.2.-1", na, na } << -2;
        QTest::newRow("21 short: ignored, count untouched")
            << "MB" << quint16(1) << mb << QByteArray("1504aa0102") << QStringList {} << -1;
        QTest::newRow("1 from the application")
            << "MB" << quint16(1) << mb << QByteArray("010103") << QStringList { "17", na, na, "1.3" } << -1;
        QTest::newRow("1 blank") << "MB" << quint16(1) << mb << QByteArray("01ffff")
                                 << QStringList { "17", na, na, "-1.-1" } << -1;
        QTest::newRow("1 short") << "MB" << quint16(1) << mb << QByteArray("0101") << QStringList {} << -1;
        QTest::newRow("7 not read by a motherboard")
            << "MB" << quint16(1) << mb << QByteArray("07aa0102") << QStringList {} << -1;
        QTest::newRow("rotary joint not heard")
            << "MB" << quint16(6) << "HLX_58" << QByteArray("1504aa010203") << QStringList {} << -1;
        // From a bootloader (release 3): SOH first, version in bytes 2, 3.
        QTest::newRow("1 from a bootloader") << "MB" << quint16(3) << "Motherboard Bootloader"
                                             << QByteArray("0101aa0207") << QStringList { "3", na, na, "2.7" } << -1;

        QTest::newRow("HKTR 7") << "HKTR" << quint16(16) << "HKTR Pulse Generator" << QByteArray("07aa0103")
                                << QStringList { "19", "1.3", na, na } << -1;
        QTest::newRow("HKTR 21") << "HKTR" << quint16(16) << "HKTR Pulse Generator" << QByteArray("15aa02ff")
                                 << QStringList { "19", "2.-1", na, na } << -1;
        QTest::newRow("HKTR 7 short") << "HKTR" << quint16(16) << "HKTR Pulse Generator" << QByteArray("07aa01")
                                      << QStringList {} << -1;
        QTest::newRow("HKTR 1") << "HKTR" << quint16(16) << "HKTR Pulse Generator" << QByteArray("010103")
                                << QStringList { "19", na, na, "1.3" } << -1;
        QTest::newRow("HKTR NXLT type 2") << "HKTR" << quint16(16) << "NXLT Driver" << QByteArray("07aa0205")
                                          << QStringList { "2", "2.5", na, na } << -1;
        QTest::newRow("HKTR 22 ignored") << "HKTR" << quint16(16) << "HKTR Pulse Generator" << QByteArray("16aa040100")
                                         << QStringList {} << -1;
        QTest::newRow("HKTR type 21 motor not heard")
            << "HKTR" << quint16(1) << "Sarvanti Motor" << QByteArray("07aa0103") << QStringList {} << -1;
        QTest::newRow("HKTR type 21 disk not heard")
            << "HKTR" << quint16(1) << "Sarvanti Disk" << QByteArray("07aa0103") << QStringList {} << -1;
        QTest::newRow("HKTR type 21 pulse generator") << "HKTR" << quint16(1) << "Sarvanti" << QByteArray("07aa0103")
                                                      << QStringList { "21", "1.3", na, na } << -1;
    }
    void motherboardReplies()
    {
        QFETCH(QString, family);
        QFETCH(quint16, release);
        QFETCH(QString, name);
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, report);
        QFETCH(int, channelCount);
        auto c = make(family);
        Heard heard(c.get());
        auto d = Board.release(release).name(name).build();
        if (name.startsWith("Sarvanti"))
            d->setPid(0xF347);
        c->onCommandReceivedFromDevice(d, QByteArray::fromHex(reply));
        QCOMPARE(heard.versions, report.isEmpty() ? QList<QStringList> {} : QList<QStringList> { report });
        QCOMPARE(d->channelCount(), channelCount);
    }

    // The questions, in order; the answers known without a question are
    // reported at once.
    void versionQueries_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<quint16>("release");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("firmware");
        QTest::addColumn<QList<QByteArray>>("asked"); // hex
        QTest::addColumn<QList<QStringList>>("reports");
        const QString na = QStringLiteral("N/A");
        const QByteArray bootInfoFrame = "0110010031330"
                                         "4";
        QTest::newRow("motherboard") << "MB" << quint16(1) << "LightSource Driver" << QByteArray("MB-0042")
                                     << QList<QByteArray> { padded("0100"), padded("0700"), padded("1500"),
                                                            padded("1600") }
                                     << QList<QStringList> {};
        QTest::newRow("DriverM") << "MB" << quint16(1) << "Optogenetics System" << QByteArray("DriverM V2.1")
                                 << QList<QByteArray> { padded("1500"), padded("4900"), padded("0700") }
                                 << QList<QStringList> { { "17", na, na, "2.0" } };
        QTest::newRow("in its bootloader") << "MB" << quint16(3) << "Motherboard Bootloader" << QByteArray("MB")
                                           << QList<QByteArray> {} << QList<QStringList> { { "3", na, na, "2.0" } };
        QTest::newRow("bootloader of release 2")
            << "MB" << quint16(2) << "Motherboard Bootloader" << QByteArray("MB")
            << QList<QByteArray> { padded(bootInfoFrame) } << QList<QStringList> {};
        QTest::newRow("pulse generator") << "HKTR" << quint16(16) << "HKTR Pulse Generator" << QByteArray("PG-7")
                                         << QList<QByteArray> { padded("0100"), padded("0700") }
                                         << QList<QStringList> {};
        QTest::newRow("release 1, NXLT text")
            << "HKTR" << quint16(1) << "NXLT Driver" << QByteArray("NXLT V2.4") << QList<QByteArray> {}
            << QList<QStringList> { { "2", na, na, "2.0" }, { "2", na, "2.4", na }, { "2", "2.4", na, na } };
        QTest::newRow("release 1, HKTR text without V")
            << "HKTR" << quint16(1) << "HKTR Pulse Generator" << QByteArray("HKTR-3") << QList<QByteArray> {}
            << QList<QStringList> { { "19", na, na, "2.0" }, { "19", na, "HKTR-3", na }, { "19", "HKTR-3", na, na } };
        QTest::newRow("release 1, other text asks")
            << "HKTR" << quint16(1) << "HKTR Pulse Generator" << QByteArray("PG V1.0")
            << QList<QByteArray> { padded("0100"), padded("0700") } << QList<QStringList> {};
        QTest::newRow("release 20") << "HKTR" << quint16(20) << "HKTR Pulse Generator" << QByteArray("PGV3.2")
                                    << QList<QByteArray> {} << QList<QStringList> { { "19", na, "3.2", na } };
    }
    void versionQueries()
    {
        QFETCH(QString, family);
        QFETCH(quint16, release);
        QFETCH(QString, name);
        QFETCH(QByteArray, firmware);
        QFETCH(QList<QByteArray>, asked);
        QFETCH(QList<QStringList>, reports);
        auto c = make(family);
        Heard heard(c.get());
        c->askForInstalledVersion(Board.release(release).name(name).firmware(firmware).build());
        QList<QByteArray> expected;
        for (const QByteArray& command : asked)
            expected.append(command.toHex());
        QCOMPARE(heard.commands, expected);
        QCOMPARE(heard.versions, reports);
    }

    // The bytes after each application command's code and 0x00; a code the
    // device does not take sends nothing.
    void applicationCommands_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("sent");
        const struct
        {
            const char* family;
            QList<int> plain;
            QList<QPair<int, QByteArray>> withBytes;
            QList<int> refused;
        } tables[] = {
            { "MB", { 1, 6, 7, 21, 22, 73 }, { { 2, "0200aabb" }, { 112, "700075bb75bb" } }, { 3, 16, 24, 28, 0 } },
            { "HKTR", { 1, 2, 6, 7, 21, 22, 112 }, {}, { 3, 16, 24, 28, 73 } },
            { "LS", { 1, 2, 6, 7, 21, 22, 24, 28, 73, 112 }, {}, { 3, 16, 23, 0 } },
        };
        for (const auto& t : tables) {
            for (int code : t.plain)
                QTest::addRow("%s %d", t.family, code)
                    << t.family << code << padded(QByteArray::number(code, 16).rightJustified(2, '0') + "00");
            for (const auto& [code, bytes] : t.withBytes)
                QTest::addRow("%s %d", t.family, code) << t.family << code << padded(bytes);
            for (int code : t.refused)
                QTest::addRow("%s %d refused", t.family, code) << t.family << code << QByteArray();
        }
    }
    void applicationCommands()
    {
        QFETCH(QString, family);
        QFETCH(int, code);
        QFETCH(QByteArray, sent);
        auto c = make(family);
        Heard heard(c.get());
        c->sendApplicationCommand(char(code), Board.release(1).name("LightSource Driver").build());
        QCOMPARE(heard.commands, sent.isEmpty() ? QList<QByteArray> {} : QList<QByteArray> { sent.toHex() });
    }

    // Command 112 first, then the reset the installed bootloader needs.
    void resetChoice_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("bootloaderVersion");
        QTest::addColumn<QByteArray>("prepare");
        QTest::addColumn<QByteArray>("reset");
        const QByteArray mbPrepare = padded("700075bb75bb");
        const QByteArray pgPrepare = padded("7000");
        QTest::newRow("motherboard, blank") << "MB"
                                            << "-1.-1" << mbPrepare << padded("0200aabb");
        QTest::newRow("motherboard, 2.0") << "MB"
                                          << "2.0" << mbPrepare << padded("0600");
        QTest::newRow("motherboard, N/A") << "MB"
                                          << "N/A" << mbPrepare << padded("0600");
        QTest::newRow("pulse generator, N/A") << "HKTR"
                                              << "N/A" << pgPrepare << padded("0200");
        QTest::newRow("pulse generator, blank") << "HKTR"
                                                << "-1.-1" << pgPrepare << padded("0200");
        QTest::newRow("pulse generator, 1.3") << "HKTR"
                                              << "1.3" << pgPrepare << padded("0600");
    }
    void resetChoice()
    {
        QFETCH(QString, family);
        QFETCH(QString, bootloaderVersion);
        QFETCH(QByteArray, prepare);
        QFETCH(QByteArray, reset);
        QTemporaryDir dir;
        const QString path = dir.filePath("Firmware_V1.hex");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(IntelHex::file({ { 0u, QByteArray::fromHex("0102030004050600") } }));
        file.close();

        auto c = make(family);
        Heard heard(c.get());
        nsFirmware::DeviceVersions versions;
        versions.bootloaderVersion = bootloaderVersion;
        QVERIFY(c->updateFirmware(path, Board.release(1).name("LightSource Driver").build(), versions));
        QCOMPARE(heard.commands, (QList<QByteArray> { prepare.toHex(), reset.toHex() }));
        QCOMPARE(heard.responses, QStringList { "113,0,5" });
        QCOMPARE(heard.clears, 1);
    }

    void refusedFileSendsNothing()
    {
        for (const QString family : { "MB", "HKTR" }) {
            auto c = make(family);
            Heard heard(c.get());
            QVERIFY(!c->updateFirmware("/nonexistent/Firmware_V1.hex",
                                       Board.release(1).name("LightSource Driver").build(), {}));
            QVERIFY(heard.commands.isEmpty());
            QVERIFY(heard.responses.isEmpty());
            QVERIFY(!c->isUpdating());
        }
    }

    // Erase, programming and CRC replies drive only an update of its own.
    void updateRepliesNeedAnUpdate()
    {
        for (const QString family : { "MB", "HKTR" }) {
            auto c = make(family);
            Heard heard(c.get());
            auto d = Board.release(3).name("Motherboard Bootloader").build();
            c->onCommandReceivedFromDevice(d, QByteArray::fromHex("0102aaaa04"));
            c->onCommandReceivedFromDevice(d, QByteArray::fromHex("0103aaaa04"));
            c->onCommandReceivedFromDevice(d, QByteArray::fromHex("01041234aaaa04"));
            QVERIFY(heard.commands.isEmpty());
            QVERIFY(heard.responses.isEmpty());
        }
    }
};

QTEST_MAIN(TestMotherboardFamily)
#include "tst_motherboardfamily.moc"
