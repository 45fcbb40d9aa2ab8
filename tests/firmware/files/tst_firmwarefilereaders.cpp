#include "firmware/files/HEX32FirmwareFileManager.h"
#include "firmware/files/HEXFirmwareFileManager.h"
#include "firmware/files/MCSFirmwareFileManager.h"
#include "firmware/files/MCSVivadoFirmwareFileManager.h"
#include "tests/firmware/core/TestFrames.h"
#include "tests/support/IntelHex.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

struct Block
{
    quint32 address;
    int size;
};

QByteArray joinLines(const QList<QByteArray>& lines, const QByteArray& lineEnd)
{
    QByteArray text;
    for (const QByteArray& line : lines)
        text += line + lineEnd;
    return text;
}

std::unique_ptr<FirmwareFileManager> makeReader(const QString& kind)
{
    if (kind == "HEX32")
        return std::make_unique<HEX32FirmwareFileManager>();
    if (kind == "HEX")
        return std::make_unique<HEXFirmwareFileManager>();
    if (kind == "MCS")
        return std::make_unique<MCSFirmwareFileManager>();
    return std::make_unique<MCSVivadoFirmwareFileManager>();
}

QByteArray fileContent(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QList<QByteArray> allRecords(FirmwareFileManager& reader)
{
    QList<QByteArray> records;
    if (!reader.rewind())
        return records;
    uchar buffer[FirmwareFileManager::LineBufferSize / 2];
    quint16 n;
    while ((n = reader.readNextRecord(buffer, 255)) != 0)
        records.append(QByteArray(reinterpret_cast<const char*>(buffer), n));
    return records;
}

const QList<QByteArray> SixteenByteLine = {
    IntelHex::line(0, 0, QByteArray::fromHex("00112233445566778899AABBCCDDEEFF")),
    IntelHex::line(0, 1, {}),
};

} // namespace

