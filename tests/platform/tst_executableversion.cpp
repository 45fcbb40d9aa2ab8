// Reading the version resource of Windows executables: real ones made by the
// mingw-w64 tools, and hand-made images broken one field at a time.
#include "platform/ExecutableVersionReader.h"
#include "platform/PlatformServices.h"
#include "tests/support/PeFixtures.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

using namespace nsPeFixtures;
using nsPlatform::ExecutableVersion;

namespace {

constexpr quint32 Signature = 0xFEEF04BD;

ExecutableVersion readBytes(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return nsPlatform::readExecutableVersion(&buffer);
}

QByteArray goodImage(bool pe32 = false)
{
    return peImage(versionBlock(52, Signature, 0x00010002, 0x00030004), pe32);
}

QByteArray changed(QByteArray image, int offset, quint32 value, int width = 4)
{
    if (width == 2)
        put16(image, offset, quint16(value));
    else
        put32(image, offset, value);
    return image;
}

} // namespace

class TestExecutableVersion : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void handMade_data();
    void handMade();
    void realExecutables_data();
    void realExecutables();
    void everyTruncationGivesNoVersion_data();
    void everyTruncationGivesNoVersion();
    void missingFile(); // and a folder in its place

private:
    QTemporaryDir m_dir;
};

void TestExecutableVersion::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const struct
    {
        const char* name;
        const char* arch;
        const char* version;
    } fixtures[] = {
        { "tessaly64.exe", "x86_64", "6,2,0,14" },
        { "velim32.exe", "i686", "65535,1,0,300" },
        { "noversion.exe", "x86_64", "" },
    };
    for (const auto& f : fixtures) {
        const QString error = makeExecutable(m_dir.filePath(f.name), f.arch, f.version);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
}

void TestExecutableVersion::handMade_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<bool>("hasInformation");
    QTest::addColumn<QString>("version");

    const int r = Layout::ResourceFileOffset;
    const int section = sectionTable();
    const int directories = Layout::OptionalHeader + 112;

    QTest::newRow("PE32+") << goodImage() << true << "1.2.3.4";
    QTest::newRow("PE32") << goodImage(true) << true << "1.2.3.4";
    QTest::newRow("words most significant first")
        << peImage(versionBlock(52, Signature, 0xFFFF0000, 0x0007012C)) << true << "65535.0.7.300";

    // The resource is there, its fixed block is not: installed, empty version.
    QTest::newRow("no fixed block") << peImage(versionBlock(0, 0, 0, 0)) << true << "";
    QTest::newRow("wrong signature") << peImage(versionBlock(52, 0xFEEF04BC, 0x00010002, 0x00030004)) << true << "";
    QTest::newRow("fixed block too short") << peImage(versionBlock(8, Signature, 0x00010002, 0)) << true << "";
    QTest::newRow("fixed block past the block") << changed(goodImage(), r + Layout::VersionBlock, 40, 2) << true << "";

    // Anything else wrong: no version information at all.
    QTest::newRow("empty file") << QByteArray() << false << "";
    QTest::newRow("not MZ") << changed(goodImage(), 0, 0x4D5A, 2) << false << "";
    QTest::newRow("PE offset past the end") << changed(goodImage(), 0x3C, 0xFFFFFFF0) << false << "";
    QTest::newRow("no PE signature") << changed(goodImage(), Layout::PeOffset, 0x00004551) << false << "";
    QTest::newRow("unknown optional magic") << changed(goodImage(), Layout::OptionalHeader, 0x107, 2) << false << "";
    QTest::newRow("optional header too short for the directory")
        << changed(goodImage(), Layout::CoffHeader + 16, 120, 2) << false << "";
    QTest::newRow("two directories only") << changed(goodImage(), Layout::OptionalHeader + 108, 2) << false << "";
    QTest::newRow("no resource directory") << changed(goodImage(), directories + 20, 0) << false << "";
    QTest::newRow("section count past the end")
        << changed(goodImage(), Layout::CoffHeader + 2, 0xFFFF, 2) << false << "";
    QTest::newRow("section raw data past the end") << changed(goodImage(), section + 20, 0x7FFFFF00) << false << "";
    QTest::newRow("resource outside every section") << changed(goodImage(), directories + 16, 0x5000) << false << "";
    QTest::newRow("resource larger than its section") << changed(goodImage(), directories + 20, 0x10000) << false << "";
    QTest::newRow("no version type") << changed(goodImage(), r + 16, 3) << false << "";
    QTest::newRow("version type is no directory") << changed(goodImage(), r + 20, Layout::NameDirectory) << false << "";
    QTest::newRow("version resource not id 1")
        << changed(goodImage(), r + Layout::NameDirectory + 16, 2) << false << "";
    QTest::newRow("named entry hides the id")
        << changed(changed(goodImage(), r + Layout::NameDirectory + 12, 1, 2), r + Layout::NameDirectory + 14, 0, 2)
        << false << "";
    QTest::newRow("directory loops to the root")
        << changed(goodImage(), r + Layout::RootDirectory + 20, 0x80000000u) << false << "";
    QTest::newRow("entry count past the section") << changed(goodImage(), r + 14, 0xFFFF, 2) << false << "";
    QTest::newRow("subdirectory past the section")
        << changed(goodImage(), r + 20, 0x80000000u | 0x7FFFFFF0u) << false << "";
    QTest::newRow("language entry is a directory")
        << changed(goodImage(), r + Layout::LanguageDirectory + 20, 0x80000000u | Layout::DataEntry) << false << "";
    QTest::newRow("data past the section") << changed(goodImage(), r + Layout::DataEntry + 4, 0x1000) << false << "";
    QTest::newRow("data address wraps") << changed(goodImage(), r + Layout::DataEntry, 0xFFFFFFF0u) << false << "";
    QTest::newRow("huge data size") << changed(goodImage(), r + Layout::DataEntry + 4, 0xFFFFFFFFu) << false << "";
    QTest::newRow("block longer than the data")
        << changed(goodImage(), r + Layout::VersionBlock, 0xFFFF, 2) << false << "";
    QTest::newRow("block shorter than its key") << changed(goodImage(), r + Layout::VersionBlock, 20, 2) << false << "";
    QTest::newRow("wrong key") << changed(goodImage(), r + Layout::VersionBlock + 6, 'W', 2) << false << "";
}

