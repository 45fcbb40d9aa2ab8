#include "firmware/core/BootInfoReply.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QtTest>

// The decoder that every family speaking the bootloader protocol reads
// reply 1 with.
class TestBootInfoReply : public QObject
{
    Q_OBJECT

private slots:
    void versions_data()
    {
        QTest::addColumn<QByteArray>("reply"); // hex
        QTest::addColumn<int>("first");
        QTest::addColumn<QString>("bootloader"); // empty: nothing read
        QTest::newRow("application, bytes 1-2") << QByteArray("01020aff") << 1 << "2.10";
        QTest::newRow("bootloader, bytes 2-3") << QByteArray("01aa0207") << 2 << "2.7";
        QTest::newRow("signed bytes") << QByteArray("01ff80") << 1 << "-1.-128";
        QTest::newRow("one byte short") << QByteArray("01aa02") << 2 << "";
        QTest::newRow("another reply") << QByteArray("070205") << 1 << "";
        QTest::newRow("empty") << QByteArray() << 1 << "";
    }
    void versions()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, first);
        QFETCH(QString, bootloader);
        nsFirmware::DeviceVersions read;
        read.motherboardVersion = QStringLiteral("untouched");
        const bool found = BootInfoReply::versions(QByteArray::fromHex(reply), first, &read);
        QCOMPARE(found, !bootloader.isEmpty());
        if (!found) {
            QCOMPARE(read.motherboardVersion, QStringLiteral("untouched"));
            return;
        }
        QCOMPARE(read.motherboardVersion, QStringLiteral("N/A"));
        QCOMPARE(read.channelVersion, QStringLiteral("N/A"));
        QCOMPARE(read.bootloaderVersion, bootloader);
    }

    void prefixedVersionIndex()
    {
        const DeviceRecordBuilder board = DeviceRecordBuilder::on(CommType::USB).vid(0x04D8).pid(0xF57E);
        QCOMPARE(BootInfoReply::prefixedVersionIndex(board.release(3).name("Motherboard Bootloader").build()), 2);
        QCOMPARE(BootInfoReply::prefixedVersionIndex(board.release(1).name("HLX_58 Rotary Joint").build()), 1);
    }
};

QTEST_GUILESS_MAIN(TestBootInfoReply)
#include "tst_bootinforeply.moc"
