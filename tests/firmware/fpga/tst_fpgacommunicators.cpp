#include "firmware/fpga/ConsoleChannelCommunicator.h"
#include "firmware/fpga/FpgaFamily.h"
#include "firmware/fpga/Microscope1ColorCommunicator.h"
#include "firmware/fpga/Microscope2ColorCommunicator.h"
#include "tests/firmware/core/TestFrames.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/IntelHex.h"
#include "tests/support/SignalWait.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int v : values)
        result.append(char(v));
    return result;
}

// The frame as the family's bootloader expects it, built here by hand.
QByteArray expectedFrame(const QByteArray& payload)
{
    const quint16 crc = TestFrames::crc16Xmodem(payload);
    QByteArray body = payload;
    body.append(char(crc & 0xFF));
    body.append(char(crc >> 8));
    QByteArray frame(1, 0x01);
    for (char c : body) {
        if (c == 0x01 || c == 0x04 || c == 0x10)
            frame.append(char(0x10));
        frame.append(c);
    }
    frame.append(char(0x04));
    return frame;
}

const DeviceRecordBuilder Bootloader = DeviceRecordBuilder::on(CommType::USB)
                                           .uid(QStringLiteral("04D8-F676-0103-07"))
                                           .name(QStringLiteral("Bootloader"))
                                           .release(3);
const DeviceRecordBuilder ConsoleBoard = Bootloader.channelFirmware("Console Channel");
// Release 2: its replies come without the bootloader's prefix byte.
const DeviceRecordBuilder TwoColorBoard = Bootloader.channelFirmware("Microscope2").release(2);

std::unique_ptr<AbstractFirmwareCommunicator> make(const QString& kind)
{
    if (kind == "console")
        return std::make_unique<ConsoleChannelCommunicator>();
    if (kind == "one-colour")
        return std::make_unique<Microscope1ColorCommunicator>();
    return std::make_unique<Microscope2ColorCommunicator>();
}

QList<QByteArray> framesOf(const QSignalSpy& spy)
{
    QList<QByteArray> frames;
    for (const auto& call : spy)
        frames.append(call.at(1).toByteArray());
    return frames;
}

// The console's re-send interval here: the test answers as a re-send goes
// out, well before the next one, even on a loaded machine.
constexpr int ResendMs = 250;

// Waits until the communicator has sent count frames; the wait ends on the
// send that makes the count, so the test answers before the next re-send.
bool waitForSends(ConsoleChannelCommunicator& communicator, const QSignalSpy& sent, int count)
{
    return SignalWait([&] { return sent.size() >= count; })
        .on(&communicator, &AbstractFirmwareCommunicator::sendCommandToDevice)
        .wait(10000);
}

bool reportedError(const QSignalSpy& reports)
{
    for (const auto& report : reports) {
        if (report.at(1).value<nsFirmware::MessageStatus>() == nsFirmware::Error)
            return true;
    }
    return false;
}

bool reportedSuccess(const QSignalSpy& reports)
{
    for (const auto& report : reports) {
        if (report.at(1).value<nsFirmware::MessageStatus>() == nsFirmware::Success)
            return true;
    }
    return false;
}

} // namespace

