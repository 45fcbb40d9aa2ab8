// The plugin folder from the acquisition program's path file, and the scan
// of that folder with real Qt plugins built beside this test.
#include "app/installed/InstalledPluginScanner.h"
#include "app/updater/VersionComparison.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace nsUpdater;

namespace {

const QString Marker = MissingVersionMarker;
const QString Root = QStringLiteral("/opt/test-root/Movrane");
const QString DefaultFolder = QStringLiteral("/opt/test-root/Movrane/Movra Tessaly/plugins");

} // namespace

class TestInstalledPlugins : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void pluginFolder_data();
    void pluginFolder();
    void acquisitionDataFolderBesideOurs();
    void defaultFolderUnderTheInstallationRoot();
    void scanOneName_data();
    void scanOneName();
    void everyTableName();
    void missingFolder();

private:
    QTemporaryDir m_plugins;
};

void TestInstalledPlugins::initTestCase()
{
    QVERIFY(m_plugins.isValid());
    const QDir built(QStringLiteral(TEST_PLUGIN_DIR));
    const QStringList libraries = built.entryList(QDir::Files);
    QCOMPARE(libraries.size(), 3);
    for (const QString& library : libraries)
        QVERIFY(QFile::copy(built.filePath(library), m_plugins.filePath(library)));
    // A file that only looks like a plugin of the table.
    QFile junk(m_plugins.filePath("Movra File Editor.so"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("Movra File Editor 1.0\n");
    junk.close();
    // Folders are not listed.
    QVERIFY(QDir(m_plugins.path()).mkdir("Movra File Editor"));
}

void TestInstalledPlugins::pluginFolder_data()
{
    QTest::addColumn<bool>("dataFolder");
    QTest::addColumn<QByteArray>("pathFile"); // null: no path file
    QTest::addColumn<QString>("folder");

    QTest::newRow("no data folder") << false << QByteArray() << DefaultFolder;
    QTest::newRow("no path file") << true << QByteArray() << DefaultFolder;
    QTest::newRow("plain path") << true << QByteArray("D:/Movra Tessaly") << "D:/Movra Tessaly/plugins";
    QTest::newRow("trailing newline kept") << true << QByteArray("D:/Tessaly\n") << "D:/Tessaly\n/plugins";
    QTest::newRow("QXL_Master anywhere") << true << QByteArray("D:/QXL_Master/Tessaly") << DefaultFolder;
    QTest::newRow("QXL_Master is case-sensitive") << true << QByteArray("D:/qxl_master") << "D:/qxl_master/plugins";
    QTest::newRow("empty path file") << true << QByteArray("") << "/plugins";
}

void TestInstalledPlugins::pluginFolder()
{
    QFETCH(bool, dataFolder);
    QFETCH(QByteArray, pathFile);
    QFETCH(QString, folder);

    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QString data = base.filePath("Movra Tessaly");
    if (dataFolder)
        QVERIFY(QDir().mkpath(data));
    if (!pathFile.isNull()) {
        QFile file(data + "/QXL_Path");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(pathFile);
    }
    QCOMPARE(InstalledPluginScanner::pluginFolder(data, Root), folder);
}

void TestInstalledPlugins::acquisitionDataFolderBesideOurs()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("Movrane Inc.");
    QCoreApplication::setApplicationName("Movra Maintenance Tool");
    const QString ours = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QVERIFY(ours.endsWith("/Movrane Inc./Movra Maintenance Tool"));
    const QString theirs = InstalledPluginScanner::acquisitionDataFolder();
    QCOMPARE(theirs, ours.chopped(int(qstrlen("Movra Maintenance Tool"))) + "Movra Tessaly");
}

void TestInstalledPlugins::defaultFolderUnderTheInstallationRoot()
{
    qputenv("MOVRA_INSTALL_ROOT", "/srv/elsewhere/Movrane");
    QCOMPARE(InstalledPluginScanner::defaultPluginFolder(),
             QStringLiteral("/srv/elsewhere/Movrane/Movra Tessaly/plugins"));
    qunsetenv("MOVRA_INSTALL_ROOT");
}

void TestInstalledPlugins::scanOneName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("version");

    QTest::newRow("name matches") << "Orvex Analyzer" << true << "2.1.0";
    QTest::newRow("name contains the table name") << "Tilmar Analyzer" << true << "1.4";
    QTest::newRow("table name longer than the name") << "Tilmar Analyzer Pro Max" << false << "";
    QTest::newRow("case-sensitive") << "orvex analyzer" << false << "";
    QTest::newRow("other interface") << "Pracel Analyzer" << false << "";
    QTest::newRow("no plugin at all") << "Movra File Editor" << false << "";
}

void TestInstalledPlugins::scanOneName()
{
    QFETCH(QString, name);
    QFETCH(bool, found);
    QFETCH(QString, version);

    QString scanned;
    QCOMPARE(InstalledPluginScanner::scanInstalledPlugins(QDir(m_plugins.path()), name, &scanned), found);
    QCOMPARE(scanned, version);
}

void TestInstalledPlugins::everyTableName()
{
    const QMap<PluginIdentifier, QString> expected {
        { OrvexAnalyzer, "2.1.0" },
        { TilmarAnalyzer, "1.4" },
        { PracelAnalyzer, Marker },
        { MovraFileEditor, Marker },
    };
    // Twice: the instances deleted by the first scan are made anew.
    for (int round = 0; round < 2; ++round)
        QCOMPARE(InstalledPluginScanner::installedPluginVersions(QDir(m_plugins.path())), expected);

    QVERIFY(InstalledPluginScanner::isInstalled("2.1.0"));
    QVERIFY(InstalledPluginScanner::isInstalled(""));
    QVERIFY(!InstalledPluginScanner::isInstalled(Marker));
}

void TestInstalledPlugins::missingFolder()
{
    const QMap<PluginIdentifier, QString> versions =
        InstalledPluginScanner::installedPluginVersions(QDir(m_plugins.filePath("absent")));
    QCOMPARE(versions.size(), PluginNames.size());
    for (const QString& version : versions)
        QCOMPARE(version, Marker);
}

QTEST_GUILESS_MAIN(TestInstalledPlugins)
#include "tst_installedplugins.moc"
