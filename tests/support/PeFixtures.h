#pragma once

#include <QByteArray>
#include <QString>

// Windows executables for the version-resource tests, made on the spot.
namespace nsPeFixtures {

// Fields of the hand-made image, for tests that break one of them.
struct Layout
{
    static constexpr int PeOffset = 0x40;
    static constexpr int CoffHeader = PeOffset + 4;
    static constexpr int OptionalHeader = CoffHeader + 20;
    static constexpr int ResourceFileOffset = 0x400;
    static constexpr quint32 ResourceRva = 0x1000;
    // Offsets inside the resource section.
    static constexpr int RootDirectory = 0x00;
    static constexpr int NameDirectory = 0x18;
    static constexpr int LanguageDirectory = 0x30;
    static constexpr int DataEntry = 0x48;
    static constexpr int VersionBlock = 0x58;
};

// The VS_VERSION_INFO root block: header, key, then the fixed block when
// valueLength is not zero (its first field the given signature).
QByteArray versionBlock(quint16 valueLength, quint32 signature, quint32 versionMs, quint32 versionLs);

// A minimal PE image (PE32+ unless pe32 is set) with one ".rsrc" section
// that holds RT_VERSION / id 1 / language 0x409 with the given block as data.
QByteArray peImage(const QByteArray& block, bool pe32 = false);

// The offset of the section table in an image made by peImage().
int sectionTable(bool pe32 = false);

// Little-endian writes into an image.
void put16(QByteArray& image, int offset, quint16 value);
void put32(QByteArray& image, int offset, quint32 value);

// Assembles a tiny executable with the mingw-w64 binutils (windres, as, ld);
// fileVersion like "6,2,0,14" gives it a VERSIONINFO resource, an empty one
// gives it only an unrelated resource. arch is "x86_64" or "i686".
// Returns an empty text on success, else what went wrong.
QString makeExecutable(const QString& path, const QString& arch, const QString& fileVersion);

} // namespace nsPeFixtures
