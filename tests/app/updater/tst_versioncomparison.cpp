// Reading and comparing version texts, and the status line that follows.
#include "app/updater/VersionComparison.h"

#include <QCoreApplication>
#include <QTranslator>
#include <QtTest>

using namespace nsUpdater;

namespace {

const QString Marker = MissingVersionMarker;
const char* const NotChecked = "Update(s) not checked yet";
const char* const NewVersion = "New version(s) available";
const char* const UpToDate = "Already up-to-date";

} // namespace

class TestVersionComparison : public QObject
{
    Q_OBJECT
private slots:
    void parseVersion_data();
    void parseVersion();
    void compare_data();
    void compare();
    void markerKeepsItsMeaningAcrossALanguageChange();
};

void TestVersionComparison::parseVersion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("numbers");

    QTest::newRow("four parts") << "1.2.5.0" << QList<int> { 1, 2, 5, 0 };
    QTest::newRow("one part") << "3" << QList<int> { 3 };
    QTest::newRow("empty text") << "" << QList<int> { 0 };
    QTest::newRow("empty part kept") << "1..2" << QList<int> { 1, 0, 2 };
    QTest::newRow("letters") << "1.a.3" << QList<int> { 1, 0, 3 };
    QTest::newRow("marker") << Marker << QList<int> { 0 };
    QTest::newRow("sign and blanks") << " -1.+2 . 7" << QList<int> { -1, 2, 7 };
    QTest::newRow("outside 32 bits") << "1.4294967296" << QList<int> { 1, 0 };
}

void TestVersionComparison::parseVersion()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, numbers);
    QCOMPARE(nsUpdater::parseVersion(text), numbers);
}

void TestVersionComparison::compare_data()
{
    QTest::addColumn<QString>("installed");
    QTest::addColumn<QString>("available");
    QTest::addColumn<bool>("newer");
    QTest::addColumn<QString>("status");

    QTest::newRow("newer patch") << "1.2.3"
                                 << "1.2.4" << true << NewVersion;
    QTest::newRow("older") << "1.2.4"
                           << "1.2.3" << false << UpToDate;
    QTest::newRow("equal") << "2.13"
                           << "2.13" << false << UpToDate;
    QTest::newRow("numeric, not textual") << "1.9"
                                          << "1.10" << true << NewVersion;
    QTest::newRow("first difference decides") << "1.10.0"
                                              << "2.0.0" << true << NewVersion;
    QTest::newRow("longer available, equal prefix") << "2.0"
                                                    << "2.0.1" << false << UpToDate;
    QTest::newRow("longer installed, equal prefix") << "2.0.1"
                                                    << "2.0" << false << UpToDate;
    QTest::newRow("one part against four") << "1.0.0.0"
                                           << "1" << false << UpToDate;
    QTest::newRow("installed empty") << ""
                                     << "1.0" << true << NewVersion;
    QTest::newRow("available empty") << "1.0"
                                     << "" << false << UpToDate;
    QTest::newRow("installed letters") << "1.a.3"
                                       << "1.0.4" << true << NewVersion;
    QTest::newRow("both markers") << Marker << Marker << false << UpToDate;
    QTest::newRow("installed marker") << Marker << "1.0" << true << NewVersion;
    QTest::newRow("available marker") << "1.0" << Marker << false << NotChecked;
    QTest::newRow("available contains marker") << "1.0" << Marker + QStringLiteral(" yet") << false << NotChecked;
    QTest::newRow("available contains marker, newer") << "0" << QStringLiteral("2.") + Marker << true << NotChecked;
    QTest::newRow("installed contains marker") << Marker + QStringLiteral(" yet") << "1.0" << true << NewVersion;
    QTest::newRow("marker is case-sensitive") << "1.0"
                                              << "n/a" << false << UpToDate;
}

void TestVersionComparison::compare()
{
    QFETCH(QString, installed);
    QFETCH(QString, available);
    QFETCH(bool, newer);
    QFETCH(QString, status);
    QCOMPARE(isNewerVersion(installed, available), newer);
    QCOMPARE(updateStatusText(installed, available), status);
}

// A record that holds the marker from before the switch to French must still
// read as "no version" afterwards; only its display follows the language.
void TestVersionComparison::markerKeepsItsMeaningAcrossALanguageChange()
{
    const QString installedRecord = MissingVersionMarker;
    const QString availableRecord = MissingVersionMarker;
    QCOMPARE(displayVersion(installedRecord), QStringLiteral("N/A"));

    QTranslator french;
    QVERIFY(french.load(QStringLiteral(":/Languages/MovraMaintenanceTool_fr_CA.qm")));
    QVERIFY(QCoreApplication::installTranslator(&french));
    const QString frenchMarker = QCoreApplication::translate("ProgressDialog", "N/A");
    QVERIFY(frenchMarker != MissingVersionMarker);

    QCOMPARE(displayVersion(installedRecord), frenchMarker);
    QCOMPARE(displayVersion(QStringLiteral("1.2")), QStringLiteral("1.2"));
    // Read as numbers, both records would be [0]: only the marker rules give these.
    QVERIFY(isNewerVersion(installedRecord, QStringLiteral("0")));
    QVERIFY(!isNewerVersion(QStringLiteral("-1"), availableRecord));
    const QString notChecked = updateStatusText(QStringLiteral("1.0"), availableRecord);
    QCOMPARE(notChecked, QCoreApplication::translate("VEKUpdaterWidget", NotChecked));
    QVERIFY(notChecked != QLatin1String(NotChecked));

    // Records made after the switch hold the same fixed marker.
    QVERIFY(QCoreApplication::removeTranslator(&french));
    QVERIFY(isNewerVersion(installedRecord, QStringLiteral("1.0")));
    QCOMPARE(updateStatusText(QStringLiteral("1.0"), availableRecord), QLatin1String(NotChecked));
    QCOMPARE(displayVersion(availableRecord), QStringLiteral("N/A"));
}

QTEST_GUILESS_MAIN(TestVersionComparison)
#include "tst_versioncomparison.moc"
