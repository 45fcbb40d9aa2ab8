#include "tests/support/PeFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

namespace nsPeFixtures {

void put16(QByteArray& image, int offset, quint16 value)
{
    if (image.size() < offset + 2)
        image.resize(offset + 2, '\0');
    qToLittleEndian(value, image.data() + offset);
}

void put32(QByteArray& image, int offset, quint32 value)
{
    if (image.size() < offset + 4)
        image.resize(offset + 4, '\0');
    qToLittleEndian(value, image.data() + offset);
}

QByteArray versionBlock(quint16 valueLength, quint32 signature, quint32 versionMs, quint32 versionLs)
{
    QByteArray block;
    const QString key = QStringLiteral("VS_VERSION_INFO");
    int at = 6;
    for (const QChar c : key) {
        put16(block, at, c.unicode());
        at += 2;
    }
    put16(block, at, 0);
    at = 40; // header and key, padded to four bytes
    block.resize(at, '\0');
    if (valueLength) {
        put32(block, at, signature);
        put32(block, at + 4, 0x00010000);
        put32(block, at + 8, versionMs);
        put32(block, at + 12, versionLs);
        block.resize(at + qMax<int>(valueLength, 16), '\0');
    }
    put16(block, 0, quint16(block.size()));
    put16(block, 2, valueLength);
    put16(block, 4, 0);
    return block;
}

int sectionTable(bool pe32)
{
    return Layout::OptionalHeader + (pe32 ? 224 : 240);
}

QByteArray peImage(const QByteArray& block, bool pe32)
{
    QByteArray image(Layout::ResourceFileOffset, '\0');
    put16(image, 0, 0x5A4D);
    put32(image, 0x3C, Layout::PeOffset);
    put32(image, Layout::PeOffset, 0x00004550);
    put16(image, Layout::CoffHeader, pe32 ? 0x014C : 0x8664);
    put16(image, Layout::CoffHeader + 2, 1);
    put16(image, Layout::CoffHeader + 16, pe32 ? 224 : 240);
    put16(image, Layout::OptionalHeader, pe32 ? 0x10B : 0x20B);
    const int countField = Layout::OptionalHeader + (pe32 ? 92 : 108);
    put32(image, countField, 16);

    const quint32 resourceSize = quint32(Layout::VersionBlock + block.size());
    put32(image, countField + 4 + 16, Layout::ResourceRva);
    put32(image, countField + 4 + 20, resourceSize);

    const int section = sectionTable(pe32);
    image.replace(section, 5, ".rsrc");
    put32(image, section + 8, resourceSize);
    put32(image, section + 12, Layout::ResourceRva);
    put32(image, section + 16, resourceSize);
    put32(image, section + 20, Layout::ResourceFileOffset);

    const int r = Layout::ResourceFileOffset;
    put16(image, r + Layout::RootDirectory + 14, 1);
    put32(image, r + Layout::RootDirectory + 16, 16); // RT_VERSION
    put32(image, r + Layout::RootDirectory + 20, 0x80000000u | Layout::NameDirectory);
    put16(image, r + Layout::NameDirectory + 14, 1);
    put32(image, r + Layout::NameDirectory + 16, 1);
    put32(image, r + Layout::NameDirectory + 20, 0x80000000u | Layout::LanguageDirectory);
    put16(image, r + Layout::LanguageDirectory + 14, 1);
    put32(image, r + Layout::LanguageDirectory + 16, 0x409);
    put32(image, r + Layout::LanguageDirectory + 20, Layout::DataEntry);
    put32(image, r + Layout::DataEntry, Layout::ResourceRva + Layout::VersionBlock);
    put32(image, r + Layout::DataEntry + 4, quint32(block.size()));
    image.resize(r + Layout::VersionBlock);
    image.append(block);
    return image;
}

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return program + QStringLiteral(" did not start (mingw-w64 binutils needed)");
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
    return QString();
}

bool writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

QString makeExecutable(const QString& path, const QString& arch, const QString& fileVersion)
{
    QTemporaryDir work;
    if (!work.isValid())
        return QStringLiteral("no temporary folder");
    const QString tool = arch + QStringLiteral("-w64-mingw32-");
    QByteArray rc;
    if (fileVersion.isEmpty()) {
        rc = "1 RCDATA { \"no version here\" }\n";
    } else {
        rc = "1 VERSIONINFO\nFILEVERSION " + fileVersion.toLatin1()
             + "\nPRODUCTVERSION 1,0,0,0\nBEGIN\n"
               "  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"040904b0\"\n    BEGIN\n"
               "      VALUE \"FileVersion\", \""
             + QByteArray(fileVersion.toLatin1()).replace(',', '.')
             + "\"\n"
               "    END\n  END\n  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x409, 1200\n  END\nEND\n";
    }
    const QString rcPath = work.filePath(QStringLiteral("version.rc"));
    const QString asmPath = work.filePath(QStringLiteral("start.s"));
    if (!writeText(rcPath, rc) || !writeText(asmPath, ".globl _start\n.text\n_start:\n ret\n"))
        return QStringLiteral("cannot write the sources");
    const QString resObj = work.filePath(QStringLiteral("version.o"));
    const QString startObj = work.filePath(QStringLiteral("start.o"));
    QString error =
        run(tool + QStringLiteral("windres"), { QStringLiteral("--preprocessor=cpp"), rcPath, QStringLiteral("-O"),
                                                QStringLiteral("coff"), QStringLiteral("-o"), resObj });
    if (error.isEmpty())
        error = run(tool + QStringLiteral("as"), { asmPath, QStringLiteral("-o"), startObj });
    if (error.isEmpty())
        error = run(tool + QStringLiteral("ld"), { startObj, resObj, QStringLiteral("--entry"),
                                                   QStringLiteral("_start"), QStringLiteral("-o"), path });
    return error;
}

} // namespace nsPeFixtures
