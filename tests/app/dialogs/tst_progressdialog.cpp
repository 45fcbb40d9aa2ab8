#include "app/dialogs/ProgressDialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

class TestProgressDialog : public QObject
{
    Q_OBJECT

private slots:
    void startsWithDetailsShown();
    void detailsToggle();
    void replaceLastLine_data();
    void replaceLastLine();
    void replaceKeepsLineCountAcrossManySteps();
    void appendScrollsToNewestLine();
    void forceExitEmitsOnceAndCloses();
    void escapeDoesNotClose();
    void windowManagerCloseIsRefused();
    void enterDoesNotForceExit();
    void headlineAndBar();
    void clearEmptiesDetails();

private:
    static QTextBrowser* details(ProgressDialog& d) { return d.findChild<QTextBrowser*>("textBrowser"); }
    static QToolButton* toggle(ProgressDialog& d) { return d.findChild<QToolButton*>("tb_details"); }
    static QStringList lines(ProgressDialog& d) { return details(d)->toPlainText().split(QLatin1Char('\n')); }
};

void TestProgressDialog::startsWithDetailsShown()
{
    ProgressDialog d;
    QCOMPARE(d.size(), QSize(345, 230));
    QCOMPARE(d.maximumSize(), QSize(345, 230));
    QCOMPARE(toggle(d)->text(), QStringLiteral("Details <<"));
    QVERIFY(toggle(d)->isChecked());
    QVERIFY(details(d)->isVisibleTo(&d));
    QVERIFY(details(d)->isReadOnly());
    QCOMPARE(details(d)->maximumHeight(), 100);
    QCOMPARE(d.windowTitle(), QStringLiteral("Progress"));
    QCOMPARE(d.findChild<QLabel*>("lb_updating")->text(), QStringLiteral("Updating"));
    QCOMPARE(d.findChild<QPushButton*>("pb_forceExit")->text(), QStringLiteral("Force Exit"));
    // Title bar only: no close button, no system menu.
    QCOMPARE(d.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint), Qt::WindowFlags());
    QVERIFY(d.windowFlags() & Qt::WindowTitleHint);
}

void TestProgressDialog::detailsToggle()
{
    ProgressDialog d;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QCOMPARE(d.size(), QSize(345, 230));

    QTest::mouseClick(toggle(d), Qt::LeftButton);
    QVERIFY(!toggle(d)->isChecked());
    QCOMPARE(toggle(d)->text(), QStringLiteral("Details >>"));
    QVERIFY(!details(d)->isVisible());
    QCOMPARE(d.size(), QSize(345, 130));

    QTest::mouseClick(toggle(d), Qt::LeftButton);
    QCOMPARE(toggle(d)->text(), QStringLiteral("Details <<"));
    QVERIFY(details(d)->isVisible());
    QCOMPARE(d.size(), QSize(345, 230));

    // The choice persists while the dialog is hidden and shown again.
    QTest::mouseClick(toggle(d), Qt::LeftButton);
    d.hide();
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QCOMPARE(d.size(), QSize(345, 130));
    QVERIFY(!details(d)->isVisible());
}

void TestProgressDialog::replaceLastLine_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("two lines") << QStringList { "Erasing the old hex file... [Done]",
                                                "Programming the device... [1 lines out of 9]" }
                               << "Programming the device... [2 lines out of 9]"
                               << QStringList { "Erasing the old hex file... [Done]",
                                                "Programming the device... [2 lines out of 9]" };
    QTest::newRow("one line") << QStringList { "first" } << "second" << QStringList { "second" };
    QTest::newRow("empty details") << QStringList {} << "only" << QStringList { "only" };
    // Wider than the dialog: wraps over several visual lines, still one line.
    const QString longLine =
        QStringLiteral("Programming the device... [%1 lines out of %2] ").arg(123456).arg(987654).repeated(4);
    QTest::newRow("wrapped last line") << QStringList { "head", longLine } << "tail" << QStringList { "head", "tail" };
    QTest::newRow("wrapped replacement") << QStringList { "head", "x" } << longLine << QStringList { "head", longLine };
}

void TestProgressDialog::replaceLastLine()
{
    QFETCH(QStringList, before);
    QFETCH(QString, replacement);
    QFETCH(QStringList, after);
    ProgressDialog d;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    for (const QString& line : before)
        d.appendDetailsInformation(line);
    d.modifyLastDetailsInformation(replacement);
    QCOMPARE(lines(d), after);
}

