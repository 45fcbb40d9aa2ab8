#include "platform/PlatformServices.h"
#include "tests/app/main/ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString SiblingWarning =
    QStringLiteral("Another Movra Software is already running.\r\nOnly one instance is allowed.");
const QString InstanceWarning =
    QStringLiteral("Movra Maintenance Tool is already running.\r\nOnly one instance is allowed.");
const QString WarningIcon = QString::number(int(QMessageBox::Warning));

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool processListed(const QString& name, bool listed)
{
    for (int i = 0; i < 100; ++i) {
        bool ok = false;
        if (nsPlatform::runningProcessNames(&ok).contains(name) == listed && ok)
            return true;
        QTest::qWait(20);
    }
    return false;
}

} // namespace

// Start-up of the real program as separate processes.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void siblingProgram_data();
    void siblingProgram();
    void singleInstance();
    void identityFontAndStyle();
    void dataFolderCannotBeMade();
    void pathFileCannotBeWritten();

private:
    QString m_workDir;
    QTemporaryDir m_dirs;
};

void TestStartup::initTestCase()
{
    QVERIFY(m_dirs.isValid());
    if (!qEnvironmentVariableIsSet("MOVRA_IN_PID_NAMESPACE") || QCoreApplication::applicationPid() != 1)
        qInfo("Not in a PID namespace of its own: other running programs are visible to the program under test.");
    // No sibling program may already run where the program looks.
    bool ok = false;
    const QStringList names = nsPlatform::runningProcessNames(&ok);
    QVERIFY(ok);
    if (names.contains(QStringLiteral("MovraStudio.exe")) || names.contains(QStringLiteral("MovraTessaly.exe")))
        QSKIP("A sibling program runs on this machine");
}

void TestStartup::siblingProgram_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<bool>("refused");
    QTest::newRow("MovraTessaly.exe") << "MovraTessaly.exe" << true;
    QTest::newRow("MovraStudio.exe") << "MovraStudio.exe" << true;
    QTest::newRow("other case") << "movratessaly.exe" << false;
    QTest::newRow("longer name") << "MovraTessaly.exe2" << false;
    QTest::newRow("shorter name") << "MovraTessaly.ex" << false;
}

void TestStartup::siblingProgram()
{
    QFETCH(QString, executable);
    QFETCH(bool, refused);

    TemporaryAccount account;
    QVERIFY(account.isValid());
    QTemporaryDir bin;
    const QString copy = bin.filePath(executable);
    QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), copy));
    QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner));
    QProcess sibling;
    sibling.start(copy, { QStringLiteral("60") });
    QVERIFY(sibling.waitForStarted());
    QVERIFY(processListed(executable, true));

    ProgramRun run(account, m_dirs.path());
    QVERIFY(run.started());
    if (refused) {
        const QStringList box = run.waitFor(QStringLiteral("BOX"));
        QCOMPARE(box.value(1), WarningIcon);
        QCOMPARE(box.value(2), QString());
        QCOMPARE(box.value(3), SiblingWarning);
        QVERIFY(run.waitForExit());
        QVERIFY(!run.crashed());
        QCOMPARE(run.exitCode(), 0);
        // Refused before the lock: nothing of the program is left behind.
        QVERIFY(!QDir(account.dataFolder()).exists());
        for (const QStringList& r : run.reports())
            QVERIFY(r.value(0) != QLatin1String("WINDOW"));
    } else {
        QVERIFY2(!run.waitFor(QStringLiteral("WINDOW")).isEmpty(), qPrintable(run.errorOutput()));
        run.askToClose();
        QVERIFY(run.waitForExit());
        QCOMPARE(run.exitCode(), 0);
        for (const QStringList& r : run.reports())
            QVERIFY2(r.value(0) != QLatin1String("BOX"), qPrintable(r.join(QLatin1Char(' '))));
    }
    sibling.kill();
    sibling.waitForFinished();
}

