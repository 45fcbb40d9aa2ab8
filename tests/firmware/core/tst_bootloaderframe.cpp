#include "firmware/core/BootloaderFrame.h"
#include "firmware/core/RegisterFrame.h"
#include "firmware/files/FirmwareFileManager.h"
#include "tests/firmware/core/TestCommunicator.h"
#include "tests/firmware/core/TestFrames.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QtTest>

namespace {
QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int v : values)
        result.append(char(v));
    return result;
}

QByteArray withTestCrc(const QByteArray& payload)
{
    const quint16 crc = TestFrames::crc16Xmodem(payload);
    return payload + bytes({ crc & 0xFF, crc >> 8 });
}
} // namespace

class TestBootloaderFrame : public QObject
{
    Q_OBJECT

private slots:
    void crcCheckValues()
    {
        const QByteArray check("123456789");
        QCOMPARE(FirmwareFileManager::calculateCRC(check.constData(), int(check.size())), quint16(0x31C3));
        QCOMPARE(TestFrames::crc16Xmodem(check), quint16(0x31C3));

        quint8 table[256];
        RegisterFrame::fillCrc8Table(table);
        QCOMPARE(RegisterFrame::crc8(table, check.constData(), int(check.size())), quint8(0xF4));

        TestCommunicator communicator;
        // A register frame: '#', the covered bytes, then the CRC position.
        QCOMPARE(communicator.computeCRC8(QByteArray("#") + check + QByteArray(1, 0)), quint8(0xF4));
    }

