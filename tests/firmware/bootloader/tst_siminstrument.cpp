#include "tests/support/IntelHex.h"
#include "tests/support/sim/SimCrc16.h"
#include "tests/support/sim/SimFrameCodec.h"
#include "tests/support/sim/SimInstrument.h"

#include <QtTest>

using sim::Instrument;

namespace {

QByteArray padded(const QByteArray& bytes, char fill = char(0xFF))
{
    return bytes + QByteArray(64 - bytes.size(), fill);
}

QByteArray applicationCommand(quint8 code)
{
    QByteArray command(64, char(0xFF));
    command[0] = char(code);
    command[1] = 0x00;
    return command;
}

QByteArray crcRequest(quint32 start, quint32 length)
{
    QByteArray payload(1, 0x04);
    for (int i = 0; i < 4; ++i)
        payload.append(char((start >> (8 * i)) & 0xFF));
    for (int i = 0; i < 4; ++i)
        payload.append(char((length >> (8 * i)) & 0xFF));
    payload.append(2, 0x00); // the host's image CRC; the device does not need it
    return sim::encodeFrame(payload);
}

QByteArray onlyPayload(const QByteArray& reply)
{
    sim::FrameParser parser;
    const auto frames = parser.feed(reply);
    if (frames.size() != 1 || !frames.first().crcOk)
        return QByteArrayLiteral("<no valid frame>");
    return frames.first().payload;
}

struct Session
{
    quint32 recordAddress; // address of the data records as the file gives it
    quint16 upperHalf;     // extended linear address record before them
    quint32 crcStart;      // start of the same bytes as the host's CRC request counts
};

Session sessionFor(const sim::InstrumentProfile& profile)
{
    if (profile.addressing == sim::Addressing::Words)
        return { 0x0100, 0x0000, 0x0080 };
    return { 0x1D000100, 0x1D00, 0x9D000100 };
}

} // namespace

