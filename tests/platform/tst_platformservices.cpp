#include "platform/PlatformServices.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// The process list and memory size as this machine reports them.
class TestPlatformServices : public QObject
{
    Q_OBJECT

private slots:
    void processNamesAreWhole_data();
    void processNamesAreWhole();
    void physicalMemoryMatchesKernel();

private:
    static bool waitForName(const QString& name, bool present);
};

bool TestPlatformServices::waitForName(const QString& name, bool present)
{
    for (int i = 0; i < 50; ++i) {
        bool ok = false;
        const QStringList names = nsPlatform::runningProcessNames(&ok);
        if (ok && names.contains(name) == present)
            return true;
        QTest::qWait(20);
    }
    return false;
}

void TestPlatformServices::processNamesAreWhole_data()
{
    QTest::addColumn<QString>("argv0");     // as the process is started (empty: the copy's own path)
    QTest::addColumn<QString>("copyName");  // name of the copied executable
    QTest::addColumn<QString>("expected");  // whole name that must be listed
    QTest::addColumn<QString>("notListed"); // name that must not be listed
    // Longer than the 15 characters the kernel's short name keeps. The names
    // differ from the sibling programs' so a real start elsewhere is not refused.
    QTest::newRow("long copy") << QString() << "LongProcessName.exe"
                               << "LongProcessName.exe"
                               << "LongProcessName";
    QTest::newRow("backslash path") << "C:\\Program Files\\Movrane\\OtherStudio.exe"
                                    << "helper"
                                    << "OtherStudio.exe"
                                    << "C:\\Program Files\\Movrane\\OtherStudio.exe";
    QTest::newRow("exe link only") << "renamed-in-argv"
                                   << "LinkedName.exe"
                                   << "LinkedName.exe" << QString();
}

void TestPlatformServices::processNamesAreWhole()
{
    QFETCH(QString, argv0);
    QFETCH(QString, copyName);
    QFETCH(QString, expected);
    QFETCH(QString, notListed);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath(copyName);
    QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), copy));
    QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner));
    QVERIFY(waitForName(expected, false));

    QProcess process;
    if (argv0.isEmpty()) {
        process.start(copy, { QStringLiteral("30") });
    } else {
        // exec -a sets argv[0] independently of the executable file.
        process.start(QStringLiteral("/bin/bash"),
                      { QStringLiteral("-c"), QStringLiteral("exec -a \"$0\" \"$1\" 30"), argv0, copy });
    }
    QVERIFY(process.waitForStarted());
    QVERIFY2(waitForName(expected, true), qPrintable(expected));
    if (!notListed.isEmpty()) {
        bool ok = false;
        QVERIFY(!nsPlatform::runningProcessNames(&ok).contains(notListed));
        QVERIFY(ok);
    }
    process.kill();
    process.waitForFinished();
    QVERIFY(waitForName(expected, false));
}

void TestPlatformServices::physicalMemoryMatchesKernel()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    QVERIFY(meminfo.open(QIODevice::ReadOnly));
    const QRegularExpression total(QStringLiteral("^MemTotal:\\s+(\\d+) kB"), QRegularExpression::MultilineOption);
    const auto match = total.match(QString::fromLatin1(meminfo.readAll()));
    QVERIFY(match.hasMatch());
    QCOMPARE(nsPlatform::physicalMemoryBytes(), match.captured(1).toULongLong() * 1024u);
}

QTEST_GUILESS_MAIN(TestPlatformServices)
#include "tst_platformservices.moc"
