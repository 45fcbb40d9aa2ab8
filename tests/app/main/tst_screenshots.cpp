#include "tests/app/main/ProgramRun.h"
#include "tests/support/PictureProbe.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QSet>
#include <QStandardPaths>
#include <QtTest>

// Pictures of the main window drawn by a real X server, in English and,
// after a language change and a restart, in French, checked against where
// the window says it drew its tabs and device rows. The pictures are kept
// in the build folder as test output.
class TestScreenshots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void englishThenFrench();

private:
    QProcessEnvironment display() const;
    static void checkPicture(const QString& path, const QList<QStringList>& reports);

    QProcess m_xvfb;
    QString m_display;
};

void TestScreenshots::initTestCase()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        QSKIP("Xvfb is not installed");
    // Xvfb picks a free display itself and writes its number to standard output.
    m_xvfb.start(xvfb, { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                         QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                         QStringLiteral("1024x1000x24") });
    QVERIFY(m_xvfb.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(m_xvfb.canReadLine() || m_xvfb.state() != QProcess::Running, 10000);
    const QByteArray number = m_xvfb.readLine().trimmed();
    QVERIFY2(!number.isEmpty(), m_xvfb.readAllStandardError().constData());
    m_display = QStringLiteral(":") + QString::fromLatin1(number);
    QVERIFY(QDir().mkpath(QStringLiteral(MOVRA_SCREENSHOT_DIR)));
}

void TestScreenshots::cleanupTestCase()
{
    if (m_xvfb.state() != QProcess::NotRunning) {
        m_xvfb.terminate();
        if (!m_xvfb.waitForFinished(5000))
            m_xvfb.kill();
    }
}

QProcessEnvironment TestScreenshots::display() const
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), m_display);
    return env;
}

namespace {

QRect rectOf(const QString& text)
{
    const QStringList n = text.split(QLatin1Char(','));
    return QRect(n.value(0).toInt(), n.value(1).toInt(), n.value(2).toInt(), n.value(3).toInt());
}

QList<QStringList> reportsOf(const QList<QStringList>& reports, const QString& kind)
{
    QList<QStringList> found;
    for (const QStringList& report : reports) {
        if (report.value(0) == kind)
            found.append(report);
    }
    return found;
}

} // namespace

// The driver's SHOT_ reports tell where the window drew its parts when the
// picture was taken; the picture must show them there.
void TestScreenshots::checkPicture(const QString& path, const QList<QStringList>& reports)
{
    QImage picture(path);
    QVERIFY2(!picture.isNull(), qPrintable(path));
    QCOMPARE(picture.width(), 590);
    QVERIFY(picture.height() >= 100 && picture.height() <= 900);
    const QList<QStringList> window = reportsOf(reports, QStringLiteral("SHOT_WINDOW"));
    QCOMPARE(window.size(), 1);
    const qreal ratio = window.first().value(2).toDouble();
    QCOMPARE(picture.size(), rectOf(window.first().value(1)).size() * ratio);
    const PictureProbe probe(picture, ratio);
    // A drawn window, not an empty frame: dark background and several colours.
    QVERIFY2(probe.colourCount(3) > 4, qPrintable(QString::number(probe.colourCount(3))));
    QVERIFY(qGray(picture.pixel(picture.width() / 2, picture.height() / 2)) < 128);

    // The current tab stands out from the others.
    const QList<QStringList> tabs = reportsOf(reports, QStringLiteral("SHOT_TAB"));
    QCOMPARE(tabs.size(), 3);
    QList<QColor> others;
    QColor current;
    for (const QStringList& tab : tabs) {
        const QColor colour = probe.dominantColour(rectOf(tab.value(2)));
        if (tab.value(3) == QLatin1String("current"))
            current = colour;
        else
            others.append(colour);
    }
    QCOMPARE(others.size(), 2);
    for (const QColor& other : qAsConst(others))
        QVERIFY2(!PictureProbe::near(current, other, 24), qPrintable(current.name() + QLatin1Char(' ') + other.name()));

    // Each device row shown has its name written inside its rectangle,
    // nothing across its edges, and its status icon (a ring in the
    // program's icon colour) in the status column.
    const QList<QStringList> rows = reportsOf(reports, QStringLiteral("SHOT_ROW"));
    QVERIFY2(rows.size() >= 10, qPrintable(QString::number(rows.size())));
    for (const QStringList& shown : rows) {
        const QRect row = rectOf(shown.value(2));
        const int split = shown.value(3).toInt();
        const QRect name(row.left(), row.top(), split - row.left(), row.height());
        const QRect status(split, row.top(), row.right() - split, row.height());
        const QColor background = probe.dominantColour(row);
        const QList<int> ink = probe.inkRows(name, background);
        const int iconPixels = probe.pixelsNear(status, QColor(78, 156, 207), 24);
        const QString what = QStringLiteral("%1 at %2: background %3, ink rows %4-%5, icon pixels %6")
                                 .arg(shown.value(1), shown.value(2), background.name())
                                 .arg(ink.value(0, -1))
                                 .arg(ink.isEmpty() ? -1 : ink.last())
                                 .arg(iconPixels);
        QVERIFY2(probe.inkPixels(name, background) >= 30, qPrintable(what));
        QVERIFY2(ink.first() > 0 && ink.last() < row.height() - 1, qPrintable(what));
        QVERIFY2(iconPixels >= 10, qPrintable(what));
    }
}