class TestSimInstrument : public QObject
{
    Q_OBJECT

private slots:
    void crcCheckValues_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("crc");
        QTest::newRow("check text") << QByteArray("123456789") << 0x31C3;
        QTest::newRow("read boot info") << QByteArray::fromHex("0100") << 0x3331;
        QTest::newRow("erase") << QByteArray::fromHex("0200") << 0x6662;
        QTest::newRow("jump") << QByteArray::fromHex("0500") << 0xFFF5;
        QTest::newRow("empty") << QByteArray() << 0x0000;
    }
    void crcCheckValues()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, crc);
        QCOMPARE(int(sim::crc16(data)), crc);
    }

    void parser_data()
    {
        QTest::addColumn<QList<QByteArray>>("packets");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<bool>("crcOk");
        QTest::addColumn<int>("frames");
        const QByteArray command1 = QByteArray::fromHex("0110010031330"
                                                        "4");
        QTest::newRow("host frame of command 1")
            << QList<QByteArray> { padded(command1) } << QByteArray::fromHex("0100") << true << 1;
        QTest::newRow("last SOH wins") << QList<QByteArray> { padded(QByteArray::fromHex("01aabb") + command1) }
                                       << QByteArray::fromHex("0100") << true << 1;
        QTest::newRow("split over two packets")
            << QList<QByteArray> { command1.left(3), command1.mid(3) } << QByteArray::fromHex("0100") << true << 1;
        QTest::newRow("open filler first")
            << QList<QByteArray> { QByteArray(64, 0x00), padded(command1) } << QByteArray::fromHex("0100") << true << 1;
        QTest::newRow("bad CRC") << QList<QByteArray> { padded(QByteArray::fromHex("01100100313404")) }
                                 << QByteArray::fromHex("0100") << false << 1;
        QTest::newRow("escaped EOT is data") << QList<QByteArray> { sim::encodeFrame(QByteArray::fromHex("041004")) }
                                             << QByteArray::fromHex("041004") << true << 1;
        QTest::newRow("no frame in padding")
            << QList<QByteArray> { QByteArray(64, char(0xEF)) } << QByteArray() << false << 0;
    }
    void parser()
    {
        QFETCH(QList<QByteArray>, packets);
        QFETCH(QByteArray, payload);
        QFETCH(bool, crcOk);
        QFETCH(int, frames);
        sim::FrameParser parser;
        QList<sim::FrameParser::Frame> found;
        for (const QByteArray& packet : packets)
            found += parser.feed(packet);
        QCOMPARE(found.size(), frames);
        if (frames) {
            QCOMPARE(found.first().payload.toHex(), payload.toHex());
            QCOMPARE(found.first().crcOk, crcOk);
        }
    }

    void encodeMatchesTheHostFrame()
    {
        QCOMPARE(sim::encodeFrame(QByteArray::fromHex("0100")).toHex(),
                 padded(QByteArray::fromHex("01100100313304")).toHex());
        // Every byte that needs an escape survives the round trip.
        const QByteArray awkward = QByteArray::fromHex("0401100510110001");
        QCOMPARE(onlyPayload(sim::encodeFrame(awkward)).toHex(), awkward.toHex());
        QCOMPARE(sim::encodeFrame(QByteArray(40, 0x10)).size(), 128);
    }

    void applicationAnswers_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("HLX58 bootloader version") << "HLX58" << 1 << QByteArray::fromHex("010103");
        QTest::newRow("HLX58 firmware version") << "HLX58" << 7 << QByteArray::fromHex("070205");
        QTest::newRow("HLX58 unused code 2") << "HLX58" << 2 << QByteArray();
        QTest::newRow("NXLTV2 firmware version") << "NXLTV2" << 7 << QByteArray::fromHex("070301");
        QTest::newRow("NXLTV2 has no code 1") << "NXLTV2" << 1 << QByteArray();
        QTest::newRow("open filler") << "HLX58" << 0 << QByteArray();
    }
    void applicationAnswers()
    {
        QFETCH(QString, family);
        QFETCH(int, code);
        QFETCH(QByteArray, reply);
        Instrument instrument(family == "HLX58" ? sim::hlx58Profile() : sim::nxltv2Profile());
        const QByteArray packet = code ? applicationCommand(quint8(code)) : QByteArray(64, 0x00);
        const Instrument::Output out = instrument.receive(packet);
        if (reply.isEmpty()) {
            QVERIFY(out.replies.isEmpty());
        } else {
            QCOMPARE(out.replies.size(), 1);
            QCOMPARE(out.replies.first().toHex(), padded(reply).toHex());
        }
        QCOMPARE(out.busAction, Instrument::BusAction::None);
        QCOMPARE(instrument.mode(), Instrument::Mode::Application);
    }

    void resetReenumeratesAsBootloader_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("bootProductId");
        QTest::addColumn<QString>("bootName");
        QTest::newRow("HLX58") << "HLX58" << 0xF676 << "HLX_58 Bootloader";
        QTest::newRow("NXLTV2") << "NXLTV2" << 0xF333 << "PIC32 Bootloader";
    }
    void resetReenumeratesAsBootloader()
    {
        QFETCH(QString, family);
        QFETCH(int, bootProductId);
        QFETCH(QString, bootName);
        Instrument instrument(family == "HLX58" ? sim::hlx58Profile() : sim::nxltv2Profile());
        const Instrument::Output out = instrument.receive(applicationCommand(6));
        QVERIFY(out.replies.isEmpty());
        QCOMPARE(out.busAction, Instrument::BusAction::Reenumerate);
        QCOMPARE(instrument.mode(), Instrument::Mode::Bootloader);
        QCOMPARE(int(instrument.identity().productId), bootProductId);
        QCOMPARE(instrument.identity().product, bootName);
        // Application commands mean nothing to the bootloader.
        QVERIFY(instrument.receive(applicationCommand(7)).replies.isEmpty());

        Instrument gone(family == "HLX58" ? sim::hlx58Profile() : sim::nxltv2Profile());
        gone.setVanishesAfterReset(true);
        QCOMPARE(gone.receive(applicationCommand(6)).busAction, Instrument::BusAction::Vanish);
    }

    void bootloaderSession_data()
    {
        QTest::addColumn<QString>("family");
        QTest::newRow("HLX58 words") << "HLX58";
        QTest::newRow("NXLTV2 PIC32") << "NXLTV2";
        QTest::newRow("PIC32 bootloader") << "PIC32";
    }
    void bootloaderSession()
    {
        QFETCH(QString, family);
        const sim::InstrumentProfile profile = family == "HLX58"    ? sim::hlx58Profile()
                                               : family == "NXLTV2" ? sim::nxltv2Profile()
                                                                    : sim::pic32BootloaderProfile();
        Instrument instrument(profile);
        if (profile.hasApplication)
            instrument.receive(applicationCommand(6));
        QCOMPARE(instrument.mode(), Instrument::Mode::Bootloader);
        const Session s = sessionFor(profile);

        QCOMPARE(
            onlyPayload(instrument.receive(sim::encodeFrame(QByteArray::fromHex("0100"))).replies.value(0)).toHex(),
            QByteArray(QByteArray(1, 1) + char(profile.bootloaderMajor) + char(profile.bootloaderMinor)).toHex());

        // Dirty the flash, then erase it back to its blank pattern.
        instrument.setStuckFlashByte(0, 0xFF);
        QCOMPARE(onlyPayload(instrument.receive(sim::encodeFrame(QByteArray::fromHex("0200"))).replies.value(0)),
                 QByteArray(1, 0x02));
        QCOMPARE(instrument.flashBytes().toHex(), instrument.blankFlash().toHex());

        // Two records per packet, the extended address first.
        // Every fourth byte is 0x00, as the word-addressed cores' files give it.
        const QByteArray data = QByteArray::fromHex("0001040011121300") + QByteArray::fromHex("a0a1a200a4a5a600");
        QByteArray program(1, 0x03);
        program +=
            IntelHex::record(0, 4, QByteArray::fromHex(QByteArray::number(s.upperHalf, 16).rightJustified(4, '0')));
        program += IntelHex::record(quint16(s.recordAddress & 0xFFFF), 0, data.left(8));
        QCOMPARE(onlyPayload(instrument.receive(sim::encodeFrame(program)).replies.value(0)), QByteArray(1, 0x03));
        QByteArray second(1, 0x03);
        second += IntelHex::record(quint16((s.recordAddress + 8) & 0xFFFF), 0, data.mid(8));
        second += IntelHex::record(0, 1, {});
        QCOMPARE(onlyPayload(instrument.receive(sim::encodeFrame(second)).replies.value(0)), QByteArray(1, 0x03));

        const quint32 offset = instrument.flashOffsetOfRecordAddress(s.recordAddress);
        QCOMPARE(offset, 0x100u);
        QCOMPARE(instrument.flashBytes().mid(int(offset), data.size()).toHex(), data.toHex());

        // The CRC covers exactly the requested bytes of the device's flash.
        const QByteArray reply = onlyPayload(instrument.receive(crcRequest(s.crcStart, 16)).replies.value(0));
        const quint16 expected = sim::crc16(data);
        QCOMPARE(reply.toHex(), QByteArray(QByteArray(1, 4) + char(expected & 0xFF) + char(expected >> 8)).toHex());
        QCOMPARE(instrument.lastCrcRequest().offset, offset);

        const Instrument::Output jump = instrument.receive(sim::encodeFrame(QByteArray::fromHex("0500")));
        QVERIFY(jump.replies.isEmpty());
        QVERIFY(instrument.jumped());
        QCOMPARE(jump.busAction,
                 profile.hasApplication ? Instrument::BusAction::Reenumerate : Instrument::BusAction::None);
        QCOMPARE(instrument.mode(),
                 profile.hasApplication ? Instrument::Mode::Application : Instrument::Mode::Bootloader);
        QCOMPARE(instrument.bootloaderCommands(), (QList<quint8> { 1, 2, 3, 3, 4, 5 }));
    }

    void faults()
    {
        Instrument instrument(sim::pic32BootloaderProfile());
        const QByteArray blank = instrument.blankFlash();
        auto programAt = [](quint16 address, const QByteArray& data) {
            QByteArray payload(1, 0x03);
            payload += IntelHex::record(0, 4, QByteArray::fromHex("1d00"));
            payload += IntelHex::record(address, 0, data);
            return sim::encodeFrame(payload);
        };

        // A record whose checksum is wrong programs nothing and is not acknowledged.
        QByteArray bad(1, 0x03);
        bad += IntelHex::record(0x0000, 0, QByteArray::fromHex("11223344"));
        bad[bad.size() - 1] = char(bad[bad.size() - 1] ^ 0x01);
        QVERIFY(instrument.receive(sim::encodeFrame(bad)).replies.isEmpty());
        QCOMPARE(instrument.rejectedRecords(), 1);
        QCOMPARE(instrument.flashBytes(), blank);

        // Dropped acknowledgements: the packets are programmed all the same.
        instrument.dropProgrammingAcks(2, 2);
        QCOMPARE(instrument.receive(programAt(0x0000, QByteArray::fromHex("11"))).replies.size(), 0); // packet 2
        QCOMPARE(instrument.receive(programAt(0x0001, QByteArray::fromHex("22"))).replies.size(), 0); // packet 3
        QCOMPARE(instrument.receive(programAt(0x0002, QByteArray::fromHex("33"))).replies.size(), 1); // packet 4
        QCOMPARE(instrument.flashBytes().left(4).toHex(), QByteArray("112233ff"));

        // A stuck cell keeps its value: the device's CRC no longer matches.
        instrument.setStuckFlashByte(3, 0x00);
        instrument.receive(programAt(0x0003, QByteArray::fromHex("44")));
        const QByteArray reply = onlyPayload(instrument.receive(crcRequest(0x9D000000, 4)).replies.value(0));
        const quint16 good = sim::crc16(QByteArray::fromHex("11223344"));
        QVERIFY(reply.size() == 3);
        QVERIFY(quint16(quint8(reply[1]) | quint8(reply[2]) << 8) != good);

        // The boot flash is the bootloader's own.
        QByteArray boot(1, 0x03);
        boot += IntelHex::record(0, 4, QByteArray::fromHex("1fc0"));
        boot += IntelHex::record(0x0000, 0, QByteArray::fromHex("00000000"));
        QCOMPARE(instrument.receive(sim::encodeFrame(boot)).replies.size(), 1);
        QCOMPARE(instrument.flashBytes().mid(4), blank.mid(4));
    }

    void hexWriter()
    {
        // Crossing a 64 KiB boundary gives a second extended address record.
        const QByteArray text = IntelHex::file({ { 0x1D00FFF8, QByteArray(16, char(0xAB)) } });
        const QList<QByteArray> lines = text.split('\n');
        QCOMPARE(lines.value(0), QByteArray(":020000041D00DD\r"));
        QCOMPARE(lines.value(1), QByteArray(":08FFF800ABABABABABABABABA9\r"));
        QCOMPARE(lines.value(2), QByteArray(":020000041D01DC\r"));
        QCOMPARE(lines.value(4), QByteArray(":00000001FF\r"));
    }
};

QTEST_GUILESS_MAIN(TestSimInstrument)
#include "tst_siminstrument.moc"