void TestStartup::singleInstance()
{
    TemporaryAccount account;
    QTemporaryDir firstDir, secondDir;

    ProgramRun first(account, firstDir.path());
    QVERIFY(first.started());
    QVERIFY2(!first.waitFor(QStringLiteral("WINDOW")).isEmpty(), qPrintable(first.errorOutput()));
    QVERIFY(QFile::exists(account.lockFile()));
    QCOMPARE(readFile(account.pathFile()), QDir(firstDir.path()).absolutePath().toLocal8Bit());

    {
        ProgramRun second(account, secondDir.path());
        QVERIFY(second.started());
        const QStringList box = second.waitFor(QStringLiteral("BOX"));
        QCOMPARE(box.value(1), WarningIcon);
        QCOMPARE(box.value(2), QString());
        QCOMPARE(box.value(3), InstanceWarning);
        QVERIFY(second.waitForExit());
        QVERIFY(!second.crashed());
        QCOMPARE(second.exitCode(), 0);
    }
    // The first copy still holds its lock and its path file.
    QVERIFY(QFile::exists(account.lockFile()));
    QCOMPARE(readFile(account.pathFile()), QDir(firstDir.path()).absolutePath().toLocal8Bit());

    first.askToClose();
    QVERIFY(first.waitForExit());
    QVERIFY(!first.crashed());
    QCOMPARE(first.exitCode(), 0);
    QVERIFY(!QFile::exists(account.lockFile()));

    // A new start succeeds and records its own working directory, exactly.
    ProgramRun third(account, secondDir.path());
    QVERIFY(third.started());
    QVERIFY(!third.waitFor(QStringLiteral("WINDOW")).isEmpty());
    QCOMPARE(readFile(account.pathFile()), QDir(secondDir.path()).absolutePath().toLocal8Bit());
    third.askToClose();
    QVERIFY(third.waitForExit());
    QCOMPARE(third.exitCode(), 0);
    for (const QStringList& r : third.reports())
        QVERIFY(r.value(0) != QLatin1String("BOX"));
}

void TestStartup::identityFontAndStyle()
{
    TemporaryAccount account;
    ProgramRun run(account, m_dirs.path());
    QVERIFY(run.started());
    const QStringList window = run.waitFor(QStringLiteral("WINDOW"));
    QVERIFY2(!window.isEmpty(), qPrintable(run.errorOutput()));
    QCOMPARE(window.value(1), QStringLiteral("Movra Maintenance Tool"));
    QCOMPARE(window.value(3), QStringLiteral("sheet"));
    QCOMPARE(window.value(4), QStringLiteral("Lato"));
    QCOMPARE(window.value(5), QStringLiteral("8"));
    QCOMPARE(window.value(6), QString::number(int(QFont::Normal)));
    QCOMPARE(window.value(7),
             QStringLiteral("File|Exit|Help|Help Content|About|Language|English (US)|French (Canada)"));
    run.askToClose();
    QVERIFY(run.waitForExit());
    QCOMPARE(run.exitCode(), 0);
}

void TestStartup::dataFolderCannotBeMade()
{
    TemporaryAccount account;
    // A plain file where the data folders would go.
    QVERIFY(QDir(account.root()).rmdir(QStringLiteral("data")));
    QFile blocker(account.root() + QStringLiteral("/data"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    ProgramRun run(account, m_dirs.path());
    QVERIFY(run.started());
    const QStringList box = run.waitFor(QStringLiteral("BOX"));
    QCOMPARE(box.value(3), InstanceWarning);
    QVERIFY(run.waitForExit());
    QVERIFY(!run.crashed());
    QCOMPARE(run.exitCode(), 0);
}

void TestStartup::pathFileCannotBeWritten()
{
    TemporaryAccount account;
    QVERIFY(QDir().mkpath(account.pathFile() + QStringLiteral("/occupied")));

    ProgramRun run(account, m_dirs.path());
    QVERIFY(run.started());
    QVERIFY2(!run.waitFor(QStringLiteral("WINDOW")).isEmpty(), qPrintable(run.errorOutput()));
    run.askToClose();
    QVERIFY(run.waitForExit());
    QCOMPARE(run.exitCode(), 0);
    for (const QStringList& r : run.reports())
        QVERIFY(r.value(0) != QLatin1String("BOX"));
}

int main(int argc, char** argv)
{
    reexecInOwnPidNamespace(argc, argv);
    QCoreApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