void TestProgressDialog::replaceKeepsLineCountAcrossManySteps()
{
    ProgressDialog d;
    d.appendDetailsInformation(QStringLiteral("Resetting to bootloader... [Done]"));
    d.appendDetailsInformation(QStringLiteral("Programming the device... [0 lines out of 50]"));
    for (int i = 1; i <= 50; ++i)
        d.modifyLastDetailsInformation(QStringLiteral("Programming the device... [%1 lines out of 50]").arg(i));
    QCOMPARE(lines(d),
             (QStringList { "Resetting to bootloader... [Done]", "Programming the device... [50 lines out of 50]" }));
}

void TestProgressDialog::appendScrollsToNewestLine()
{
    ProgressDialog d;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QScrollBar* bar = details(d)->verticalScrollBar();
    for (int i = 0; i < 40; ++i)
        d.appendDetailsInformation(QStringLiteral("line %1").arg(i));
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());

    bar->setValue(0);
    d.modifyLastDetailsInformation(QStringLiteral("line 39 again"));
    QCOMPARE(bar->value(), bar->maximum());
}

void TestProgressDialog::forceExitEmitsOnceAndCloses()
{
    ProgressDialog d;
    QSignalSpy spy(&d, &ProgressDialog::sendForcedExit);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QTest::mouseClick(d.findChild<QPushButton*>("pb_forceExit"), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QVERIFY(!d.isVisible());
}

void TestProgressDialog::escapeDoesNotClose()
{
    ProgressDialog d;
    QSignalSpy rejected(&d, &QDialog::rejected);
    QSignalSpy forced(&d, &ProgressDialog::sendForcedExit);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QTest::keyClick(&d, Qt::Key_Escape);
    QTest::keyClick(details(d), Qt::Key_Escape);
    QVERIFY(d.isVisible());
    QCOMPARE(rejected.count(), 0);
    QCOMPARE(forced.count(), 0);

    // The updater still closes it the usual way.
    d.close();
    QVERIFY(!d.isVisible());
}

void TestProgressDialog::windowManagerCloseIsRefused()
{
    ProgressDialog d;
    QSignalSpy rejected(&d, &QDialog::rejected);
    QSignalSpy forced(&d, &ProgressDialog::sendForcedExit);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    // What the platform delivers for the title bar, Alt+F4 or a close message.
    QCloseEvent fromWindowManager;
    QCoreApplication::sendEvent(d.windowHandle(), &fromWindowManager);
    QVERIFY(!fromWindowManager.isAccepted());
    QVERIFY(d.isVisible());
    QCOMPARE(rejected.count(), 0);
    QCOMPARE(forced.count(), 0);

    d.close();
    QVERIFY(!d.isVisible());
}

void TestProgressDialog::enterDoesNotForceExit()
{
    // A stray Enter must not stop an update: Force Exit is no default button.
    ProgressDialog d;
    QSignalSpy forced(&d, &ProgressDialog::sendForcedExit);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    auto* forceExit = d.findChild<QPushButton*>("pb_forceExit");
    QTest::keyClick(&d, Qt::Key_Return);
    QTest::keyClick(&d, Qt::Key_Enter);
    forceExit->setFocus();
    QTest::keyClick(forceExit, Qt::Key_Return);
    QVERIFY(d.isVisible());
    QCOMPARE(forced.count(), 0);

    QTest::keyClick(forceExit, Qt::Key_Space);
    QCOMPARE(forced.count(), 1);
    QVERIFY(!d.isVisible());
}

void TestProgressDialog::headlineAndBar()
{
    ProgressDialog d;
    auto* bar = d.findChild<QProgressBar*>("progressBar");
    QCOMPARE(bar->value(), 0);
    d.setUpdatingText(QStringLiteral("Downloading firmware"));
    d.setProgressMaximum(250);
    d.setProgressValue(125);
    QCOMPARE(d.findChild<QLabel*>("lb_updating")->text(), QStringLiteral("Downloading firmware"));
    QCOMPARE(bar->maximum(), 250);
    QCOMPARE(bar->value(), 125);
}

void TestProgressDialog::clearEmptiesDetails()
{
    ProgressDialog d;
    d.appendDetailsInformation(QStringLiteral("a"));
    d.appendDetailsInformation(QStringLiteral("b"));
    d.clearDetailsInformation();
    QVERIFY(details(d)->document()->isEmpty());
    d.appendDetailsInformation(QStringLiteral("c"));
    QCOMPARE(lines(d), QStringList { "c" });
}

QTEST_MAIN(TestProgressDialog)
#include "tst_progressdialog.moc"