void TestExecutableVersion::handMade()
{
    QFETCH(QByteArray, image);
    QFETCH(bool, hasInformation);
    QFETCH(QString, version);
    const ExecutableVersion result = readBytes(image);
    QCOMPARE(result.hasVersionInformation, hasInformation);
    QCOMPARE(result.fileVersion, version);
}

void TestExecutableVersion::realExecutables_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("hasInformation");
    QTest::addColumn<QString>("version");
    QTest::newRow("64 bits") << "tessaly64.exe" << true << "6.2.0.14";
    QTest::newRow("32 bits, large parts") << "velim32.exe" << true << "65535.1.0.300";
    QTest::newRow("resources without a version") << "noversion.exe" << false << "";
}

void TestExecutableVersion::realExecutables()
{
    QFETCH(QString, file);
    QFETCH(bool, hasInformation);
    QFETCH(QString, version);
    const ExecutableVersion result = nsPlatform::executableVersion(m_dir.filePath(file));
    QCOMPARE(result.hasVersionInformation, hasInformation);
    QCOMPARE(result.fileVersion, version);
}

void TestExecutableVersion::everyTruncationGivesNoVersion_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QString>("version");

    QTest::newRow("hand-made") << goodImage() << "1.2.3.4";
    QFile real(m_dir.filePath("tessaly64.exe"));
    QVERIFY(real.open(QIODevice::ReadOnly));
    QTest::newRow("windres") << real.readAll() << "6.2.0.14";
}

void TestExecutableVersion::everyTruncationGivesNoVersion()
{
    QFETCH(QByteArray, image);
    QFETCH(QString, version);
    // A cut file either lost nothing that matters or has no version at all;
    // the hand-made one ends with its version block, so every cut loses it.
    const bool versionAtTheEnd = QByteArray(QTest::currentDataTag()) == "hand-made";
    for (int size = 0; size < image.size(); ++size) {
        const ExecutableVersion result = readBytes(image.left(size));
        if (versionAtTheEnd || !result.hasVersionInformation) {
            QVERIFY2(!result.hasVersionInformation, qPrintable(QString::number(size)));
            QVERIFY2(result.fileVersion.isEmpty(), qPrintable(QString::number(size)));
        } else {
            QCOMPARE(result.fileVersion, version);
        }
    }
    QCOMPARE(readBytes(image).fileVersion, version);
}

void TestExecutableVersion::missingFile()
{
    for (const QString& path : { m_dir.filePath("absent.exe"), m_dir.path() }) {
        const ExecutableVersion result = nsPlatform::executableVersion(path);
        QVERIFY2(!result.hasVersionInformation, qPrintable(path));
        QVERIFY(result.fileVersion.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestExecutableVersion)
#include "tst_executableversion.moc"
