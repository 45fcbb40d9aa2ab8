#include "firmware/microscope/MicroscopeUSB3ChannelCommunicator.h"
#include "tests/firmware/microscope/RegisterDecoder.h"
#include "tests/firmware/microscope/sim/SimUsb3Channel.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/IntelHex.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Frames = QList<QByteArray>;

const DeviceRecordBuilder Driver = DeviceRecordBuilder::usb3(0x04B4, 0x00F1).release(8); // GQZ3

const QString NA = QStringLiteral("N/A");

// The channel's payloads of the frames sent so far; every frame must be a
// valid register write to 0x600.
QList<QByteArray> payloads(const QSignalSpy& sent)
{
    QList<QByteArray> out;
    for (const auto& call : sent) {
        const DecodedRegister d = decodeRegister(call.at(1).toByteArray());
        if (!d.valid || !d.write || d.address != 0x600)
            return { QByteArray("invalid frame ") + call.at(1).toByteArray().toHex() };
        out.append(d.data);
    }
    return out;
}

} // namespace

class TestMicroscopeUSB3Channel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writeRecords(const QString& name, const QList<int>& dataSizes)
    {
        QList<QByteArray> records;
        quint16 address = 0;
        for (int size : dataSizes) {
            QByteArray data(size, '\0');
            for (int i = 0; i < size; ++i)
                data[i] = char(address + i);
            records.append(IntelHex::record(address, 0, data));
            address = quint16(address + size);
        }
        records.append(IntelHex::record(0, 1, {}));
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(IntelHex::text(records, "\r\n"));
        return path;
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QSharedPointer<MovraDeviceInfo>>();
        qRegisterMetaType<nsFirmware::MessageStatus>("nsFirmware::MessageStatus");
        qRegisterMetaType<nsUpdater::DeviceIdentifier>("nsUpdater::DeviceIdentifier");
        qRegisterMetaType<nsFirmware::DeviceVersions>("nsFirmware::DeviceVersions");
        QVERIFY(m_dir.isValid());
    }

    void programmingPacket_data()
    {
        QTest::addColumn<QList<int>>("dataSizes"); // a record is its data + 5 bytes
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("f");
        QTest::newRow("21-byte records: two") << QList<int> { 16, 16, 16 } << 2 << 42 << 56;
        QTest::newRow("7 then 21-byte records: three") << QList<int> { 2, 16, 16, 16 } << 3 << 49 << 56;
        QTest::newRow("7-byte records: five") << QList<int> { 2, 2, 2, 2, 2, 2 } << 5 << 35 << 56;
        QTest::newRow("one 69-byte record") << QList<int> { 64, 16 } << 1 << 69 << 72;
        // n = 56 would overflow a payload of n + 3: it grows to the next size.
        QTest::newRow("two 28-byte records") << QList<int> { 23, 23, 23 } << 2 << 56 << 64;
    }

    void programmingPacket()
    {
        QFETCH(QList<int>, dataSizes);
        QFETCH(int, records);
        QFETCH(int, n);
        QFETCH(int, f);
        const QString path = writeRecords(QStringLiteral("packet.hex"), dataSizes);
        MicroscopeUSB3ChannelCommunicator c;
        QSignalSpy sent(&c, &AbstractFirmwareCommunicator::sendCommandToDevice);
        const auto device = Driver.uid(QStringLiteral("04B4-00F1-0203-04")).build();
        QVERIFY(c.updateFirmware(path, device, { NA, NA, NA }));
        c.onCommandReceivedFromDevice(device, QByteArray("\x18\x00\x00", 3));
        const QList<QByteArray> p = payloads(sent);
        QCOMPARE(p.size(), 2);
        QCOMPARE(p.at(0), QByteArray("\x18\x00\x00", 3));
        const QByteArray packet = p.at(1);
        QCOMPARE(packet.size(), f + 3);
        QCOMPARE(int(packet.at(0)), 25);
        QCOMPARE(int(packet.at(1)), 0);
        QCOMPARE(int(quint8(packet.at(2))), f);
        QCOMPARE(int(quint8(packet.at(3))), n);
        QByteArray expected;
        quint16 address = 0;
        for (int i = 0; i < records; ++i) {
            QByteArray data(dataSizes.at(i), '\0');
            for (int j = 0; j < data.size(); ++j)
                data[j] = char(address + j);
            expected += IntelHex::record(address, 0, data);
            address = quint16(address + data.size());
        }
        QCOMPARE(packet.mid(4, n).toHex(), expected.toHex());
        QCOMPARE(packet.mid(4 + n), QByteArray(f - 1 - n, '\0'));
        // The register write's length byte holds the whole payload.
        QCOMPARE(int(quint8(sent.at(1).at(1).toByteArray().at(2))), packet.size() + 4);
    }

    // A whole update against the simulated channel: its flash ends equal to
    // the file's image only when every packet arrived whole.
    void throughTheChannel_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("errorCode"); // 0: success
        QTest::newRow("updated") << "" << 0;
        QTest::newRow("CRC mismatch") << "stuck byte" << 26;
        QTest::newRow("erase status error") << "erase error" << 24;
    }

    void throughTheChannel()
    {
        QFETCH(QString, fault);
        QFETCH(int, errorCode);
        QByteArray image(3000, '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char((i * 37 + 11) & 0xFF);
        const QString path = m_dir.filePath(QStringLiteral("channel.hex"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            // Records of 28 bytes too: n = 56 goes whole into a bigger packet.
            file.write(IntelHex::file({ { 0u, image } }, 23));
        }
        sim::Usb3Channel channel;
        if (fault == "stuck byte")
            channel.setStuckByte(1234, char(~image.at(1234)));
        else if (fault == "erase error")
            channel.setEraseStatus(1);

        MicroscopeUSB3ChannelCommunicator c;
        c.setReplyTimeout(2000);
        const auto device = Driver.uid(QStringLiteral("u")).build();
        QList<QPair<int, int>> responses;
        connect(&c, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater, this,
                [&](char code, nsFirmware::MessageStatus status, int) {
                    responses.append({ int(code), int(status) });
                });
        connect(&c, &AbstractFirmwareCommunicator::sendCommandToDevice, this,
                [&](QSharedPointer<MovraDeviceInfo>, QByteArray frame) {
                    const QByteArray reply = channel.receive(frame);
                    if (!reply.isEmpty())
                        QMetaObject::invokeMethod(
                            &c, [&c, device, reply] { c.onCommandReceivedFromDevice(device, reply); },
                            Qt::QueuedConnection);
                });
        QVERIFY(c.updateFirmware(path, device, { NA, NA, NA }));
        QVERIFY(QTest::qWaitFor(
            [&] {
                for (const auto& r : responses) {
                    if (r.second != nsFirmware::InProgress)
                        return true;
                }
                return false;
            },
            10000));
        QTest::qWait(100);
        QCOMPARE(channel.rejectedFrames(), 0);
        if (errorCode == 0) {
            QCOMPARE(responses.last(), qMakePair(26, int(nsFirmware::Success)));
            QVERIFY(channel.jumped());
            QCOMPARE(channel.flash().left(image.size()).toHex(), image.toHex());
        } else {
            QCOMPARE(responses.last(), qMakePair(errorCode, int(nsFirmware::Error)));
            QVERIFY(!channel.jumped());
        }
    }

    void channelEntersItsBootloaderFirst_data()
    {
        QTest::addColumn<QString>("channelVersion");
        QTest::addColumn<bool>("entered");
        QTest::newRow("channel version read") << "1.2.3" << true;
        QTest::newRow("no channel version") << NA << false;
    }

    void channelEntersItsBootloaderFirst()
    {
        QFETCH(QString, channelVersion);
        QFETCH(bool, entered);
        const QString path = writeRecords(QStringLiteral("enter.hex"), { 16 });
        MicroscopeUSB3ChannelCommunicator c;
        QSignalSpy sent(&c, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(c.updateFirmware(path, Driver.uid(QStringLiteral("u")).build(), { NA, channelVersion, NA }));
        const qint64 elapsed = clock.elapsed();
        QList<QByteArray> expected;
        if (entered)
            expected.append(QByteArray("\x1C\x00\x00", 3));
        expected.append(QByteArray("\x18\x00\x00", 3));
        QCOMPARE(payloads(sent), expected);
        QVERIFY(entered ? elapsed >= 1000 : elapsed < 1000);
    }

    void unreadableFileSendsNothing()
    {
        MicroscopeUSB3ChannelCommunicator c;
        QSignalSpy sent(&c, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QVERIFY(!c.updateFirmware(m_dir.filePath(QStringLiteral("missing.hex")),
                                  Driver.uid(QStringLiteral("u")).build(), { NA, NA, NA }));
        QCOMPARE(sent.size(), 0);
    }

    // Failures end the update as an error and send nothing more.
    void failures_data()
    {
        QTest::addColumn<Frames>("replies");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("progress");
        QTest::newRow("erase status error") << Frames { QByteArray("\x18\x00\x01", 3) } << 24 << 15;
        QTest::newRow("CRC mismatch") << Frames { QByteArray("\x18\x00\x00", 3), QByteArray("\x19\x00", 2),
                                                  QByteArray("\x1A\x00\x12\x34", 4) }
                                      << 26 << -1;
        QTest::newRow("no reply to the erase") << Frames() << 24 << -1;
        QTest::newRow("no reply to the programming") << Frames { QByteArray("\x18\x00\x00", 3) } << 25 << -1;
    }

    void failures()
    {
        QFETCH(Frames, replies);
        QFETCH(int, code);
        QFETCH(int, progress);
        const QString path = writeRecords(QStringLiteral("fail.hex"), { 16 });
        MicroscopeUSB3ChannelCommunicator c;
        c.setReplyTimeout(200);
        QSignalSpy sent(&c, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QSignalSpy responses(&c, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        const auto device = Driver.uid(QStringLiteral("u")).build();
        QVERIFY(c.updateFirmware(path, device, { NA, NA, NA }));
        for (const QByteArray& reply : replies)
            c.onCommandReceivedFromDevice(device, reply);
        QTRY_VERIFY_WITH_TIMEOUT(!responses.isEmpty()
                                     && responses.last().at(1).value<nsFirmware::MessageStatus>() == nsFirmware::Error,
                                 2000);
        QCOMPARE(int(responses.last().at(0).value<char>()), code);
        QCOMPARE(responses.last().at(2).toInt(), progress);
        for (const auto& r : responses)
            QVERIFY(r.at(1).value<nsFirmware::MessageStatus>() != nsFirmware::Success);
        const int sentAtError = sent.size();
        QTest::qWait(400);
        QCOMPARE(sent.size(), sentAtError);
        QCOMPARE(c.isUpdating(), 0);
    }

    // Another driver's replies never drive this update.
    void secondDeviceIgnored()
    {
        const QString path = writeRecords(QStringLiteral("second.hex"), { 16 });
        MicroscopeUSB3ChannelCommunicator c;
        QSignalSpy sent(&c, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QSignalSpy responses(&c, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        QVERIFY(c.updateFirmware(path, Driver.uid(QStringLiteral("first")).build(), { NA, NA, NA }));
        c.onCommandReceivedFromDevice(Driver.uid(QStringLiteral("second")).build(), QByteArray("\x18\x00\x00", 3));
        c.onCommandReceivedFromDevice(Driver.uid(QStringLiteral("second")).build(), QByteArray("\x18\x00\x01", 3));
        QCOMPARE(sent.size(), 1);
        QCOMPARE(responses.size(), 0);
    }

    void versionReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("versions");
        QTest::newRow("bootloader") << QByteArray("\x17\x00\x02\x09\x05", 5) << QStringList { NA, NA, "2.5" };
        QTest::newRow("channel") << QByteArray("\x16\x00\x04\x01\x07", 5) << QStringList { NA, "4.1.7", NA };
        QTest::newRow("short") << QByteArray("\x17\x00\x02\x09", 4) << QStringList();
    }

    void versionReplies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, versions);
        const QString path = writeRecords(QStringLiteral("version.hex"), { 16 });
        MicroscopeUSB3ChannelCommunicator c;
        QSignalSpy reports(&c, &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater);
        const auto device = Driver.uid(QStringLiteral("u")).build();
        QVERIFY(c.updateFirmware(path, device, { NA, NA, NA }));
        c.onCommandReceivedFromDevice(device, reply);
        QCOMPARE(reports.size(), versions.isEmpty() ? 0 : 1);
        if (versions.isEmpty())
            return;
        const auto v = reports.first().at(1).value<nsFirmware::DeviceVersions>();
        QCOMPARE(QStringList({ v.motherboardVersion, v.channelVersion, v.bootloaderVersion }), versions);
        // A TV720's reply is not the channel's.
        auto tv720 = Driver.uid(QStringLiteral("u")).build();
        tv720->setPid(0x00F2);
        tv720->setReleaseNumber(9);
        c.onCommandReceivedFromDevice(tv720, reply);
        QCOMPARE(reports.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestMicroscopeUSB3Channel)
#include "tst_microscopeusb3channel.moc"
