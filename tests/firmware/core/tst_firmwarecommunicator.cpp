#include "firmware/core/ProgressMessages.h"
#include "firmware/files/MCSVivadoFirmwareFileManager.h"
#include "tests/firmware/core/TestCommunicator.h"
#include "tests/firmware/core/TestFrames.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/IntelHex.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int v : values)
        result.append(char(v));
    return result;
}

QByteArray hexText(const QList<QByteArray>& records, const QByteArray& lineEnd = "\n")
{
    return IntelHex::text(records, lineEnd);
}

// A reader whose image CRC is given; it holds no records.
class FixedCrcReader : public FirmwareFileManager
{
public:
    explicit FixedCrcReader(quint16 crc)
        : m_crc(crc)
    {
    }
    quint16 readNextRecord(uchar*, int) override { return 0; }
    FirmwareImageInformation getImageInformation() override { return { m_crc, 4, 0 }; }
    quint32 countSectors() override { return 0; }
    void clearImage() override { }

protected:
    Placement placeData(quint32 address) const override { return { true, address, address }; }
    uchar* image() const override { return nullptr; }
    FirmwareImageInformation summarise(quint32, quint32) const override { return {}; }

private:
    quint16 m_crc;
};

QList<int> progressOf(const QSignalSpy& spy, int code)
{
    QList<int> values;
    for (const QList<QVariant>& report : spy) {
        if (report.at(0).value<char>() == char(code))
            values.append(report.at(2).toInt());
    }
    return values;
}

QStringList textsOf(const QSignalSpy& spy)
{
    QStringList texts;
    for (const QList<QVariant>& line : spy)
        texts.append(line.at(0).toString());
    return texts;
}

const DeviceRecordBuilder Bootloader = DeviceRecordBuilder::on(CommType::USB)
                                           .uid(QStringLiteral("04D8-F57E-0103-05"))
                                           .name(QStringLiteral("Bootloader"))
                                           .release(3);

} // namespace

