// Installed versions of the sibling programs, read from executables placed
// under a program-files folder of the test's own.
#include "app/installed/InstalledSoftwareReader.h"
#include "app/installed/PluginFolders.h"
#include "app/updater/VersionComparison.h"
#include "tests/support/PeFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using Files = QMap<QString, QByteArray>;
Q_DECLARE_METATYPE(Files)

namespace {

const QString Tessaly = QStringLiteral("Movra Tessaly/MovraTessaly.exe");
const QString Studio = QStringLiteral("MovraStudio/MovraStudio.exe");
const QString MemoryManager = QStringLiteral("Movra Memory Manager/MovraMemoryManager.exe");
const QString Velim = QStringLiteral("velim/velim.exe");
const QString Marker = nsUpdater::MissingVersionMarker;

enum Program {
    Acquisition,
    Memory,
    Analysis
};

bool place(const QString& root, const Files& files)
{
    for (auto it = files.constBegin(); it != files.constEnd(); ++it) {
        const QString path = root + QLatin1Char('/') + it.key();
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            return false;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size())
            return false;
    }
    return true;
}

QString read(const InstalledSoftwareReader& reader, int program, bool* installed)
{
    switch (program) {
    case Acquisition: return reader.readInstalledAcquisitionSoftwareVersion(installed);
    case Memory: return reader.readInstalledMemoryManagerVersion(installed);
    default: return reader.readInstalledAnalysisSoftwareVersion(installed);
    }
}

} // namespace

class TestInstalledSoftware : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void installedVersion_data();
    void installedVersion();
    void configuredRoot();

private:
    QByteArray m_version6; // 6.2.0.14, 64 bits
    QByteArray m_version5; // 5.0.0.1, 32 bits
    QByteArray m_noFixedBlock;
};

void TestInstalledSoftware::initTestCase()
{
    QTemporaryDir work;
    QVERIFY(work.isValid());
    QString error = nsPeFixtures::makeExecutable(work.filePath("a.exe"), "x86_64", "6,2,0,14");
    QVERIFY2(error.isEmpty(), qPrintable(error));
    error = nsPeFixtures::makeExecutable(work.filePath("b.exe"), "i686", "5,0,0,1");
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QFile a(work.filePath("a.exe"));
    QFile b(work.filePath("b.exe"));
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    m_version6 = a.readAll();
    m_version5 = b.readAll();
    m_noFixedBlock = nsPeFixtures::peImage(nsPeFixtures::versionBlock(0, 0, 0, 0));
}

void TestInstalledSoftware::installedVersion_data()
{
    QTest::addColumn<int>("program");
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("installed");

    const QByteArray garbage("MZ but nothing else");
    QTest::newRow("acquisition: current program")
        << int(Acquisition) << Files { { Tessaly, m_version6 }, { Studio, m_version5 } } << "6.2.0.14" << true;
    QTest::newRow("acquisition: older program only")
        << int(Acquisition) << Files { { Studio, m_version5 } } << "5.0.0.1" << true;
    QTest::newRow("acquisition: current unreadable, older read")
        << int(Acquisition) << Files { { Tessaly, garbage }, { Studio, m_version5 } } << "5.0.0.1" << true;
    QTest::newRow("acquisition: current without fixed block")
        << int(Acquisition) << Files { { Tessaly, m_noFixedBlock }, { Studio, m_version5 } } << "" << true;
    QTest::newRow("acquisition: older without fixed block")
        << int(Acquisition) << Files { { Studio, m_noFixedBlock } } << "" << true;
    QTest::newRow("acquisition: neither") << int(Acquisition) << Files { { Tessaly, garbage } } << Marker << false;
    QTest::newRow("memory manager") << int(Memory) << Files { { MemoryManager, m_version5 } } << "5.0.0.1" << true;
    QTest::newRow("memory manager missing") << int(Memory) << Files { { Tessaly, m_version6 } } << Marker << false;
    QTest::newRow("memory manager without fixed block")
        << int(Memory) << Files { { MemoryManager, m_noFixedBlock } } << "" << true;
    QTest::newRow("analysis") << int(Analysis) << Files { { Velim, m_version6 } } << "6.2.0.14" << true;
    QTest::newRow("analysis missing") << int(Analysis) << Files {} << Marker << false;
    QTest::newRow("analysis not a PE file") << int(Analysis) << Files { { Velim, garbage } } << Marker << false;
}

void TestInstalledSoftware::installedVersion()
{
    QFETCH(int, program);
    QFETCH(Files, files);
    QFETCH(QString, version);
    QFETCH(bool, installed);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(place(root.path(), files));
    const InstalledSoftwareReader reader(root.path());
    bool isInstalled = !installed;
    QCOMPARE(read(reader, program, &isInstalled), version);
    QCOMPARE(isInstalled, installed);
}

void TestInstalledSoftware::configuredRoot()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(place(root.path(), Files { { Velim, m_version5 } }));

    qputenv("MOVRA_INSTALL_ROOT", root.path().toLocal8Bit());
    const InstalledSoftwareReader configured;
    QCOMPARE(configured.analysisSoftwarePath(), root.filePath(Velim));
    bool installed = false;
    QCOMPARE(configured.readInstalledAnalysisSoftwareVersion(&installed), QStringLiteral("5.0.0.1"));
    QVERIFY(installed);
    qunsetenv("MOVRA_INSTALL_ROOT");
    QVERIFY(InstalledSoftwareReader().analysisSoftwarePath() != configured.analysisSoftwarePath());
}

QTEST_GUILESS_MAIN(TestInstalledSoftware)
#include "tst_installedsoftware.moc"