    void crc16MatchesBitwiseReference_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one byte") << bytes({ 0x80 });
        QTest::newRow("all values") << [] {
            QByteArray all;
            for (int i = 0; i < 256; ++i)
                all.append(char(i));
            return all;
        }();
    }

    void crc16MatchesBitwiseReference()
    {
        QFETCH(QByteArray, data);
        QCOMPARE(FirmwareFileManager::calculateCRC(data.constData(), int(data.size())), TestFrames::crc16Xmodem(data));
    }

    void commandFrames_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("crc");
        QTest::newRow("read boot info") << 1 << 0x3331;
        QTest::newRow("erase") << 2 << 0x6662;
        QTest::newRow("jump") << 5 << 0xFFF5;
    }

    void commandFrames()
    {
        QFETCH(int, code);
        QFETCH(int, crc);
        const QByteArray payload = bytes({ code, 0x00 });
        QCOMPARE(TestFrames::crc16Xmodem(payload), quint16(crc));

        TestCommunicator communicator;
        QSignalSpy sent(&communicator, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QVERIFY(communicator.sendBootloaderCommand(char(code), DeviceRecordBuilder().build()));
        QCOMPARE(sent.count(), 1);
        const QByteArray frame = sent.at(0).at(1).toByteArray();
        QCOMPARE(frame.size(), 64);
        QCOMPARE(TestFrames::payloadOf(frame).value_or(QByteArray("none")), payload);
        QVERIFY(!communicator.retryTimerActive());
    }

    void readBootInfoFrameBytes()
    {
        TestCommunicator communicator;
        QSignalSpy sent(&communicator, &AbstractFirmwareCommunicator::sendCommandToDevice);
        QVERIFY(communicator.sendBootloaderCommand(1, DeviceRecordBuilder().build()));
        QByteArray expected = bytes({ 0x01, 0x10, 0x01, 0x00, 0x31, 0x33, 0x04 });
        expected.append(QByteArray(57, char(0xFF)));
        QCOMPARE(sent.at(0).at(1).toByteArray(), expected);
    }

    void escapesOnlyTheThreeFramingBytes()
    {
        const QByteArray payload = bytes({ 3, 0x04, 0x05, 0x11, 0x01, 0x10, 0x00 });
        const QByteArray frame = BootloaderFrame::growingFrame(BootloaderFrame::withCrc(payload));
        QCOMPARE(frame.mid(1, 9), bytes({ 3, 0x10, 0x04, 0x05, 0x11, 0x10, 0x01, 0x10, 0x10 }));
        QCOMPARE(TestFrames::payloadOf(frame).value_or(QByteArray("none")), payload);
    }

    void growingFrameLength_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("no escapes") << bytes({ 2, 0x00, 0x00 });
        QTest::newRow("escapes") << bytes({ 1, 0x00, 0x10, 0x04 });
        QTest::newRow("long") << QByteArray(600, char(0x10));
    }

    void growingFrameLength()
    {
        QFETCH(QByteArray, payload);
        const QByteArray withCrc = BootloaderFrame::withCrc(payload);
        int escapes = 0;
        for (char c : withCrc)
            escapes += (c == 0x01 || c == 0x04 || c == 0x10);
        const QByteArray frame = BootloaderFrame::growingFrame(withCrc);
        QCOMPARE(frame.size(), payload.size() + 4 + escapes);
        QCOMPARE(frame.back(), char(0x04));
        QCOMPARE(TestFrames::payloadOf(frame).value_or(QByteArray("none")), payload);
    }

    void prefixedFrame()
    {
        const QByteArray payload = bytes({ 24, 0x00 });
        const QByteArray withPrefix = BootloaderFrame::prefixedFixedFrame(BootloaderFrame::withCrc(payload), true);
        QCOMPARE(withPrefix.size(), 64);
        QCOMPARE(withPrefix.left(2), bytes({ 24, 0x00 }));
        QCOMPARE(TestFrames::payloadOf(withPrefix, 2).value_or(QByteArray("none")), payload);
        const QByteArray plain = BootloaderFrame::prefixedFixedFrame(BootloaderFrame::withCrc(payload), false);
        QCOMPARE(plain, BootloaderFrame::fixedFrame(BootloaderFrame::withCrc(payload)));
        QCOMPARE(TestFrames::payloadOf(plain).value_or(QByteArray("none")), payload);
    }

    void fixedFrameRefusesWhatDoesNotFit()
    {
        // 31 bytes that all need a DLE make 62: the most a fixed frame holds.
        QCOMPARE(BootloaderFrame::fixedFrame(QByteArray(31, char(0x10))).size(), 64);
        QVERIFY(BootloaderFrame::fixedFrame(QByteArray(32, char(0x10))).isEmpty());
        QVERIFY(BootloaderFrame::fixedFrame(QByteArray(63, char(0x20))).isEmpty());
        QVERIFY(BootloaderFrame::prefixedFixedFrame(QByteArray(31, char(0x10)), true).isEmpty());
        QCOMPARE(BootloaderFrame::prefixedFixedFrame(QByteArray(30, char(0x10)), true).size(), 64);
    }

    void decoder_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expectedStart");

        QByteArray example = bytes({ 0x01, 0x10, 0x01, 0x00, 0x31, 0x33, 0x04 });
        example.append(QByteArray(57, char(0xFF)));
        QTest::newRow("read boot info frame") << example << bytes({ 0x01, 0x00, 0x31, 0x33 });

        const QByteArray valid = TestFrames::deviceFrame(bytes({ 4, 0x34, 0x12 }));
        QTest::newRow("two SOH") << bytes({ 0x01, 0x55, 0x66 }) + valid << withTestCrc(bytes({ 4, 0x34, 0x12 }));
        QTest::newRow("escaped SOH is content")
            << TestFrames::deviceFrame(bytes({ 7, 0x01, 0x10 })) << bytes({ 7, 0x01, 0x10 });

        // An EOT whose CRC does not match is skipped and decoding goes on.
        QTest::newRow("bad CRC then more bytes")
            << bytes({ 0x01, 0x02, 0x00, 0x00, 0x00, 0x04, 0x09 }) << bytes({ 0x02, 0x00, 0x00, 0x00, 0x09 });
    }

    void decoder()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expectedStart);
        const QByteArray decoded = BootloaderFrame::decode(input);
        QCOMPARE(decoded.size(), 255);
        QCOMPARE(decoded.left(expectedStart.size()), expectedStart);
    }

    void decoderStopsAtTheValidEot()
    {
        const QByteArray payload = bytes({ 1, 2, 3 });
        const QByteArray input = TestFrames::deviceFrame(payload) + bytes({ 0x55, 0x66 });
        const QByteArray decoded = AbstractFirmwareCommunicator::decodeBootloaderFrame(input);
        const QByteArray withCrc = withTestCrc(payload);
        QCOMPARE(decoded.left(withCrc.size()), withCrc);
        QCOMPARE(decoded.at(withCrc.size()), char(0));
    }

    void decoderNeverWritesPastItsOutput()
    {
        // 400 bytes of content before a valid frame: dropped, the frame after
        // the next SOH still decodes.
        const QByteArray valid = TestFrames::deviceFrame(bytes({ 4, 0x34, 0x12 }));
        const QByteArray input = QByteArray(1, 0x01) + QByteArray(400, char(0x55)) + valid;
        QCOMPARE(BootloaderFrame::decode(input).left(3), bytes({ 4, 0x34, 0x12 }));

        // Content that never ends within the output decodes to zeros.
        const QByteArray endless = QByteArray(1, 0x01) + QByteArray(400, char(0x55)) + QByteArray(1, 0x04);
        QCOMPARE(BootloaderFrame::decode(endless), QByteArray(255, 0));
    }

    void registerWrite()
    {
        TestCommunicator communicator;
        const char data[] = { 0x19, 0x00 };
        const QByteArray frame = communicator.buildRegisterWriteCommand(0x600, data, 2);
        QCOMPARE(frame, bytes({ '#', 0x07, 0x06, 0x00, 0x00, 0x06, 0x00, 0x19, 0x00, 0x2B, 0x0D }));
        QCOMPARE(TestFrames::crc8Smbus(frame.mid(1, 8)), quint8(0x2B));
    }

    void registerWriteLengthBound()
    {
        TestCommunicator communicator;
        const QByteArray data(252, char(0x11));
        const QByteArray longest = communicator.buildRegisterWriteCommand(0x10, data.constData(), 251);
        QCOMPARE(longest.size(), 7 + 251 + 2);
        QCOMPARE(quint8(longest.at(2)), quint8(255));
        QCOMPARE(quint8(longest.at(longest.size() - 2)), TestFrames::crc8Smbus(longest.mid(1, longest.size() - 3)));
        // One more byte would wrap the length byte.
        QVERIFY(communicator.buildRegisterWriteCommand(0x10, data.constData(), 252).isEmpty());
    }

    void shortRegisterRead()
    {
        TestCommunicator communicator;
        QCOMPARE(communicator.buildRegisterReadCommand(0, 1, 2), bytes({ '#', 0x08, 0x02, 0x00, 0x01, 0x61, 0x0D }));
    }
};

QTEST_GUILESS_MAIN(TestBootloaderFrame)
#include "tst_bootloaderframe.moc"