class TestFirmwareFileReaders : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_serial = 0;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    QString newFile(const QByteArray& content)
    {
        const QString name = path(QStringLiteral("file%1.hex").arg(++m_serial));
        if (!writeFile(name, content))
            return {};
        return name;
    }

    bool run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.start(program, arguments);
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0) {
            qWarning() << program << arguments << process.readAllStandardError();
            return false;
        }
        return true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(!QStandardPaths::findExecutable("srec_cat").isEmpty(), "srec_cat (package srecord) is needed");
        QVERIFY2(!QStandardPaths::findExecutable("objcopy").isEmpty(), "objcopy (package binutils) is needed");
    }

    void imagesMatchTheTools_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QList<quint32>>("layout");
        QTest::addColumn<int>("addressLength");
        QTest::addColumn<int>("recordSize");
        QTest::addColumn<bool>("crlf");
        QTest::addColumn<int>("sectors");

        // layout: address, size, address, size ...
        QTest::newRow("HEX32 linear 16 LF hole")
            << "HEX32" << QList<quint32> { 0x1D000000, 1000, 0x1D001000, 200 } << 4 << 16 << false << 0;
        QTest::newRow("HEX32 32 CRLF unaligned")
            << "HEX32" << QList<quint32> { 0x1D000103, 301 } << 4 << 32 << true << 0;
        QTest::newRow("HEX32 above window end")
            << "HEX32" << QList<quint32> { 0x1D000000, 64, 0x1FC00000, 16 } << 4 << 16 << true << 0;
        QTest::newRow("HEX segment 16 CRLF hole")
            << "HEX" << QList<quint32> { 0x12340, 700, 0x15000, 33 } << 3 << 16 << true << 0;
        QTest::newRow("HEX segment 32 LF") << "HEX" << QList<quint32> { 0x2001, 513 } << 3 << 32 << false << 0;
        QTest::newRow("HEX linear 32 LF end 0x1001")
            << "HEX" << QList<quint32> { 0x0, 0x1001 } << 4 << 32 << false << 0;
        QTest::newRow("HEX linear 16 CRLF end 0x1000")
            << "HEX" << QList<quint32> { 0x0, 0x1000 } << 4 << 16 << true << 0;
        QTest::newRow("MCS linear 16 CRLF segments")
            << "MCS" << QList<quint32> { 0x0, 5000, 0x30000, 100 } << 4 << 16 << true << 4;
        QTest::newRow("MCS linear 32 LF") << "MCS" << QList<quint32> { 0x101, 777 } << 4 << 32 << false << 1;
        QTest::newRow("MCSVivado linear 16 LF hole")
            << "MCSVivado" << QList<quint32> { 0x20000, 300, 0x20400, 50 } << 4 << 16 << false << 3;
        QTest::newRow("MCSVivado segment 16 CRLF")
            << "MCSVivado" << QList<quint32> { 0x4000, 160 } << 3 << 16 << true << 0;
    }

    void imagesMatchTheTools()
    {
        QFETCH(QString, kind);
        QFETCH(QList<quint32>, layout);
        QFETCH(int, addressLength);
        QFETCH(int, recordSize);
        QFETCH(bool, crlf);
        QFETCH(int, sectors);

        const QString tag = QString::number(++m_serial);
        QStringList arguments;
        quint32 lowest = 0xFFFFFFFF;
        quint32 end = 0;
        QRandomGenerator random(quint32(m_serial) * 7919u);
        for (int i = 0; i + 1 < layout.size(); i += 2) {
            QByteArray data(int(layout[i + 1]), 0);
            for (char& c : data)
                c = char(random.bounded(256));
            const QString blockName = path(QStringLiteral("block%1_%2.bin").arg(tag).arg(i));
            QVERIFY(writeFile(blockName, data));
            arguments << blockName << "-binary"
                      << "-offset" << QStringLiteral("0x%1").arg(layout[i], 0, 16);
            lowest = qMin(lowest, layout[i]);
            end = qMax(end, layout[i] + layout[i + 1]);
        }
        const QString hexName = path("fw" + tag + ".hex");
        arguments << "-o" << hexName << "-intel" << QStringLiteral("-address-length=%1").arg(addressLength)
                  << QStringLiteral("-obs=%1").arg(recordSize);
        if (crlf)
            arguments << "-crlf";
        QVERIFY(run("srec_cat", arguments));
        const QByteArray hexText = fileContent(hexName);
        QCOMPARE(hexText.contains("\r\n"), crlf);
        QCOMPARE(hexText.contains(addressLength == 3 ? ":02000002" : ":02000004"), true);

        // The reference bytes and numbers come from the tools and the layout.
        QByteArray reference;
        quint32 expectedStart = 0;
        if (kind == "HEX") {
            const quint32 s = lowest & ~3u;
            const quint32 rangeEnd = end + end % 4;
            const QString refName = path("ref" + tag + ".bin");
            QVERIFY(run("srec_cat", { "(", "-generate", QString::number(s), QString::number(rangeEnd), "-repeat-data",
                                      "0xFF", "0xFF", "0xFF", "0x00", "-exclude", "-within", hexName, "-intel", ")",
                                      hexName, "-intel", "-o", refName, "-binary" }));
            reference = fileContent(refName).mid(int(s), int(rangeEnd - s));
            QCOMPARE(reference.size(), int(rangeEnd - s));
            expectedStart = s / 2;
        } else {
            QByteArray tailored = hexText;
            if (kind == "HEX32") {
                // The window ends below the boot flash: the tool's image must
                // not see what the reader leaves out.
                QList<QByteArray> kept;
                bool skipping = false;
                for (const QByteArray& line : hexText.split('\n')) {
                    if (line.startsWith(":02000004"))
                        skipping = line.mid(9, 4).toUInt(nullptr, 16) >= 0x1FC0;
                    if (!skipping || !line.startsWith(":") || line.mid(7, 2) != "00")
                        kept.append(line);
                }
                tailored = kept.join('\n');
                end = 0;
                for (int i = 0; i + 1 < layout.size(); i += 2) {
                    if ((layout[i] | 0x80000000u) < 0x9FC00000u)
                        end = qMax(end, layout[i] + layout[i + 1]);
                }
            }
            const QString keptName = path("kept" + tag + ".hex");
            QVERIFY(writeFile(keptName, tailored));
            const QString refName = path("ref" + tag + ".bin");
            QVERIFY(run("objcopy", { "-I", "ihex", "-O", "binary", "--gap-fill", "0xFF", keptName, refName }));
            reference = fileContent(refName);
            QCOMPARE(reference.size(), int(end - lowest));
            if (kind == "HEX32") {
                const quint32 s = (lowest | 0x80000000u) & ~3u;
                const quint32 v = end | 0x80000000u;
                reference = QByteArray(int((lowest | 0x80000000u) - s), char(0xFF)) + reference
                            + QByteArray(int(v % 4), char(0xFF));
                expectedStart = s;
            } else {
                expectedStart = lowest;
            }
        }

        auto reader = makeReader(kind);
        QVERIFY2(reader->openFile(hexName), qPrintable(reader->errorString()));
        QCOMPARE(reader->lineCount(), int(hexText.count('\n')));
        const FirmwareImageInformation info = reader->getImageInformation();
        QCOMPARE(info.startAddress, expectedStart);
        QCOMPARE(info.length, quint32(reference.size()));
        QCOMPARE(info.crc, TestFrames::crc16Xmodem(reference));
        QCOMPARE(reader->getImageInformation(), info);
        QCOMPARE(reader->countSectors(), quint32(sectors));
        if (kind.startsWith("MCS"))
            QCOMPARE(reader->currentLine(), 0);

        // The other line end gives the same records and the same image.
        QByteArray other = hexText;
        if (crlf)
            other.replace("\r\n", "\n");
        else
            other.replace("\n", "\r\n");
        const QString otherName = newFile(other);
        auto otherReader = makeReader(kind);
        QVERIFY(otherReader->openFile(otherName));
        const QList<QByteArray> records = allRecords(*reader);
        QCOMPARE(records.size(), reader->lineCount());
        QCOMPARE(allRecords(*otherReader), records);
        QCOMPARE(otherReader->getImageInformation(), info);
    }

    void recordLengthComesFromItsCountByte_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::addColumn<int>("length");
        QTest::newRow("HEX CRLF") << "HEX" << QByteArray("\r\n") << 21;
        QTest::newRow("HEX LF") << "HEX" << QByteArray("\n") << 21;
        QTest::newRow("MCSVivado LF") << "MCSVivado" << QByteArray("\n") << 21;
        QTest::newRow("MCS CRLF") << "MCS" << QByteArray("\r\n") << 22;
        QTest::newRow("MCS LF") << "MCS" << QByteArray("\n") << 22;
    }

    void recordLengthComesFromItsCountByte()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, lineEnd);
        QFETCH(int, length);
        const QString name = newFile(joinLines(SixteenByteLine, lineEnd));
        auto reader = makeReader(kind);
        QVERIFY(reader->openFile(name, 59));
        QVERIFY(reader->rewind());
        uchar buffer[64];
        QCOMPARE(int(reader->readNextRecord(buffer, 59)), length);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(buffer), 21), QByteArray::fromHex(SixteenByteLine[0].mid(1)));
        if (length == 22)
            QCOMPARE(buffer[21], FirmwareFileManager::LineEndByte);
        QCOMPARE(reader->currentLine(), 1);
    }

    void convertsPairsUpToTheEnd()
    {
        uchar out[32];
        QCOMPARE(int(FirmwareFileManager::convertHexString("0A1b\r\n", out, 32)), 3);
        QCOMPARE(out[0], uchar(0x0A));
        QCOMPARE(out[1], uchar(0x1B));
        QCOMPARE(int(FirmwareFileManager::convertHexString("0A1b\n", out, 32)), 2);
        QCOMPARE(int(FirmwareFileManager::convertHexString("0A1b2C", out, 2)), 2);
    }

    void addressRecordsMoveTheData()
    {
        const QByteArray data = QByteArray::fromHex("0102030405060708");
        const QString hex32 = newFile(joinLines(
            { IntelHex::line(0, 4, QByteArray::fromHex("1D00")), IntelHex::line(0, 0, data), IntelHex::line(0, 1, {}) },
            "\r\n"));
        HEX32FirmwareFileManager reader32;
        QVERIFY(reader32.openFile(hex32));
        FirmwareImageInformation info = reader32.getImageInformation();
        QCOMPARE(info.startAddress, quint32(0x9D000000));
        QCOMPARE(info.length, quint32(8));
        QCOMPARE(info.crc, TestFrames::crc16Xmodem(data));

        const QString segment = newFile(joinLines(
            { IntelHex::line(0, 2, QByteArray::fromHex("1000")), IntelHex::line(0, 0, data), IntelHex::line(0, 1, {}) },
            "\n"));
        HEXFirmwareFileManager reader;
        QVERIFY(reader.openFile(segment));
        info = reader.getImageInformation();
        QCOMPARE(info.startAddress, quint32(0x10000 / 2));
        QCOMPARE(info.length, quint32(8));
    }

    void sectorsCountOnlyExtendedLinearRecords_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("sectors");
        QList<QByteArray> nineteen;
        for (int segment = 0; segment <= 0x12; ++segment) {
            nineteen << IntelHex::line(0, 4,
                                       QByteArray::fromHex(QByteArray::number(segment, 16).rightJustified(4, '0')));
            nineteen << IntelHex::line(0, 0, QByteArray(16, char(segment)));
        }
        nineteen << IntelHex::line(0, 1, {});
        QTest::newRow("0x0000 to 0x0012") << joinLines(nineteen, "\r\n") << 19;
        QTest::newRow("none") << joinLines({ IntelHex::line(0, 0, QByteArray(16, 'a')), IntelHex::line(0, 1, {}) },
                                           "\n")
                              << 0;
        // Two-byte data and segment records also start with ":02".
        QTest::newRow("two-byte data records")
            << joinLines({ IntelHex::line(0, 4, QByteArray::fromHex("0003")),
                           IntelHex::line(0x20, 0, QByteArray::fromHex("0040")), IntelHex::line(0, 1, {}) },
                         "\n")
            << 4;
        QTest::newRow("segment records") << joinLines(
            { IntelHex::line(0, 2, QByteArray::fromHex("0800")), IntelHex::line(0, 0, QByteArray(4, 'b')),
              IntelHex::line(0, 1, {}) },
            "\r\n") << 0;
    }

    void sectorsCountOnlyExtendedLinearRecords()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, sectors);
        MCSVivadoFirmwareFileManager reader;
        QVERIFY2(reader.openFile(newFile(content)), qPrintable(reader.errorString()));
        QCOMPARE(reader.countSectors(), quint32(sectors));
        QCOMPARE(reader.currentLine(), 0);
        HEXFirmwareFileManager hex;
        QVERIFY(hex.openFile(newFile(content)));
        QCOMPARE(hex.countSectors(), quint32(0));
    }

    void badFilesAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("bound");

        const QByteArray data = IntelHex::line(0x100, 0, QByteArray(16, 'x'));
        const QByteArray eof = IntelHex::line(0, 1, {});
        QByteArray badSum = data;
        badSum[badSum.size() - 1] = badSum.back() == '0' ? '1' : '0';
        QByteArray nonHex = data;
        nonHex[12] = 'G';
        QByteArray shortCount = data;
        shortCount.replace(1, 2, "11");
        const QByteArray longRecord = IntelHex::line(0, 0, QByteArray(32, 'y'));

        QTest::newRow("bad checksum") << "HEX" << joinLines({ data, badSum, eof }, "\r\n") << 255;
        QTest::newRow("non-hex character") << "MCS" << joinLines({ nonHex, eof }, "\n") << 255;
        QTest::newRow("count disagrees")
            << "HEX32" << joinLines({ IntelHex::line(0, 4, QByteArray::fromHex("1D00")), shortCount, eof }, "\n")
            << 255;
        QTest::newRow("blank line before end") << "HEX" << joinLines({ data, "", eof }, "\r\n") << 255;
        QTest::newRow("text line before end") << "MCSVivado" << joinLines({ data, "hello", eof }, "\n") << 255;
        QTest::newRow("colon alone") << "HEX" << joinLines({ data, ":", eof }, "\n") << 255;
        QTest::newRow("odd digits") << "HEX" << joinLines({ data + "0", eof }, "\n") << 255;
        QTest::newRow("longer than packet bound") << "HEX" << joinLines({ longRecord, eof }, "\r\n") << 59;
        QTest::newRow("no end-of-file record") << "HEX" << joinLines({ data }, "\r\n") << 255;
        QTest::newRow("no data") << "MCS" << joinLines({ eof }, "\r\n") << 255;
        QTest::newRow("address record of one byte")
            << "MCS" << joinLines({ IntelHex::line(0, 4, "\x01"), data, eof }, "\n") << 255;
        QTest::newRow("HEX beyond the image")
            << "HEX" << joinLines({ IntelHex::line(0, 4, QByteArray::fromHex("0050")), data, eof }, "\n") << 255;
        QTest::newRow("HEX32 below the window")
            << "HEX32" << joinLines({ IntelHex::line(0, 4, QByteArray::fromHex("1CFF")), data, eof }, "\n") << 255;
        QTest::newRow("HEX32 beyond the image")
            << "HEX32" << joinLines({ IntelHex::line(0, 4, QByteArray::fromHex("1D50")), data, eof }, "\n") << 255;
        QTest::newRow("MCS beyond the image") << "MCS"
                                              << joinLines({ IntelHex::line(0, 4, QByteArray::fromHex("004F")),
                                                             IntelHex::line(0xFFF8, 0, QByteArray(16, 'z')), eof },
                                                           "\n")
                                              << 255;
    }

    void badFilesAreRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(int, bound);
        const QString name = newFile(content);
        const QByteArray hashBefore = QCryptographicHash::hash(content, QCryptographicHash::Sha256);
        {
            auto reader = makeReader(kind);
            QVERIFY(!reader->openFile(name, bound));
            QVERIFY(!reader->errorString().isEmpty());
            QVERIFY(!reader->rewind());
            uchar buffer[128];
            QCOMPARE(int(reader->readNextRecord(buffer, 255)), 0);
            QCOMPARE(reader->getImageInformation(), FirmwareImageInformation());
            reader->closeFile();
        }
        QVERIFY(QFile::exists(name));
        QCOMPARE(QCryptographicHash::hash(fileContent(name), QCryptographicHash::Sha256), hashBefore);
    }

    void longRecordsPassWithALargerBound()
    {
        const QString name =
            newFile(joinLines({ IntelHex::line(0, 0, QByteArray(32, 'y')), IntelHex::line(0, 1, {}) }, "\r\n"));
        HEXFirmwareFileManager reader;
        QVERIFY(reader.openFile(name));
        QCOMPARE(reader.getImageInformation().length, quint32(32));
    }

    void linesAfterTheEndRecordAreLeftAlone()
    {
        const QString name = newFile(
            joinLines({ IntelHex::line(0, 0, QByteArray(4, 'q')), IntelHex::line(0, 1, {}), "", "notes" }, "\n"));
        HEXFirmwareFileManager reader;
        QVERIFY2(reader.openFile(name), qPrintable(reader.errorString()));
        QCOMPARE(allRecords(reader).size(), 2);
    }

    void missingFileIsRefused()
    {
        HEXFirmwareFileManager reader;
        QVERIFY(!reader.openFile(path("missing.hex")));
        QVERIFY(!reader.rewind());
    }

    void rewindAfterCloseFails()
    {
        const QString name = newFile(joinLines(SixteenByteLine, "\r\n"));
        MCSFirmwareFileManager reader;
        QVERIFY(reader.openFile(name));
        QVERIFY(reader.rewind());
        reader.closeFile();
        QVERIFY(!reader.rewind());
        QVERIFY(QFile::exists(name));
    }

    void closeAndRemoveDeletesTheFile()
    {
        const QString name = newFile(joinLines(SixteenByteLine, "\r\n"));
        HEXFirmwareFileManager reader;
        QVERIFY(reader.openFile(name));
        reader.closeAndRemoveFile();
        QVERIFY(!QFile::exists(name));
        QVERIFY(!reader.rewind());
    }

    void recordPutBackIsReadAgain()
    {
        const QString name = newFile(
            joinLines({ IntelHex::line(0, 0, "ab"), IntelHex::line(2, 0, "cd"), IntelHex::line(0, 1, {}) }, "\n"));
        HEXFirmwareFileManager reader;
        QVERIFY(reader.openFile(name));
        QVERIFY(reader.rewind());
        uchar buffer[64];
        QVERIFY(reader.readNextRecord(buffer, 59) != 0);
        const FirmwareFileManager::ReadPosition mark = reader.readPosition();
        QCOMPARE(int(reader.readNextRecord(buffer, 59)), 7);
        QCOMPARE(buffer[4], uchar('c'));
        QVERIFY(reader.restoreReadPosition(mark));
        QCOMPARE(reader.currentLine(), 1);
        QCOMPARE(int(reader.readNextRecord(buffer, 59)), 7);
        QCOMPARE(buffer[4], uchar('c'));
    }

    // The file is read once, when it is opened: what is checked is what is
    // programmed and what the device's CRC is compared with, whatever
    // happens to the file on the disk afterwards.
    void recordsAreThoseChecked()
    {
        const QByteArray content = joinLines(SixteenByteLine, "\r\n");
        const QString name = newFile(content);
        MCSVivadoFirmwareFileManager reader;
        QVERIFY(reader.openFile(name));
        const FirmwareImageInformation info = reader.getImageInformation();
        QVERIFY(writeFile(name,
                          joinLines({ IntelHex::line(0, 0, QByteArray(16, 'w')), IntelHex::line(0, 1, {}) }, "\r\n")));
        const QList<QByteArray> records = allRecords(reader);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.first().mid(4, 16).toHex(), QByteArray("00112233445566778899aabbccddeeff"));
        QCOMPARE(reader.getImageInformation(), info);
    }

    // Two readers of a kind open at once share the image buffer: each keeps
    // the start, length and CRC of its own file.
    void readersOfOneKindKeepTheirOwnImage()
    {
        const QString first = newFile(joinLines(SixteenByteLine, "\n"));
        const QString second =
            newFile(joinLines({ IntelHex::line(0x40, 0, QByteArray(8, 'k')), IntelHex::line(0, 1, {}) }, "\n"));
        HEXFirmwareFileManager one;
        HEXFirmwareFileManager other;
        QVERIFY(one.openFile(first));
        const FirmwareImageInformation alone = one.getImageInformation();
        QVERIFY(other.openFile(second));
        QCOMPARE(one.getImageInformation(), alone);
        QCOMPARE(alone.length, quint32(16));
        QCOMPARE(other.getImageInformation().startAddress, quint32(0x20));
    }

    // Every reader of a kind builds its image in the same buffer, which is
    // blanked again only where the last image was written: a file's gaps
    // never show the data of a file read before it.
    void gapsStayBlankAfterAnotherFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("upperAddress");
        QTest::addColumn<QByteArray>("blankWord");
        QTest::newRow("HEX32") << "HEX32" << QByteArray::fromHex("1D00") << QByteArray::fromHex("FFFFFFFF");
        QTest::newRow("HEX") << "HEX" << QByteArray::fromHex("0000") << QByteArray::fromHex("FFFFFF00");
        QTest::newRow("MCS") << "MCS" << QByteArray::fromHex("0000") << QByteArray::fromHex("FFFFFFFF");
    }

    void gapsStayBlankAfterAnotherFile()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, upperAddress);
        QFETCH(QByteArray, blankWord);

        const QByteArray full(16, char(0x11));
        const QString first =
            newFile(joinLines({ IntelHex::line(0, 4, upperAddress), IntelHex::line(0, 0, full),
                                IntelHex::line(16, 0, full), IntelHex::line(32, 0, full), IntelHex::line(0, 1, {}) },
                              "\n"));
        const QByteArray part(8, char(0x22));
        const QString second = newFile(joinLines({ IntelHex::line(0, 4, upperAddress), IntelHex::line(0, 0, part),
                                                   IntelHex::line(40, 0, part), IntelHex::line(0, 1, {}) },
                                                 "\n"));

        QByteArray expected = blankWord.repeated(12);
        expected.replace(0, 8, part);
        expected.replace(40, 8, part);

        for (int round = 0; round < 2; ++round) {
            const auto before = makeReader(kind);
            QVERIFY(before->openFile(first));
            QCOMPARE(before->getImageInformation().length, quint32(48));

            const auto reader = makeReader(kind);
            QVERIFY(reader->openFile(second));
            const FirmwareImageInformation info = reader->getImageInformation();
            QCOMPARE(info.length, quint32(48));
            QCOMPARE(info.crc, TestFrames::crc16Xmodem(expected));
        }
    }
};

QTEST_GUILESS_MAIN(TestFirmwareFileReaders)
#include "tst_firmwarefilereaders.moc"