// The three FPGA communicators against the family's frames and replies,
// one communicator at a time and with no transport.
class TestFpgaCommunicators : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // An MCS file of `records` data records of 16 bytes; the data hold the
    // bytes the framing must escape.
    QString mcsFile(int records, const QString& name = QStringLiteral("image.mcs"))
    {
        QByteArray data;
        for (int i = 0; i < records * 16; ++i)
            data.append(char(i % 3 == 0 ? 0x10 : (i % 3 == 1 ? 0x01 : 0x04)));
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(IntelHex::file({ { 0x00000000, data } }));
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void commandFrames_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("payload");

        QTest::newRow("console boot info") << "console" << 1 << bytes({ 1, 0 });
        QTest::newRow("console erase sector 0") << "console" << 2 << bytes({ 2, 0, 0 });
        QTest::newRow("console jump") << "console" << 5 << bytes({ 5, 0, 0 });
        QTest::newRow("console 23") << "console" << 23 << bytes({ 23, 0 });
        QTest::newRow("console refuses 6") << "console" << 6 << QByteArray();
        QTest::newRow("one-colour boot info") << "one-colour" << 1 << bytes({ 1, 0 });
        QTest::newRow("one-colour whole erase") << "one-colour" << 2 << bytes({ 2, 0 });
        QTest::newRow("one-colour jump") << "one-colour" << 5 << bytes({ 5, 0 });
        QTest::newRow("one-colour refuses 23") << "one-colour" << 23 << QByteArray();
        QTest::newRow("two-colour boot info") << "two-colour" << 1 << bytes({ 1, 0 });
        QTest::newRow("two-colour erase sector 0") << "two-colour" << 2 << bytes({ 2, 0 });
        QTest::newRow("two-colour jump") << "two-colour" << 5 << bytes({ 5 });
        QTest::newRow("two-colour refuses 23") << "two-colour" << 23 << QByteArray();
        QTest::newRow("no CRC without a file") << "two-colour" << 4 << QByteArray();
    }

    void commandFrames()
    {
        QFETCH(QString, kind);
        QFETCH(int, code);
        QFETCH(QByteArray, payload);

        auto communicator = make(kind);
        QSignalSpy sent(communicator.get(), &AbstractFirmwareCommunicator::sendCommandToDevice);
        QCOMPARE(communicator->sendBootloaderCommand(char(code), ConsoleBoard.build()), !payload.isEmpty());
        if (payload.isEmpty()) {
            QCOMPARE(sent.size(), 0);
            return;
        }
        QCOMPARE(sent.size(), 1);
        const QByteArray frame = sent.at(0).at(1).toByteArray();
        QCOMPARE(frame, expectedFrame(payload));
        // The 0x01 of code 1 always travels escaped.
        if (code == 1)
            QCOMPARE(frame.mid(1, 2), bytes({ 0x10, 0x01 }));
    }

    // One erase per sector, the sector in each frame; the CRC of the
    // two-colour erase of sector 3 starts with 0x01 and travels escaped.
    void sectorEraseFrames_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("console") << "console" << bytes({ 0 });
        QTest::newRow("two-colour") << "two-colour" << QByteArray();
    }

    void sectorEraseFrames()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, tail);
        QList<IntelHex::Segment> segments;
        for (quint32 sector = 0; sector < 4; ++sector)
            segments.append({ sector << 16, QByteArray(32, char(sector)) });
        const QString path = m_dir.filePath(QStringLiteral("sectors.mcs"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(IntelHex::file(segments));
        file.close();

        auto communicator = make(kind);
        auto device = kind == "console" ? ConsoleBoard.release(2).build() : TwoColorBoard.build();
        QSignalSpy sent(communicator.get(), &AbstractFirmwareCommunicator::sendCommandToDevice);
        QVERIFY(communicator->updateFirmware(path, device, {}));
        for (int i = 0; i < 4; ++i)
            communicator->onCommandReceivedFromDevice(device, bytes({ 2, 0 }));
        QList<QByteArray> erases;
        for (const QByteArray& frame : framesOf(sent)) {
            if (TestFrames::payloadOf(frame)->at(0) == 2)
                erases.append(frame);
        }
        QCOMPARE(erases.size(), 5);
        for (int sector = 0; sector < 5; ++sector)
            QCOMPARE(erases.at(sector), expectedFrame(bytes({ 2, sector }) + tail));
        if (kind == "two-colour")
            QCOMPARE(erases.at(3).mid(3, 2), bytes({ 0x10, 0x01 }));
    }

    // 25 records go out as 11, 11 and 3, escaped where they must be; then
    // the CRC request of the image follows.
    void programmingPackets_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("console") << "console";
        QTest::newRow("two-colour") << "two-colour";
    }

    void programmingPackets()
    {
        QFETCH(QString, kind);
        auto communicator = make(kind);
        QSignalSpy sent(communicator.get(), &AbstractFirmwareCommunicator::sendCommandToDevice);
        QSignalSpy reports(communicator.get(), &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        auto device = kind == "console" ? ConsoleBoard.release(2).build() : TwoColorBoard.build();
        QVERIFY(communicator->updateFirmware(mcsFile(23), device, {}));
        // 23 data records between the address record and the end record.
        // One sector: its erase, then the reply that ends the erase loop.
        communicator->onCommandReceivedFromDevice(device, bytes({ 2, 0 }));
        communicator->onCommandReceivedFromDevice(device, bytes({ 2, 0 }));
        for (int i = 0; i < 3; ++i)
            communicator->onCommandReceivedFromDevice(device, bytes({ 3 }));

        // Records as binary: count, address (2), type, data, checksum.
        QList<int> recordsPerPacket;
        QByteArray crcRequest;
        for (const QByteArray& frame : framesOf(sent)) {
            const auto payload = TestFrames::payloadOf(frame);
            QVERIFY2(payload, frame.toHex().constData());
            QVERIFY(payload->size() <= 998);
            if (payload->at(0) == 3) {
                int records = 0;
                int i = 1;
                while (i < payload->size()) {
                    i += quint8(payload->at(i)) + 5;
                    ++records;
                }
                QCOMPARE(i, int(payload->size()));
                recordsPerPacket.append(records);
            }
            if (payload->at(0) == 4)
                crcRequest = *payload;
        }
        QCOMPARE(recordsPerPacket, (QList<int> { 11, 11, 3 }));
        // Escapes of 0x01, 0x04 and 0x10 in the data.
        QVERIFY(framesOf(sent).at(framesOf(sent).size() - 2).contains(bytes({ 0x10, 0x10 })));
        QCOMPARE(crcRequest.size(), 11);
        QCOMPARE(crcRequest.mid(1, 4), bytes({ 0, 0, 0, 0 }));
        QCOMPARE(quint8(crcRequest.at(5)) | quint8(crcRequest.at(6)) << 8, 23 * 16);
        QVERIFY(!reportedError(reports));
    }

    void consoleReplyPrefix_data()
    {
        QTest::addColumn<quint16>("release");
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QByteArray>("prepared");

        QTest::newRow("release 2 as it is") << quint16(2) << bytes({ 1, 2, 10 }) << bytes({ 1, 2, 10 });
        QTest::newRow("release 3 loses its first byte")
            << quint16(3) << bytes({ 9, 1, 0, 2, 10 }) << bytes({ 1, 0, 2, 10 });
        QTest::newRow("escaped code 4") << quint16(3) << bytes({ 1, 0x10, 0x04, 0x22, 0x33 })
                                        << bytes({ 0x04, 0x22, 0x33 });
        QTest::newRow("escaped byte 3") << quint16(3) << bytes({ 0, 0x10, 0x0A, 0x0B, 0x10, 0x0C })
                                        << bytes({ 0x10, 0x0A, 0x0B, 0x0C });
        QTest::newRow("empty") << quint16(3) << QByteArray() << QByteArray();
        QTest::newRow("one byte") << quint16(3) << bytes({ 1 }) << QByteArray();
    }

    void consoleReplyPrefix()
    {
        QFETCH(quint16, release);
        QFETCH(QByteArray, raw);
        QFETCH(QByteArray, prepared);
        QCOMPARE(FpgaFamily::prepareConsoleReply(ConsoleBoard.release(release).build(), raw), prepared);
    }

    void versionReplies_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<quint16>("release");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("versions");

        const QString na = QStringLiteral("N/A");
        QTest::newRow("console release 2: b1.b2")
            << "console" << quint16(2) << bytes({ 1, 2, 10, 7 }) << QStringList { na, na, "2.10" };
        QTest::newRow("console release 3: b2.b3")
            << "console" << quint16(3) << bytes({ 0, 1, 2, 10, 7 }) << QStringList { na, na, "10.7" };
        QTest::newRow("console 16") << "console" << quint16(2) << bytes({ 16, 1, 3, 4 })
                                    << QStringList { na, na, "3.4" };
        QTest::newRow("one-colour 16: all three")
            << "one-colour" << quint16(2) << bytes({ 16, 9, 3, 9, 7 }) << QStringList { "3.7", "3.7", "3.7" };
        QTest::newRow("one-colour in bootloader: b2.b3")
            << "one-colour" << quint16(2) << bytes({ 1, 9, 4, 2 }) << QStringList { na, na, "4.2" };
        QTest::newRow("two-colour 1: b1.b2")
            << "two-colour" << quint16(2) << bytes({ 1, -1, -1 }) << QStringList { na, na, "-1.-1" };
        // Too short: ignored, never read past the end.
        QTest::newRow("console short") << "console" << quint16(2) << bytes({ 1, 2 }) << QStringList();
        QTest::newRow("console short 16") << "console" << quint16(2) << bytes({ 16, 1, 3 }) << QStringList();
        QTest::newRow("one-colour short 16") << "one-colour" << quint16(2) << bytes({ 16, 9, 3, 9 }) << QStringList();
        QTest::newRow("two-colour short") << "two-colour" << quint16(2) << bytes({ 1 }) << QStringList();
    }

    void versionReplies()
    {
        QFETCH(QString, kind);
        QFETCH(quint16, release);
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, versions);

        auto communicator = make(kind);
        QSignalSpy installed(communicator.get(), &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater);
        auto device =
            kind == "console" ? ConsoleBoard.release(release).build() : TwoColorBoard.release(release).build();
        communicator->onCommandReceivedFromDevice(device, reply);
        if (versions.isEmpty()) {
            QCOMPARE(installed.size(), 0);
            return;
        }
        QCOMPARE(installed.size(), 1);
        const auto got = installed.at(0).at(1).value<nsFirmware::DeviceVersions>();
        QCOMPARE((QStringList { got.motherboardVersion, got.channelVersion, got.bootloaderVersion }), versions);
        QCOMPARE(installed.at(0).at(2).toString(), device->uid());
    }

    // Ethernet replies and those of other device types never reach the
    // two-colour microscope.
    void twoColourFilter()
    {
        Microscope2ColorCommunicator communicator;
        QSignalSpy installed(&communicator, &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater);
        communicator.onCommandReceivedFromDevice(TwoColorBoard.commType(CommType::Ethernet).build(),
                                                 bytes({ 1, 2, 3 }));
        auto usb3 = Bootloader.channelFirmware("Microscope USB3").release(2).build();
        communicator.onCommandReceivedFromDevice(usb3, bytes({ 1, 2, 3 }));
        QCOMPARE(installed.size(), 0);
        communicator.onCommandReceivedFromDevice(Bootloader.channelFirmware("Microscope2").build(),
                                                 bytes({ 0, 1, 2, 3 }));
        QCOMPARE(installed.size(), 1);
    }

    void consoleRefusesOtherFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("mcs") << "fw.mcs" << true;
        QTest::newRow("mcs in the suffix") << "fw.vmcs" << true;
        QTest::newRow("hex") << "fw.hex" << false;
        QTest::newRow("upper case") << "fw.MCS" << false;
    }

    void consoleRefusesOtherFiles()
    {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        ConsoleChannelCommunicator communicator;
        QSignalSpy sent(&communicator, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QCOMPARE(communicator.updateFirmware(mcsFile(2, name), ConsoleBoard.build(), {}), accepted);
        QCOMPARE(sent.size(), accepted ? 1 : 0);
        QCOMPARE(communicator.isUpdating() != 0, accepted);
    }

    // The CRC reply: compared on the console and the two-colour microscope;
    // any reply is success on the one-colour one, whose reply has no CRC.
    void crcReply_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("matching");
        QTest::addColumn<bool>("success");
        QTest::newRow("console match") << "console" << true << true;
        QTest::newRow("console mismatch") << "console" << false << false;
        QTest::newRow("two-colour match") << "two-colour" << true << true;
        QTest::newRow("two-colour mismatch") << "two-colour" << false << false;
        QTest::newRow("one-colour any") << "one-colour" << false << true;
    }

    void crcReply()
    {
        QFETCH(QString, kind);
        QFETCH(bool, matching);
        QFETCH(bool, success);
        auto communicator = make(kind);
        auto device = kind == "console" ? ConsoleBoard.release(2).build() : TwoColorBoard.build();
        QVERIFY(communicator->updateFirmware(mcsFile(1), device, {}));
        QSignalSpy sent(communicator.get(), &AbstractFirmwareCommunicator::sendCommandToDevice);
        QSignalSpy reports(communicator.get(), &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        QByteArray data;
        for (int i = 0; i < 16; ++i)
            data.append(char(i % 3 == 0 ? 0x10 : (i % 3 == 1 ? 0x01 : 0x04)));
        quint16 crc = TestFrames::crc16Xmodem(data);
        if (!matching)
            crc ^= 0x5555;
        QByteArray reply = bytes({ 4 });
        reply.append(char(crc & 0xFF));
        reply.append(char(crc >> 8));
        communicator->onCommandReceivedFromDevice(device, reply);
        QCOMPARE(reportedSuccess(reports), success);
        QCOMPARE(reportedError(reports), !success);
        const bool jumped = !sent.isEmpty() && TestFrames::payloadOf(framesOf(sent).last())->at(0) == 5;
        QCOMPARE(jumped, success);
        QCOMPARE(communicator->isUpdating(), 0);
    }

    // The microscopes have no re-send: a reply that does not come ends the
    // update as an error, in the erase as in the programming.
    void microscopeReplyTimeout_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("acknowledgements");
        QTest::addColumn<int>("failedStep");
        QTest::newRow("one-colour erase") << "one-colour" << -1 << 2;
        QTest::newRow("one-colour programming") << "one-colour" << 1 << 3;
        QTest::newRow("two-colour erase") << "two-colour" << -1 << 2;
        QTest::newRow("two-colour programming") << "two-colour" << 1 << 3;
    }

    void microscopeReplyTimeout()
    {
        QFETCH(QString, kind);
        QFETCH(int, acknowledgements);
        QFETCH(int, failedStep);
        std::unique_ptr<AbstractFirmwareCommunicator> communicator;
        if (kind == "one-colour") {
            auto one = std::make_unique<Microscope1ColorCommunicator>();
            one->setReplyTimeout(100);
            communicator = std::move(one);
        } else {
            auto two = std::make_unique<Microscope2ColorCommunicator>();
            two->setReplyTimeout(100);
            communicator = std::move(two);
        }
        auto device = TwoColorBoard.build();
        QSignalSpy reports(communicator.get(), &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        QVERIFY(communicator->updateFirmware(mcsFile(40), device, {}));
        if (acknowledgements >= 0) {
            communicator->onCommandReceivedFromDevice(device, bytes({ 2, 0 }));
            communicator->onCommandReceivedFromDevice(device, bytes({ 2, 0 }));
            for (int i = 0; i < acknowledgements; ++i)
                communicator->onCommandReceivedFromDevice(device, bytes({ 3 }));
        }
        // A short CRC-less reply changes nothing.
        communicator->onCommandReceivedFromDevice(device, bytes({ 9 }));
        QVERIFY(!reportedError(reports));
        QTRY_VERIFY_WITH_TIMEOUT(reportedError(reports), 10000);
        QCOMPARE(reports.last().at(0).value<char>(), char(failedStep));
        QVERIFY(!reportedSuccess(reports));
        QCOMPARE(communicator->isUpdating(), 0);
        // Once only.
        const auto count = reports.size();
        QTest::qWait(250);
        QCOMPARE(reports.size(), count);
    }

    // A sector that never erases stops the two-colour update with an error.
    void twoColourEraseBound()
    {
        Microscope2ColorCommunicator communicator;
        communicator.setEraseRetryLimitForTest(3);
        communicator.setReplyTimeout(60000);
        auto device = TwoColorBoard.build();
        QSignalSpy sent(&communicator, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QSignalSpy reports(&communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        QVERIFY(communicator.updateFirmware(mcsFile(4), device, {}));
        for (int i = 0; i < 10; ++i)
            communicator.onCommandReceivedFromDevice(device, bytes({ 2, 1 }));
        QVERIFY(reportedError(reports));
        QVERIFY(!reportedSuccess(reports));
        // Boot info, the first erase and three more.
        QCOMPARE(sent.size(), 5);
    }

    // The console re-sends the packet that was not acknowledged, and goes on
    // when the acknowledgement comes.
    void consoleResendsLostPacket()
    {
        ConsoleChannelCommunicator communicator;
        communicator.setRetryTimingForTest(ResendMs, 5);
        auto device = ConsoleBoard.release(2).build();
        QSignalSpy sent(&communicator, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QVERIFY(communicator.updateFirmware(mcsFile(12), device, {}));
        communicator.onCommandReceivedFromDevice(device, bytes({ 2, 0 }));
        communicator.onCommandReceivedFromDevice(device, bytes({ 2, 0 }));
        const QByteArray packet = framesOf(sent).last();
        QCOMPARE(TestFrames::payloadOf(packet)->at(0), char(3));
        QVERIFY(waitForSends(communicator, sent, 4));
        QCOMPARE(framesOf(sent).last(), packet);
        communicator.onCommandReceivedFromDevice(device, bytes({ 3 }));
        QVERIFY(framesOf(sent).last() != packet);
        QCOMPARE(TestFrames::payloadOf(framesOf(sent).last())->at(0), char(3));
    }

    // An erase whose reply is lost is sent again; one that is never answered
    // ends as an erase error after the bounded re-sends, never as success.
    void consoleEraseResent_data()
    {
        QTest::addColumn<int>("answeredAfter"); // re-sends before the reply; -1 never
        QTest::newRow("reply lost once") << 1;
        QTest::newRow("never answered") << -1;
    }

    void consoleEraseResent()
    {
        QFETCH(int, answeredAfter);
        ConsoleChannelCommunicator communicator;
        communicator.setRetryTimingForTest(ResendMs, 4);
        auto device = ConsoleBoard.release(2).build();
        QSignalSpy sent(&communicator, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QSignalSpy reports(&communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        QVERIFY(communicator.updateFirmware(mcsFile(12), device, {}));
        const QByteArray erase = expectedFrame(bytes({ 2, 0, 0 }));
        QCOMPARE(framesOf(sent), QList<QByteArray> { erase });
        if (answeredAfter < 0) {
            QTRY_VERIFY_WITH_TIMEOUT(reportedError(reports), 10000);
            QCOMPARE(reports.last().at(0).value<char>(), char(nsFirmware::EraseFlash));
            QVERIFY(!reportedSuccess(reports));
            QCOMPARE(framesOf(sent), QList<QByteArray>(5, erase));
            QCOMPARE(communicator.isUpdating(), 0);
            QTest::qWait(2 * ResendMs); // nothing more goes out
            QCOMPARE(sent.size(), 5);
            return;
        }
        QVERIFY(waitForSends(communicator, sent, 1 + answeredAfter));
        QCOMPARE(sent.size(), 1 + answeredAfter);
        QCOMPARE(framesOf(sent).last(), erase);
        communicator.onCommandReceivedFromDevice(device, bytes({ 2, 0 }));
        // The next sector follows, and the wait for it starts afresh.
        QCOMPARE(framesOf(sent).last(), expectedFrame(bytes({ 2, 1, 0 })));
        communicator.onCommandReceivedFromDevice(device, bytes({ 2, 0 }));
        QCOMPARE(TestFrames::payloadOf(framesOf(sent).last())->at(0), char(3));
        QVERIFY(!reportedError(reports));
    }
};

QTEST_GUILESS_MAIN(TestFpgaCommunicators)
#include "tst_fpgacommunicators.moc"