void TestScreenshots::englishThenFrench()
{
    TemporaryAccount account;
    QTemporaryDir work;
    const QString english = QStringLiteral(MOVRA_SCREENSHOT_DIR "/main-window-en.png");
    const QString french = QStringLiteral(MOVRA_SCREENSHOT_DIR "/main-window-fr.png");
    const QString englishMenus = QStringLiteral(MOVRA_SCREENSHOT_DIR "/menus-en.png");
    const QString frenchMenus = QStringLiteral(MOVRA_SCREENSHOT_DIR "/menus-fr.png");
    for (const QString& picture : { english, french, englishMenus, frenchMenus })
        QFile::remove(picture);

    QProcessEnvironment first = display();
    first.insert(QStringLiteral("MOVRA_DRIVER_SCREENSHOT"), english);
    first.insert(QStringLiteral("MOVRA_DRIVER_MENU_SCREENSHOT"), englishMenus);
    first.insert(QStringLiteral("MOVRA_DRIVER_TRIGGER"), QStringLiteral("actionFrench"));
    {
        ProgramRun run(account, work.path(), first);
        QVERIFY(run.started());
        const QStringList window = run.waitFor(QStringLiteral("WINDOW"));
        QVERIFY2(!window.isEmpty(), qPrintable(run.errorOutput()));
        QVERIFY(window.value(7).startsWith(QStringLiteral("File|Exit|Help")));
        QCOMPARE(run.waitFor(QStringLiteral("SCREENSHOT")).value(2), QStringLiteral("saved"));
        QCOMPARE(run.waitFor(QStringLiteral("MENU_SCREENSHOT")).value(2), QStringLiteral("saved"));
        const QStringList question = run.waitFor(QStringLiteral("BOX"));
        QCOMPARE(question.value(1), QString::number(int(QMessageBox::Question)));
        const QStringList answer = run.waitFor(QStringLiteral("BOX"));
        // Success, told in French: the translation is installed at once.
        QCOMPARE(answer.value(1), QString::number(int(QMessageBox::Information)));
        QVERIFY(answer.value(3) != QLatin1String("<b>Language changed successfully!</b>"));
        QVERIFY(!run.waitFor(QStringLiteral("TRIGGERED")).isEmpty());
        run.askToClose();
        QVERIFY(run.waitForExit());
        QVERIFY2(run.exitCode() == 0, qPrintable(run.errorOutput().right(6000)));
        checkPicture(english, run.reports());
    }

    QProcessEnvironment second = display();
    second.insert(QStringLiteral("MOVRA_DRIVER_SCREENSHOT"), french);
    second.insert(QStringLiteral("MOVRA_DRIVER_MENU_SCREENSHOT"), frenchMenus);
    ProgramRun run(account, work.path(), second);
    QVERIFY(run.started());
    const QStringList window = run.waitFor(QStringLiteral("WINDOW"));
    QVERIFY2(!window.isEmpty(), qPrintable(run.errorOutput()));
    QVERIFY2(window.value(7).startsWith(QStringLiteral("Fichier|")), qPrintable(window.value(7)));
    QCOMPARE(window.value(1), QStringLiteral("Movra Maintenance Tool"));
    QCOMPARE(run.waitFor(QStringLiteral("SCREENSHOT")).value(2), QStringLiteral("saved"));
    QCOMPARE(run.waitFor(QStringLiteral("MENU_SCREENSHOT")).value(2), QStringLiteral("saved"));
    run.askToClose();
    QVERIFY(run.waitForExit());
    QCOMPARE(run.exitCode(), 0);
    checkPicture(french, run.reports());
    QVERIFY(QImage(english) != QImage(french));
}

int main(int argc, char** argv)
{
    // Out of sight of the sibling programs that other tests start.
    reexecInOwnPidNamespace(argc, argv);
    QCoreApplication app(argc, argv);
    TestScreenshots test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_screenshots.moc"
