#include "app/catalogue/DownloadProgress.h"

#include <QtTest>

class TestDownloadProgress : public QObject
{
    Q_OBJECT

private slots:
    void scaledToInt_data()
    {
        QTest::addColumn<qint64>("received");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("maximum");

        constexpr qint64 gib = qint64(1) << 30;
        QTest::newRow("small") << qint64(512) << qint64(1024) << 512 << 1024;
        QTest::newRow("unknown total") << qint64(100) << qint64(-1) << 100 << -1;
        QTest::newRow("nothing yet") << qint64(0) << qint64(0) << 0 << 0;
        QTest::newRow("int limit kept") << qint64(INT_MAX) << qint64(INT_MAX) << INT_MAX << INT_MAX;
        QTest::newRow("half of 6 GiB") << 3 * gib << 6 * gib << int(3 * gib / 4) << int(6 * gib / 4);
        QTest::newRow("done at 3 GiB") << 3 * gib << 3 * gib << int(3 * gib / 2) << int(3 * gib / 2);
        QTest::newRow("5 GiB, size unknown") << 5 * gib << qint64(-1) << int(5 * gib / 4) << -1;
        QTest::newRow("largest") << std::numeric_limits<qint64>::max() << std::numeric_limits<qint64>::max()
                                 << int(std::numeric_limits<qint64>::max() >> 32)
                                 << int(std::numeric_limits<qint64>::max() >> 32);
        QTest::newRow("negative received") << qint64(-5) << qint64(10) << 0 << 10;
    }

    void scaledToInt()
    {
        QFETCH(qint64, received);
        QFETCH(qint64, total);
        QFETCH(int, value);
        QFETCH(int, maximum);
        const nsUpdater::ProgressRange range = nsUpdater::scaledDownloadProgress(received, total);
        QCOMPARE(range.value, value);
        QCOMPARE(range.maximum, maximum);
        QVERIFY(range.value <= range.maximum || range.maximum < 0);
    }
};

QTEST_APPLESS_MAIN(TestDownloadProgress)
#include "tst_downloadprogress.moc"