class TestFirmwareCommunicator : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_serial = 0;

    QString newFile(const QByteArray& content)
    {
        const QString name = m_dir.filePath(QStringLiteral("fw%1.hex").arg(++m_serial));
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return {};
        return name;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void registersItsTypesForQueuedSignals()
    {
        TestCommunicator communicator;
        QVERIFY(QMetaType::fromName("nsUpdater::DeviceIdentifier").isValid());
        QVERIFY(QMetaType::fromName("nsFirmware::DeviceVersions").isValid());

        QObject receiver;
        nsFirmware::DeviceVersions received;
        int type = -1;
        connect(
            &communicator, &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater, &receiver,
            [&](nsUpdater::DeviceIdentifier id, nsFirmware::DeviceVersions versions, QString) {
                type = id;
                received = versions;
            },
            Qt::QueuedConnection);
        nsFirmware::DeviceVersions versions;
        versions.bootloaderVersion = QStringLiteral("2.0");
        emit communicator.sendInstalledVersionToUpdater(nsUpdater::HKTR, versions, QStringLiteral("uid"));
        QTRY_COMPARE(type, int(nsUpdater::HKTR));
        QCOMPARE(received.bootloaderVersion, QStringLiteral("2.0"));
        QCOMPARE(received.motherboardVersion, QStringLiteral("N/A"));
    }

    // Six data records and the end record, two records per packet.
    void programmingReportsProgressAndVerifies()
    {
        QList<QByteArray> records;
        QByteArray image;
        for (int i = 0; i < 6; ++i) {
            const QByteArray data = bytes({ 0x10 * i, 0x01, 0x04, 0x10 + i });
            records << IntelHex::record(4 * i, 0, data);
            image += data;
        }
        records << IntelHex::record(0, 1, {});
        const QString name = newFile(hexText(records));

        TestCommunicator communicator;
        QSignalSpy frames(&communicator, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QSignalSpy reports(&communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        QSignalSpy lines(&communicator, &AbstractFirmwareCommunicator::sendMessageToProgressDialog);
        QSignalSpy fileLines(&communicator, &AbstractFirmwareCommunicator::sendFileProgressToProgressDialog);
        auto device = Bootloader.build();
        QVERIFY(communicator.updateFirmware(name, device, {}));
        QCOMPARE(communicator.isUpdating(), 1);

        communicator.onCommandReceivedFromDevice(device, bytes({ 0x01, 0x02, 0x00 }));
        QCOMPARE(progressOf(reports, 2), QList<int> { 15 });
        QVERIFY(communicator.retryTimerActive());
        for (int i = 0; i < 4; ++i)
            communicator.onCommandReceivedFromDevice(device, bytes({ 0x01, 0x03, 0x00 }));
        QCOMPARE(progressOf(reports, 3), (QList<int> { 39, 63, 87, 99 }));
        QVERIFY(!communicator.retryTimerActive());
        QCOMPARE(fileLines.last().at(0).toString(), QStringLiteral("Programming the device... [7 lines out of 7]"));
        QVERIFY(textsOf(lines).contains("Programming the device... [0 lines out of 7]"));
        QCOMPARE(textsOf(lines).mid(textsOf(lines).size() - 2),
                 (QStringList { "Programming the device... [Done]", "CRC verification..." }));
        QCOMPARE(communicator.sentCodes, (QList<char> { 2, 3, 3, 3, 3, 3, 4 }));

        // Frame 0 is the erase; each programming frame carries whole records.
        QByteArray programmed;
        for (int i = 1; i <= 4; ++i) {
            const auto payload = TestFrames::payloadOf(frames.at(i).at(1).toByteArray());
            QVERIFY(payload);
            QCOMPARE(payload->at(0), char(3));
            programmed += payload->mid(1);
        }
        QCOMPARE(programmed, records.join());
        const auto crcRequest = TestFrames::payloadOf(frames.at(5).at(1).toByteArray());
        QVERIFY(crcRequest);
        const quint16 imageCrc = TestFrames::crc16Xmodem(image);
        QCOMPARE(*crcRequest, bytes({ 4, 0, 0, 0, 0, 24, 0, 0, 0, imageCrc & 0xFF, imageCrc >> 8 }));

        communicator.onCommandReceivedFromDevice(device,
                                                 TestFrames::deviceFrame(bytes({ 4, imageCrc & 0xFF, imageCrc >> 8 })));
        QCOMPARE(reports.last().at(1).value<nsFirmware::MessageStatus>(), nsFirmware::Success);
        QCOMPARE(reports.last().at(2).toInt(), 100);
        QCOMPARE(communicator.sentCodes.last(), char(5));
        QCOMPARE(communicator.isUpdating(), 0);
        QVERIFY(QFile::exists(name));
        QVERIFY(!communicator.fileManager()->rewind());
    }

    void recordsThatDoNotFitWaitForTheNextPacket()
    {
        // Each record is 25 bytes that all need an escape: one per frame.
        const QList<QByteArray> records = { IntelHex::record(0x1010, 0, QByteArray(20, char(0x10))),
                                            IntelHex::record(0x1024, 0, QByteArray(20, char(0x04))),
                                            IntelHex::record(0, 1, {}) };
        const QString name = newFile(hexText(records, "\r\n"));
        TestCommunicator communicator;
        QSignalSpy frames(&communicator, &AbstractFirmwareCommunicator::sendCommandToDevice);
        auto device = Bootloader.build();
        QVERIFY(communicator.updateFirmware(name, device, {}));
        communicator.onCommandReceivedFromDevice(device, bytes({ 0x01, 0x02 }));
        for (int i = 0; i < 2; ++i)
            communicator.onCommandReceivedFromDevice(device, bytes({ 0x01, 0x03 }));
        QList<QByteArray> programmed;
        for (const QList<QVariant>& sent : frames) {
            const QByteArray frame = sent.at(1).toByteArray();
            QCOMPARE(frame.size(), 64);
            const auto payload = TestFrames::payloadOf(frame);
            QVERIFY(payload);
            if (payload->at(0) == 3)
                programmed << payload->mid(1);
        }
        // The second record waits for the next frame, where the end record joins it.
        QCOMPARE(programmed, (QList<QByteArray> { records[0], records[1] + records[2] }));
        QCOMPARE(communicator.sentCodes.last(), char(4));
    }

    void growingPayloadsTakeElevenRecordsWithinTheirLimit_data()
    {
        QTest::addColumn<int>("dataRecords");
        QTest::addColumn<int>("dataSize");
        QTest::addColumn<QList<int>>("packets");
        QTest::newRow("25 records") << 24 << 16 << QList<int> { 11, 11, 3 };
        // 105-byte records: nine fill a 1000-byte payload.
        QTest::newRow("long records") << 20 << 100 << QList<int> { 9, 9, 3 };
    }

    void growingPayloadsTakeElevenRecordsWithinTheirLimit()
    {
        QFETCH(int, dataRecords);
        QFETCH(int, dataSize);
        QFETCH(QList<int>, packets);
        QList<QByteArray> records;
        for (int i = 0; i < dataRecords; ++i)
            records << IntelHex::record(dataSize * i, 0, QByteArray(dataSize, char(i)));
        records << IntelHex::record(0, 1, {});
        auto reader = QSharedPointer<MCSVivadoFirmwareFileManager>::create();
        QVERIFY(
            reader->openFile(newFile(hexText(records, "\r\n")), AbstractFirmwareCommunicator::GrowingFrameReadBound));
        TestCommunicator communicator;
        communicator.setFileManager(reader);
        QByteArray all;
        QList<int> counts;
        bool filled = true;
        for (;;) {
            const int before = reader->currentLine();
            const QByteArray payload = communicator.growingPayload(&filled);
            if (!filled)
                break;
            QVERIFY(payload.size() + 2 <= AbstractFirmwareCommunicator::GrowingFrameLimit);
            counts << reader->currentLine() - before;
            all += payload.mid(1);
        }
        QCOMPARE(counts, packets);
        QCOMPARE(all, records.join());
    }

    void sectorErase_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<QList<int>>("progress");
        QTest::addColumn<QStringList>("sectorLines");
        QTest::addColumn<int>("eraseCommands");

        QTest::newRow("three sectors") << 3 << QList<int> { 0, 0, 0, 0 } << QList<int> { 33, 66, 100, 0 }
                                       << QStringList { "1 out of 3", "2 out of 3", "3 out of 3" } << 3;
        QTest::newRow("no sector") << 0 << QList<int> { 0 } << QList<int> { 0 } << QStringList {} << 0;
        QTest::newRow("failed erase repeats") << 2 << QList<int> { 0, 5, 0, 0 } << QList<int> { 50, 50, 100, 0 }
                                              << QStringList { "1 out of 2", "1 out of 2", "2 out of 2" } << 3;
    }

    void sectorErase()
    {
        QFETCH(int, count);
        QFETCH(QList<int>, statuses);
        QFETCH(QList<int>, progress);
        QFETCH(QStringList, sectorLines);
        QFETCH(int, eraseCommands);

        const QString name = newFile(hexText(
            { IntelHex::record(0, 4, bytes({ 0, 0 })), IntelHex::record(0, 0, "abcd"), IntelHex::record(0, 1, {}) }));
        auto reader = QSharedPointer<MCSVivadoFirmwareFileManager>::create();
        QVERIFY(reader->openFile(name));
        TestCommunicator communicator;
        communicator.setFileManager(reader);
        communicator.setSectorCount(quint32(count));
        QSignalSpy reports(&communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        QSignalSpy lines(&communicator, &AbstractFirmwareCommunicator::sendMessageToProgressDialog);
        auto device = Bootloader.build();
        for (int status : statuses)
            communicator.onSectorErased(device, char(status));

        QCOMPARE(progressOf(reports, 2), progress);
        QStringList sectors;
        for (const QString& line : textsOf(lines)) {
            if (line.startsWith("Erasing the old mcs file... [Sector "))
                sectors << line.mid(36, line.size() - 37);
        }
        QCOMPARE(sectors, sectorLines);
        QCOMPARE(int(communicator.sentCodes.count(2)), eraseCommands);
        QCOMPARE(communicator.sentCodes.last(), char(3));
        QVERIFY(communicator.eraseDone());
        QVERIFY(textsOf(lines).contains("Erasing the old mcs file... [Done]"));

        // Replies after the erase phase change nothing.
        communicator.onSectorErased(device, 0);
        QCOMPARE(progressOf(reports, 2), progress);
    }

    // A sector that never erases ends the update as an error after its
    // bounded retries; a success in between starts the count afresh.
    void sectorEraseRetriesAreBounded_data()
    {
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<int>("eraseCommands");
        QTest::addColumn<bool>("failed");

        QTest::newRow("two retries then success") << QList<int> { 0, 1, 1, 0 } << 4 << false;
        QTest::newRow("third failure stops") << QList<int> { 0, 1, 1, 1, 1 } << 3 << true;
        QTest::newRow("count restarts per sector") << QList<int> { 0, 1, 1, 0, 1, 1, 0 } << 7 << false;
    }

    void sectorEraseRetriesAreBounded()
    {
        QFETCH(QList<int>, statuses);
        QFETCH(int, eraseCommands);
        QFETCH(bool, failed);

        const QString name = newFile(hexText({ IntelHex::record(0, 0, "abcd"), IntelHex::record(0, 1, {}) }));
        auto reader = QSharedPointer<MCSVivadoFirmwareFileManager>::create();
        QVERIFY(reader->openFile(name));
        TestCommunicator communicator;
        communicator.setFileManager(reader);
        communicator.setSectorCount(8);
        communicator.limitEraseRetries(2);
        communicator.setUpdating(1);
        QSignalSpy reports(&communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        QSignalSpy lines(&communicator, &AbstractFirmwareCommunicator::sendMessageToProgressDialog);
        auto device = Bootloader.build();
        for (int status : statuses)
            communicator.onSectorErased(device, char(status));

        QCOMPARE(int(communicator.sentCodes.count(2)), eraseCommands);
        const bool errorReported =
            !reports.isEmpty() && reports.last().at(1).value<nsFirmware::MessageStatus>() == nsFirmware::Error;
        QCOMPARE(errorReported, failed);
        QCOMPARE(textsOf(lines).contains("Error: The device could not erase its memory, update stopped"), failed);
        QCOMPARE(communicator.isUpdating() == 0, failed);
        // Nothing more goes out after the failure.
        communicator.onSectorErased(device, 1);
        communicator.onSectorErased(device, 0);
        if (failed)
            QCOMPARE(int(communicator.sentCodes.count(2)), eraseCommands);
    }

    void mcsWholeEraseStartsProgramming()
    {
        const QString name = newFile(hexText({ IntelHex::record(0, 0, "abcd"), IntelHex::record(0, 1, {}) }));
        auto reader = QSharedPointer<MCSVivadoFirmwareFileManager>::create();
        QVERIFY(reader->openFile(name));
        TestCommunicator communicator;
        communicator.setFileManager(reader);
        QSignalSpy lines(&communicator, &AbstractFirmwareCommunicator::sendMessageToProgressDialog);
        communicator.onMcsEraseDone(Bootloader.build());
        QCOMPARE(textsOf(lines), (QStringList { "Erasing the old mcs file... [Done]",
                                                "It can take up to 30 seconds before the programming starts",
                                                "Programming the device... [0 lines out of 2]" }));
        QCOMPARE(communicator.sentCodes, QList<char> { 3 });
    }

    void nothingToProgramIsAnError()
    {
        TestCommunicator communicator;
        communicator.setFileManager(QSharedPointer<FixedCrcReader>::create(0x1234));
        QSignalSpy reports(&communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        QSignalSpy frames(&communicator, &AbstractFirmwareCommunicator::sendCommandToDevice);
        communicator.onHexEraseDone(Bootloader.build());
        QCOMPARE(reports.last().at(0).value<char>(), char(3));
        QCOMPARE(reports.last().at(1).value<nsFirmware::MessageStatus>(), nsFirmware::Error);
        QCOMPARE(reports.last().at(2).toInt(), -1);
        QVERIFY(!communicator.retryTimerActive());
        QCOMPARE(frames.count(), 0);
    }

    void crcReply_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("imageCrc");
        QTest::addColumn<bool>("framedDevice");
        QTest::addColumn<int>("status");

        const int none = -1;
        QTest::newRow("escaped low byte")
            << bytes({ 4, 0x10, 0x34, 0x12 }) << 0x1234 << false << int(nsFirmware::Success);
        QTest::newRow("zero before") << bytes({ 4, 0x00, 0x34, 0x12 }) << 0x1234 << false << int(nsFirmware::Success);
        QTest::newRow("plain") << bytes({ 4, 0x34, 0x12 }) << 0x1234 << false << int(nsFirmware::Success);
        QTest::newRow("plain high 0x10") << bytes({ 4, 0x34, 0x10, 0xFF }) << 0x1034 << false
                                         << int(nsFirmware::Success);
        QTest::newRow("mismatch") << bytes({ 4, 0x35, 0x12 }) << 0x1234 << false << int(nsFirmware::Error);
        QTest::newRow("one byte") << bytes({ 4 }) << 0x1234 << false << none;
        QTest::newRow("short escaped") << bytes({ 4, 0x10, 0x34 }) << 0x1234 << false << none;
        for (int crc : { 0x0410, 0x1001, 0x0104, 0x1010, 0x0401, 0x1234 }) {
            QByteArray frame = TestFrames::deviceFrame(bytes({ 4, crc & 0xFF, crc >> 8 }));
            frame.append(QByteArray(64 - frame.size(), char(0xFF)));
            QTest::addRow("framed 0x%04X", crc) << frame << crc << true << int(nsFirmware::Success);
        }
        QTest::newRow("framed mismatch") << TestFrames::deviceFrame(bytes({ 4, 0x10, 0x04 })) << 0x1004 << true
                                         << int(nsFirmware::Error);
    }

    void crcReply()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, imageCrc);
        QFETCH(bool, framedDevice);
        QFETCH(int, status);

        TestCommunicator communicator;
        communicator.setFileManager(QSharedPointer<FixedCrcReader>::create(quint16(imageCrc)));
        communicator.setUpdating(1);
        QSignalSpy reports(&communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        auto device = Bootloader.build();
        if (framedDevice)
            communicator.onCommandReceivedFromDevice(device, reply);
        else
            communicator.onCrcReceived(device, reply);
        if (status < 0) {
            QCOMPARE(reports.count(), 0);
            return;
        }
        QCOMPARE(reports.count(), 1);
        QCOMPARE(reports.at(0).at(0).value<char>(), char(4));
        QCOMPARE(int(reports.at(0).at(1).value<nsFirmware::MessageStatus>()), status);
        QCOMPARE(reports.at(0).at(2).toInt(), status == nsFirmware::Success ? 100 : -1);
        QCOMPARE(communicator.sentCodes.contains(5), status == nsFirmware::Success);
    }

    void bootloaderPrefix_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("release");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray crcReply = bytes({ 0x01, 0x10, 0x04, 0x34, 0x12 });
        QTest::newRow("bootloader release 3") << "Bootloader" << 3 << crcReply << bytes({ 0x04, 0x34, 0x12 });
        QTest::newRow("bootloader release 2") << "Bootloader" << 2 << crcReply << crcReply;
        QTest::newRow("application") << "HLX_58" << 3 << crcReply << crcReply;
        QTest::newRow("other code") << "Bootloader" << 3 << bytes({ 0x01, 0x03, 0x00 }) << bytes({ 0x03, 0x00 });
        QTest::newRow("one byte") << "Bootloader" << 3 << bytes({ 0x01 }) << QByteArray();
        QTest::newRow("empty") << "Bootloader" << 3 << QByteArray() << QByteArray();
    }

    void bootloaderPrefix()
    {
        QFETCH(QString, name);
        QFETCH(int, release);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, expected);
        const auto device = DeviceRecordBuilder().name(name).release(quint16(release)).build();
        QCOMPARE(AbstractFirmwareCommunicator::removeBootloaderPrefix(device, reply), expected);
        QCOMPARE(AbstractFirmwareCommunicator::hasBootloaderRelease(device), release == 2);
    }

    void versionTexts()
    {
        QCOMPARE(AbstractFirmwareCommunicator::versionText(char(0xFF), char(0xFF)), QStringLiteral("-1.-1"));
        QCOMPARE(AbstractFirmwareCommunicator::versionText(0x02, 0x0A), QStringLiteral("2.10"));
        QCOMPARE(AbstractFirmwareCommunicator::versionText(char(0x80), 0x01), QStringLiteral("-128.1"));
        QCOMPARE(AbstractFirmwareCommunicator::versionText(bytes({ 7, 2, 5 }), 1, 2), QStringLiteral("2.5"));
        QVERIFY(AbstractFirmwareCommunicator::versionText(bytes({ 7, 2 }), 1, 2).isNull());
    }

    void shortRepliesAreIgnored()
    {
        TestCommunicator communicator;
        communicator.setFileManager(QSharedPointer<FixedCrcReader>::create(0x1234));
        QSignalSpy reports(&communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        auto device = Bootloader.build();
        communicator.onCommandReceivedFromDevice(device, QByteArray());
        communicator.onCommandReceivedFromDevice(device, bytes({ 0x01 }));
        communicator.onCommandReceivedFromDevice(device, bytes({ 0x01, 0x10, 0x04 }));
        communicator.onCommandReceivedFromDevice(device, bytes({ 0x01, 0x10, 0x04, 0x10 }));
        QCOMPARE(reports.count(), 0);
    }

    void reconnectTarget_data()
    {
        using Route = nsFirmware::ReconnectRoute;
        QTest::addColumn<int>("route");
        QTest::addColumn<QString>("signal");
        QTest::newRow("by uid") << int(Route::BootloaderByUid) << "uid";
        QTest::newRow("serial bootloader") << int(Route::SerialBootloaderBySerialNumber) << "serial";
        QTest::newRow("usb3 communicator") << int(Route::USB3Communicator) << "usb3";
    }

    void reconnectTarget()
    {
        QFETCH(int, route);
        QFETCH(QString, signal);
        auto device = Bootloader.build();
        device->setName(QStringLiteral("Device"));
        device->setSerialNumber(QStringLiteral("SN42"));
        TestCommunicator communicator;
        communicator.setUpdateDevice(device);
        communicator.setReconnectRoute(nsFirmware::ReconnectRoute(route));
        QSignalSpy byUid(&communicator, &AbstractFirmwareCommunicator::sendReconnectToBootloader);
        QSignalSpy bySerial(&communicator, &AbstractFirmwareCommunicator::sendReconnectToSerialBootloader);
        QSignalSpy byType(&communicator, &AbstractFirmwareCommunicator::sendReconnectToUSB3Communicator);
        QVERIFY(QMetaObject::invokeMethod(&communicator, "reconnectToBootloader"));
        QCOMPARE(byUid.count(), signal == "uid" ? 1 : 0);
        QCOMPARE(bySerial.count(), signal == "serial" ? 1 : 0);
        QCOMPARE(byType.count(), signal == "usb3" ? 1 : 0);
        if (signal == "uid")
            QCOMPARE(byUid.at(0).at(0).toString(), QStringLiteral("04D8-F57E-0103-05"));
        if (signal == "serial")
            QCOMPARE(bySerial.at(0).at(0).toString(), QStringLiteral("SN42"));
    }

    void reconnectTimerFiresOnceAfterThreeSeconds()
    {
        TestCommunicator communicator;
        communicator.setUpdateDevice(Bootloader.build());
        QSignalSpy byUid(&communicator, &AbstractFirmwareCommunicator::sendReconnectToBootloader);
        QElapsedTimer elapsed;
        elapsed.start();
        communicator.startReconnect();
        QVERIFY(byUid.wait(5000));
        QVERIFY(elapsed.elapsed() >= 2900);
        QVERIFY(!communicator.reconnectTimerActive());
        QTest::qWait(200);
        QCOMPARE(byUid.count(), 1);
    }

    void reconnectedDeviceIsErased()
    {
        TestCommunicator communicator;
        QSignalSpy reports(&communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        QSignalSpy lines(&communicator, &AbstractFirmwareCommunicator::sendMessageToProgressDialog);
        // An update that has ended erases nothing.
        communicator.onReconnectedToBootloaderReceived(Bootloader.build());
        QCOMPARE(reports.count(), 0);
        QVERIFY(communicator.sentCodes.isEmpty());

        communicator.setUpdating(1);
        communicator.onReconnectedToBootloaderReceived(Bootloader.build());
        QCOMPARE(reports.count(), 1);
        QCOMPARE(reports.at(0).at(0).value<char>(), char(1));
        QCOMPARE(textsOf(lines), (QStringList { "Resetting to bootloader... [Done]", "Erasing the old hex file..." }));
        QCOMPARE(communicator.sentCodes, (QList<char> { 1, 2 }));
    }

    void unansweredPacketIsResentAfterFiveSeconds()
    {
        const QString name = newFile(hexText({ IntelHex::record(0, 0, "abcd"), IntelHex::record(0, 1, {}) }));
        TestCommunicator communicator;
        QSignalSpy frames(&communicator, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QSignalSpy lines(&communicator, &AbstractFirmwareCommunicator::sendMessageToProgressDialog);
        auto device = Bootloader.build();
        QVERIFY(communicator.updateFirmware(name, device, {}));
        communicator.onCommandReceivedFromDevice(device, bytes({ 0x01, 0x02 }));
        QCOMPARE(communicator.retryInterval(), 5000);
        const QByteArray packet = frames.last().at(1).toByteArray();
        const int before = int(frames.count());
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(frames.wait(6500));
        QVERIFY2(elapsed.elapsed() >= 4900, qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(frames.count(), before + 1);
        QCOMPARE(frames.last().at(1).toByteArray(), packet);
        QCOMPARE(frames.last().at(0).value<QSharedPointer<MovraDeviceInfo>>(), device);
        QCOMPARE(lines.last().at(0).toString(),
                 QStringLiteral("Warning: No confirmation received, retrying to send lines"));
    }

    void retriesAreBounded()
    {
        static_assert(AbstractFirmwareCommunicator::MaxRetries * AbstractFirmwareCommunicator::RetryIntervalMs >= 60000,
                      "a minute of re-sends before giving up");
        const QString name = newFile(hexText({ IntelHex::record(0, 0, "abcd"), IntelHex::record(0, 1, {}) }));
        TestCommunicator communicator;
        communicator.shortenRetries(10, 4);
        QSignalSpy frames(&communicator, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QSignalSpy reports(&communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        auto device = Bootloader.build();
        QVERIFY(communicator.updateFirmware(name, device, {}));
        communicator.onCommandReceivedFromDevice(device, bytes({ 0x01, 0x02 }));
        const int before = int(frames.count());
        QTRY_VERIFY(!communicator.retryTimerActive());
        QCOMPARE(frames.count(), before + 4);
        QCOMPARE(reports.last().at(0).value<char>(), char(3));
        QCOMPARE(reports.last().at(1).value<nsFirmware::MessageStatus>(), nsFirmware::Error);
        QTest::qWait(100);
        QCOMPARE(frames.count(), before + 4);
    }

    void acknowledgementRestartsTheRetryCount()
    {
        QList<QByteArray> records;
        for (int i = 0; i < 8; ++i)
            records << IntelHex::record(4 * i, 0, "abcd");
        records << IntelHex::record(0, 1, {});
        const QString name = newFile(hexText(records));
        TestCommunicator communicator;
        communicator.shortenRetries(20, 3);
        QSignalSpy reports(&communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        auto device = Bootloader.build();
        QVERIFY(communicator.updateFirmware(name, device, {}));
        communicator.onCommandReceivedFromDevice(device, bytes({ 0x01, 0x02 }));
        for (int i = 0; i < 3; ++i) {
            QTest::qWait(50);
            communicator.onCommandReceivedFromDevice(device, bytes({ 0x01, 0x03 }));
        }
        for (const QList<QVariant>& report : reports)
            QVERIFY(report.at(1).value<nsFirmware::MessageStatus>() != nsFirmware::Error);
    }

    void destructionDeletesOnlyADownloadedFile_data()
    {
        QTest::addColumn<bool>("serverUpdate");
        QTest::newRow("server update") << true;
        QTest::newRow("manual update") << false;
    }

    void destructionDeletesOnlyADownloadedFile()
    {
        QFETCH(bool, serverUpdate);
        const QString name = newFile(hexText({ IntelHex::record(0, 0, "abcd"), IntelHex::record(0, 1, {}) }));
        {
            TestCommunicator communicator;
            communicator.setServerUpdate(serverUpdate);
            QVERIFY(communicator.updateFirmware(name, Bootloader.build(), {}));
        }
        QCOMPARE(QFile::exists(name), !serverUpdate);
    }

    void refusedFileStartsNothing()
    {
        QByteArray text = hexText({ IntelHex::record(0, 0, "abcd"), IntelHex::record(0, 1, {}) });
        text[text.indexOf('\n') - 1] = 'X';
        const QString name = newFile(text);
        TestCommunicator communicator;
        QSignalSpy frames(&communicator, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QVERIFY(!communicator.updateFirmware(name, Bootloader.build(), {}));
        QCOMPARE(frames.count(), 0);
        QCOMPARE(communicator.isUpdating(), 0);
    }
};

QTEST_GUILESS_MAIN(TestFirmwareCommunicator)
#include "tst_firmwarecommunicator.moc"
