#include "app/dialogs/ProgressDialog.h"
#include "app/updater/ProgressCoalescer.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QTextBrowser>
#include <QtTest>

// The progress line and bar of an update, held back between repaints: what
// shows when, and that nothing held back lands in the wrong place.
class TestProgressCoalescer : public QObject
{
    Q_OBJECT

private:
    static QStringList lines(ProgressDialog& d)
    {
        return d.findChild<QTextBrowser*>(QStringLiteral("textBrowser"))->toPlainText().split(QLatin1Char('\n'));
    }
    static QProgressBar* bar(ProgressDialog& d) { return d.findChild<QProgressBar*>(QStringLiteral("progressBar")); }
    static QString headline(ProgressDialog& d) { return d.findChild<QLabel*>(QStringLiteral("lb_updating"))->text(); }

private slots:
    void burstShowsFirstAtOnceAndLastAfterTheInterval()
    {
        ProgressDialog d;
        d.appendDetailsInformation(QStringLiteral("Programming lines"));
        ProgressCoalescer coalescer(&d);
        QElapsedTimer clock;
        clock.start();
        coalescer.setLastLine(QStringLiteral("line 1/300"));
        coalescer.setBar(QStringLiteral("Updating"), 100, 1);
        QCOMPARE(lines(d).last(), QStringLiteral("line 1/300"));
        QCOMPARE(bar(d)->value(), 1);

        for (int i = 2; i <= 300; ++i) {
            coalescer.setLastLine(QStringLiteral("line %1/300").arg(i));
            coalescer.setBar(QStringLiteral("Updating"), 100, i / 3);
        }
        if (clock.elapsed() < ProgressCoalescer::IntervalMs) {
            // Held back: no repaint per report.
            QCOMPARE(lines(d).last(), QStringLiteral("line 1/300"));
            QCOMPARE(bar(d)->value(), 1);
        }
        QTRY_COMPARE_WITH_TIMEOUT(lines(d).last(), QStringLiteral("line 300/300"), 1000);
        QCOMPARE(bar(d)->value(), 100);
        QCOMPARE(lines(d).size(), 1);
    }

    void newHeadlineIsNeverHeldBack()
    {
        ProgressDialog d;
        ProgressCoalescer coalescer(&d);
        coalescer.setBar(QStringLiteral("<b>Erasing Firmware</b>"), 100, 10);
        coalescer.setBar(QStringLiteral("<b>Erasing Firmware</b>"), 100, 50);
        coalescer.setBar(QStringLiteral("<b>Updating Firmware</b>"), 100, 0);
        QCOMPARE(headline(d), QStringLiteral("<b>Updating Firmware</b>"));
        QCOMPARE(bar(d)->value(), 0);
    }

    // A line appended after a held-back one: the held line replaces the line
    // it was meant for, not the new one.
    void flushKeepsTheReportOrder()
    {
        ProgressDialog d;
        d.appendDetailsInformation(QStringLiteral("lines 0/9"));
        ProgressCoalescer coalescer(&d);
        coalescer.setLastLine(QStringLiteral("lines 1/9"));
        coalescer.setLastLine(QStringLiteral("lines 9/9"));
        coalescer.flush();
        d.appendDetailsInformation(QStringLiteral("Verifying CRC"));
        QTest::qWait(2 * ProgressCoalescer::IntervalMs);
        QCOMPARE(lines(d), (QStringList { QStringLiteral("lines 9/9"), QStringLiteral("Verifying CRC") }));
    }

    void discardedChangesNeverLand()
    {
        ProgressDialog d;
        d.appendDetailsInformation(QStringLiteral("lines 0/9"));
        ProgressCoalescer coalescer(&d);
        coalescer.setLastLine(QStringLiteral("lines 1/9"));
        coalescer.setLastLine(QStringLiteral("lines 2/9"));
        coalescer.setBar(QStringLiteral("Updating"), 100, 1);
        coalescer.setBar(QStringLiteral("Updating"), 100, 2);
        coalescer.discard();
        d.clearDetailsInformation();
        QTest::qWait(2 * ProgressCoalescer::IntervalMs);
        QVERIFY(d.findChild<QTextBrowser*>(QStringLiteral("textBrowser"))->toPlainText().isEmpty());
        QCOMPARE(bar(d)->value(), 1);
    }
};

QTEST_MAIN(TestProgressCoalescer)
#include "tst_progresscoalescer.moc"
