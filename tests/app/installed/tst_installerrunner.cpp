// Running a downloaded installer as a real child process: a small script
// that is not executable when it arrives.
#include "app/installed/InstallerRunner.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestInstallerRunner : public QObject
{
    Q_OBJECT
private slots:
    void run_data();
    void run();
    void twoInstallersAtOnce();
};

void TestInstallerRunner::run_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file at all
    QTest::addColumn<bool>("starts");
    QTest::addColumn<bool>("leavesMarker");

    QTest::newRow("ends normally") << QByteArray("#!/bin/sh\necho installed > \"$0.marker\"\n") << true << true;
    QTest::newRow("ends with an error code")
        << QByteArray("#!/bin/sh\necho x > \"$0.marker\"\nexit 3\n") << true << true;
    QTest::newRow("crashes") << QByteArray("#!/bin/sh\necho x > \"$0.marker\"\nkill -SEGV $$\n") << true << true;
    QTest::newRow("not a program") << QByteArray("\x01\x02 garbage, no interpreter line") << false << false;
    QTest::newRow("no file") << QByteArray() << false << false;
}

void TestInstallerRunner::run()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, starts);
    QFETCH(bool, leavesMarker);

    QTemporaryDir downloads;
    QVERIFY(downloads.isValid());
    const QString installer = downloads.filePath("Movra Tessaly Setup.exe");
    if (!content.isNull()) {
        QFile file(installer);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QVERIFY(!(QFile::permissions(installer) & QFileDevice::ExeOwner));
    }

    InstallerRunner runner;
    QSignalSpy finished(&runner, &InstallerRunner::sendInstallerFinished);
    QSignalSpy failed(&runner, &InstallerRunner::sendInstallerStartFailed);
    runner.startInstaller(installer);

    if (starts) {
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().at(0).toString(), installer);
        QCOMPARE(failed.size(), 0);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 10000);
        QCOMPARE(failed.first().at(0).toString(), installer);
        QVERIFY(failed.first().at(1).toString().contains("Movra Tessaly Setup.exe"));
        QTest::qWait(100);
        QCOMPARE(finished.size(), 0);
    }
    QVERIFY(!QFile::exists(installer));
    QCOMPARE(QFile::exists(installer + ".marker"), leavesMarker);
}

void TestInstallerRunner::twoInstallersAtOnce()
{
    QTemporaryDir downloads;
    QVERIFY(downloads.isValid());
    const QString slow = downloads.filePath("slow.exe");
    const QString quick = downloads.filePath("quick.exe");
    QFile slowFile(slow);
    QVERIFY(slowFile.open(QIODevice::WriteOnly));
    slowFile.write("#!/bin/sh\nsleep 1\necho x > \"$0.marker\"\n");
    slowFile.close();
    QFile quickFile(quick);
    QVERIFY(quickFile.open(QIODevice::WriteOnly));
    quickFile.write("#!/bin/sh\necho x > \"$0.marker\"\n");
    quickFile.close();

    InstallerRunner runner;
    QSignalSpy finished(&runner, &InstallerRunner::sendInstallerFinished);
    runner.startInstaller(slow);
    runner.startInstaller(quick);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 10000);
    QCOMPARE(finished.at(0).at(0).toString(), quick);
    QCOMPARE(finished.at(1).at(0).toString(), slow);
    QVERIFY(QFile::exists(slow + ".marker") && QFile::exists(quick + ".marker"));
    QVERIFY(!QFile::exists(slow) && !QFile::exists(quick));
}

QTEST_GUILESS_MAIN(TestInstallerRunner)
#include "tst_installerrunner.moc"
