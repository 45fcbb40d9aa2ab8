#include "tests/app/main/ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QSet>
#include <QStandardPaths>
#include <QtTest>

// Pictures of the main window drawn by a real X server, in English and,
// after a language change and a restart, in French. The pictures are kept
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
    static void checkPicture(const QString& path);

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

void TestScreenshots::checkPicture(const QString& path)
{
    QImage picture(path);
    QVERIFY2(!picture.isNull(), qPrintable(path));
    QCOMPARE(picture.width(), 590);
    QVERIFY(picture.height() >= 100 && picture.height() <= 900);
    // A drawn window, not an empty frame: dark background and several colours.
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3)
        for (int x = 0; x < picture.width(); x += 3)
            colours.insert(picture.pixel(x, y));
    QVERIFY2(colours.size() > 4, qPrintable(QString::number(colours.size())));
    QVERIFY(qGray(picture.pixel(picture.width() / 2, picture.height() / 2)) < 128);
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
    }
    checkPicture(english);

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
    checkPicture(french);
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
