#include "firmware/bootloader/BootloaderCommunicator.h"
#include "firmware/bootloader/BootloaderPIC32Communicator.h"
#include "firmware/bootloader/HLX58Communicator.h"
#include "firmware/bootloader/NXLTV2Communicator.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/IntelHex.h"
#include "tests/support/sim/SimCrc16.h"
#include "tests/support/sim/SimFrameCodec.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Each family's driver at the same place on the bus; its product id differs.
const DeviceRecordBuilder Driver = DeviceRecordBuilder::on(CommType::USB).vid(0x04D8).usbLocation(1, 3, 5);

std::unique_ptr<AbstractFirmwareCommunicator> make(const QString& family)
{
    if (family == "Bootloader")
        return std::make_unique<BootloaderCommunicator>();
    if (family == "PIC32")
        return std::make_unique<BootloaderPIC32Communicator>();
    if (family == "HLX58")
        return std::make_unique<HLX58Communicator>();
    return std::make_unique<NXLTV2Communicator>();
}

QByteArray padded(const QByteArray& bytes)
{
    return bytes + QByteArray(64 - bytes.size(), char(0xFF));
}

// What one communicator says, in the order it says it.
struct Heard
{
    explicit Heard(AbstractFirmwareCommunicator* c)
    {
        QObject::connect(c, &AbstractFirmwareCommunicator::sendCommandToDevice, c,
                         [this](QSharedPointer<MovraDeviceInfo>, QByteArray data) { commands.append(data.toHex()); });
        QObject::connect(c, &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater, c,
                         [this](nsUpdater::DeviceIdentifier type, nsFirmware::DeviceVersions v, QString uid) {
                             versions.append(QStringList { QString::number(int(type)), v.motherboardVersion,
                                                           v.channelVersion, v.bootloaderVersion, uid });
                         });
        QObject::connect(c, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater, c,
                         [this](char msg, nsFirmware::MessageStatus status, int progress) {
                             responses.append(
                                 QStringLiteral("%1,%2,%3").arg(int(quint8(msg))).arg(int(status)).arg(progress));
                         });
        QObject::connect(c, &AbstractFirmwareCommunicator::sendMessageToProgressDialog, c,
                         [this](QString line) { lines.append(line); });
        QObject::connect(c, &AbstractFirmwareCommunicator::sendClearAvailableDevices, c, [this] { ++clears; });
        QObject::connect(c, &AbstractFirmwareCommunicator::sendReconnectToBootloader, c,
                         [this](QString uid) { reconnects.append(uid); });
    }
    QList<QByteArray> commands;
    QList<QStringList> versions;
    QStringList responses;
    QStringList lines;
    QStringList reconnects;
    int clears = 0;
};

} // namespace

class TestBootloaderFamily : public QObject
{
    Q_OBJECT

private slots:
    void applicationCommands_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("sent");
        for (int code : { 1, 2, 3, 6, 7 }) {
            QTest::addRow("HLX58 %d", code) << "HLX58" << code << (code != 3);
            QTest::addRow("NXLTV2 %d", code) << "NXLTV2" << code << (code == 6 || code == 7);
            QTest::addRow("Bootloader %d", code) << "Bootloader" << code << false;
            QTest::addRow("PIC32 %d", code) << "PIC32" << code << false;
        }
    }
    void applicationCommands()
    {
        QFETCH(QString, family);
        QFETCH(int, code);
        QFETCH(bool, sent);
        auto c = make(family);
        Heard heard(c.get());
        c->sendApplicationCommand(char(code), Driver.pid(0xF57E).release(1).name("HLX_58 Rotary Joint").build());
        if (!sent) {
            QVERIFY(heard.commands.isEmpty());
            return;
        }
        QCOMPARE(heard.commands.size(), 1);
        QByteArray expected(64, char(0xFF));
        expected[0] = char(code);
        expected[1] = 0;
        QCOMPARE(heard.commands.first(), expected.toHex());
    }

    void versionQueries_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<quint16>("productId");
        QTest::addColumn<quint16>("release");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<QByteArray>>("asked"); // hex
        QTest::addColumn<QByteArray>("reply");        // raw
        QTest::addColumn<QStringList>("reported");    // type, motherboard, channel, bootloader

        const QByteArray command1 = padded(QByteArray::fromHex("01100100313304")).toHex();
        const QByteArray app1 = padded(QByteArray::fromHex("0100")).toHex();
        const QByteArray app7 = padded(QByteArray::fromHex("0700")).toHex();
        QTest::newRow("rotary joint firmware")
            << "HLX58" << quint16(0xF57E) << quint16(1) << "HLX_58 Rotary Joint" << QList<QByteArray> { app1, app7 }
            << QByteArray::fromHex("070205") << QStringList { "0", "2.5", "2.5", "N/A" };
        QTest::newRow("rotary joint bootloader, in its application")
            << "HLX58" << quint16(0xF57E) << quint16(1) << "HLX_58 Rotary Joint" << QList<QByteArray> { app1, app7 }
            << QByteArray::fromHex("01020a") << QStringList { "0", "N/A", "N/A", "2.10" };
        QTest::newRow("rotary joint, blank version")
            << "HLX58" << quint16(0xF57E) << quint16(1) << "HLX_58 Rotary Joint" << QList<QByteArray> { app1, app7 }
            << QByteArray::fromHex("07ff80") << QStringList { "0", "-1.-128", "-1.-128", "N/A" };
        QTest::newRow("rotary joint bootloader frame")
            << "HLX58" << quint16(0xF676) << quint16(3) << "HLX_58 Bootloader" << QList<QByteArray> { app1, app7 }
            << QByteArray::fromHex("0101000203") << QStringList { "3", "N/A", "N/A", "2.3" };
        QTest::newRow("photometry driver")
            << "NXLTV2" << quint16(0xF222) << quint16(1) << "KZR410" << QList<QByteArray> { app7 }
            << QByteArray::fromHex("070301") << QStringList { "1", "3.1", "N/A", "N/A" };
        QTest::newRow("photometry driver in its bootloader")
            << "NXLTV2" << quint16(0xF333) << quint16(1) << "PIC32 Bootloader" << QList<QByteArray> { app7 }
            << sim::encodeFrame(QByteArray::fromHex("010102")) << QStringList { "3", "N/A", "N/A", "1.2" };
        QTest::newRow("PIC32 bootloader")
            << "PIC32" << quint16(0xF333) << quint16(1) << "PIC32 Bootloader" << QList<QByteArray> { command1 }
            << sim::encodeFrame(QByteArray::fromHex("010102")) << QStringList { "3", "N/A", "N/A", "1.2" };
        QTest::newRow("PIC32 decodes whatever the name")
            << "PIC32" << quint16(0xF333) << quint16(1) << "Loader" << QList<QByteArray> { command1 }
            << sim::encodeFrame(QByteArray::fromHex("010104")) << QStringList { "4", "N/A", "N/A", "1.4" };
        QTest::newRow("bootloader release 2 asks")
            << "Bootloader" << quint16(0xF57E) << quint16(2) << "Bootloader" << QList<QByteArray> { command1 }
            << QByteArray::fromHex("01000205") << QStringList { "3", "N/A", "N/A", "2.5" };
    }
    void versionQueries()
    {
        QFETCH(QString, family);
        QFETCH(quint16, productId);
        QFETCH(quint16, release);
        QFETCH(QString, name);
        QFETCH(QList<QByteArray>, asked);
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, reported);
        auto c = make(family);
        Heard heard(c.get());
        const auto d = Driver.pid(productId).release(release).name(name).build();
        c->askForInstalledVersion(d);
        QCOMPARE(heard.commands, asked);
        QVERIFY(heard.versions.isEmpty());
        c->onCommandReceivedFromDevice(d, reply.size() < 64 ? padded(reply) : reply);
        QCOMPARE(heard.versions.size(), 1);
        QCOMPARE(heard.versions.first().mid(0, 4), reported);
        QCOMPARE(heard.versions.first().at(4), d->uid());
    }

    void bootloaderThatCannotBeAsked()
    {
        BootloaderCommunicator c;
        Heard heard(&c);
        const auto d = Driver.pid(0xF57E).release(3).name("Bootloader").build();
        c.askForInstalledVersion(d);
        QVERIFY(heard.commands.isEmpty());
        QCOMPARE(heard.versions, (QList<QStringList> { { "3", "N/A", "N/A", "2.0", d->uid() } }));
        // A device in its application is neither asked nor reported.
        c.askForInstalledVersion(Driver.pid(0xF57E).release(3).name("HLX_58").build());
        QCOMPARE(heard.versions.size(), 1);
        QVERIFY(heard.commands.isEmpty());
    }

    void filters_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<quint16>("productId");
        QTest::addColumn<QString>("name");
        QTest::addRow("HLX58 ignores a photometry console") << "HLX58" << quint16(0xF222) << "KZR410";
        QTest::addRow("NXLTV2 ignores a Sarvanti Gen2 disk") << "NXLTV2" << quint16(0xF348) << "Sarvanti Gen2 Disk";
        QTest::addRow("PIC32 ignores other product ids") << "PIC32" << quint16(0xF676) << "Bootloader";
    }
    void filters()
    {
        QFETCH(QString, family);
        QFETCH(quint16, productId);
        QFETCH(QString, name);
        auto c = make(family);
        Heard heard(c.get());
        const auto d = Driver.pid(productId).release(1).name(name).build();
        for (const QByteArray& reply : { QByteArray::fromHex("070205"), QByteArray::fromHex("010205"),
                                         sim::encodeFrame(QByteArray::fromHex("010205")) })
            c->onCommandReceivedFromDevice(d, padded(reply.left(64)));
        QVERIFY(heard.versions.isEmpty());
    }

    void shortRepliesAreIgnored()
    {
        for (const QString family : { "HLX58", "NXLTV2", "Bootloader" }) {
            auto c = make(family);
            Heard heard(c.get());
            const auto d = Driver.pid(0xF57E).release(1).name("HLX_58 Rotary Joint").build();
            c->onCommandReceivedFromDevice(d, QByteArray::fromHex("07"));
            c->onCommandReceivedFromDevice(d, QByteArray::fromHex("0102"));
            c->onCommandReceivedFromDevice(d, QByteArray());
            QVERIFY2(heard.versions.isEmpty(), qPrintable(family));
        }
    }

    void updateStarts_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("pic32File");
        QTest::addColumn<QByteArray>("firstCommand");
        QTest::addColumn<QStringList>("responses");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("reconnects");
        const QByteArray reset = padded(QByteArray::fromHex("0600")).toHex();
        const QByteArray erase = padded(QByteArray::fromHex("01020062660"
                                                            "4"))
                                     .toHex();
        QTest::newRow("rotary joint resets") << "HLX58" << false << reset << QStringList { "113,0,5" }
                                             << QStringList { "Resetting to bootloader..." } << true;
        QTest::newRow("photometry driver resets") << "NXLTV2" << true << reset << QStringList { "113,0,5" }
                                                  << QStringList { "Resetting to bootloader..." } << true;
        QTest::newRow("bootloader erases") << "Bootloader" << false << erase << QStringList {}
                                           << QStringList { "Erasing the old hex file..." } << false;
        QTest::newRow("PIC32 bootloader erases")
            << "PIC32" << true << erase << QStringList {} << QStringList { "Erasing the old hex file..." } << false;
    }
    void updateStarts()
    {
        QFETCH(QString, family);
        QFETCH(bool, pic32File);
        QFETCH(QByteArray, firstCommand);
        QFETCH(QStringList, responses);
        QFETCH(QStringList, lines);
        QFETCH(bool, reconnects);
        QTemporaryDir dir;
        const QString path = dir.filePath("fw.hex");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(IntelHex::file({ { pic32File ? 0x1D000000u : 0u, QByteArray::fromHex("0102030004050600") } }));
        file.close();

        auto c = make(family);
        Heard heard(c.get());
        const auto d = Driver.pid(0xF57E).release(1).name("HLX_58 Rotary Joint").build();
        QVERIFY(!c->updateFirmware(dir.filePath("missing.hex"), d, {}));
        QVERIFY(heard.commands.isEmpty());
        QCOMPARE(c->isUpdating(), 0);

        QVERIFY(c->updateFirmware(path, d, {}));
        QCOMPARE(c->isUpdating(), 1);
        QCOMPARE(heard.commands, QList<QByteArray> { firstCommand });
        QCOMPARE(heard.responses, responses);
        QCOMPARE(heard.lines, lines);
        QCOMPARE(heard.clears, 1);
        if (reconnects) {
            QElapsedTimer clock;
            clock.start();
            QTRY_COMPARE_WITH_TIMEOUT(heard.reconnects, QStringList { d->uid() }, 3600);
            QVERIFY(clock.elapsed() >= 2850); // a coarse timer, within 5 %
        }
    }

    // The PIC32 and photometry families check the CRC themselves.
    void ownCrcCheck_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("matches");
        for (const char* family : { "PIC32", "NXLTV2" }) {
            QTest::addRow("%s match", family) << family << true;
            QTest::addRow("%s mismatch", family) << family << false;
        }
    }
    void ownCrcCheck()
    {
        QFETCH(QString, family);
        QFETCH(bool, matches);
        QTemporaryDir dir;
        const QString path = dir.filePath("fw.hex");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray image = QByteArray::fromHex("1122334455667788");
        file.write(IntelHex::file({ { 0x1D000000u, image } }));
        file.close();

        auto c = make(family);
        Heard heard(c.get());
        const auto d = Driver.pid(0xF333).release(1).name("PIC32 Bootloader").build();
        QVERIFY(c->updateFirmware(path, d, {}));
        heard.commands.clear();
        heard.responses.clear();
        heard.lines.clear();
        const quint16 crc = sim::crc16(image) ^ (matches ? 0 : 1);
        c->onCommandReceivedFromDevice(d, sim::encodeFrame(QByteArray(1, 4) + char(crc & 0xFF) + char(crc >> 8)));
        if (matches) {
            QCOMPARE(heard.lines, QStringList { "CRC verification... [Done]" });
            QCOMPARE(heard.responses, QStringList { "4,2,100" });
            QCOMPARE(heard.commands, QList<QByteArray> { padded(QByteArray::fromHex("010500f5ff04")).toHex() });
            QCOMPARE(c->isUpdating(), 0);
        } else {
            QCOMPARE(heard.responses, QStringList { "4,1,-1" });
            QVERIFY(heard.commands.isEmpty());
            // The mismatch ended the update: a matching CRC after it does not jump.
            QCOMPARE(c->isUpdating(), 0);
            const quint16 right = sim::crc16(image);
            c->onCommandReceivedFromDevice(d,
                                           sim::encodeFrame(QByteArray(1, 4) + char(right & 0xFF) + char(right >> 8)));
            QVERIFY(heard.commands.isEmpty());
            QCOMPARE(heard.responses, QStringList { "4,1,-1" });
        }
    }

    // A version query must never drive another device's update.
    void versionQueryIgnoresUpdateReplies()
    {
        for (const QString family : { "HLX58", "NXLTV2", "Bootloader", "PIC32" }) {
            auto c = make(family);
            Heard heard(c.get());
            const auto d = Driver.pid(0xF333).release(3).name("PIC32 Bootloader").build();
            for (const char* payload : { "02", "03", "041234" })
                c->onCommandReceivedFromDevice(d, sim::encodeFrame(QByteArray::fromHex(payload)));
            QVERIFY2(heard.commands.isEmpty(), qPrintable(family));
            QVERIFY2(heard.responses.isEmpty(), qPrintable(family));
        }
    }
};

QTEST_GUILESS_MAIN(TestBootloaderFamily)
#include "tst_bootloaderfamily.moc"
