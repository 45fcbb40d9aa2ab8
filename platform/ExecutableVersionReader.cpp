#include "platform/ExecutableVersionReader.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QtEndian>

#include <optional>

namespace nsPlatform {

namespace {

constexpr quint32 ResourceDirectoryIndex = 2;
constexpr quint32 VersionResourceType = 16; // RT_VERSION
constexpr quint32 VersionResourceId = 1;    // VS_VERSION_INFO
constexpr quint32 SubdirectoryFlag = 0x80000000u;
constexpr quint32 FixedFileInfoSignature = 0xFEEF04BDu;
constexpr int FixedFileInfoSize = 52;
// The key of the root block, UTF-16 with its terminating zero.
constexpr char16_t VersionInfoKey[] = u"VS_VERSION_INFO";
// wLength, wValueLength and wType, then the key.
constexpr int VersionHeaderSize = 6;
// More would not fit a real directory; bounds the walk of a hostile one.
constexpr quint32 MaxDirectoryEntries = 4096;
// Version resources are a few kilobytes; refuse to allocate for a huge claim.
constexpr quint32 MaxVersionResourceSize = 1u << 20;

// Reads from the device by absolute offset, never past its end.
class BoundedReader
{
public:
    explicit BoundedReader(QIODevice* device)
        : m_device(device)
        , m_size(device->size())
    {
    }

    std::optional<QByteArray> bytes(qint64 offset, qint64 length) const
    {
        if (offset < 0 || length < 0 || offset > m_size || length > m_size - offset)
            return std::nullopt;
        if (!m_device->seek(offset))
            return std::nullopt;
        QByteArray data = m_device->read(length);
        if (data.size() != length)
            return std::nullopt;
        return data;
    }

    std::optional<quint16> u16(qint64 offset) const
    {
        const auto data = bytes(offset, 2);
        if (!data)
            return std::nullopt;
        return qFromLittleEndian<quint16>(data->constData());
    }

    std::optional<quint32> u32(qint64 offset) const
    {
        const auto data = bytes(offset, 4);
        if (!data)
            return std::nullopt;
        return qFromLittleEndian<quint32>(data->constData());
    }

private:
    QIODevice* m_device;
    qint64 m_size;
};

struct Section
{
    quint32 virtualAddress = 0;
    quint32 rawSize = 0;
    quint32 rawOffset = 0;
};

struct ImageLayout
{
    quint32 resourceRva = 0;
    quint32 resourceSize = 0;
    QList<Section> sections;
};

std::optional<ImageLayout> readLayout(const BoundedReader& file)
{
    const auto mz = file.u16(0);
    if (!mz || *mz != 0x5A4D) // "MZ"
        return std::nullopt;
    const auto peOffset = file.u32(0x3C);
    if (!peOffset)
        return std::nullopt;
    const auto signature = file.u32(*peOffset);
    if (!signature || *signature != 0x00004550) // "PE\0\0"
        return std::nullopt;

    const qint64 coff = qint64(*peOffset) + 4;
    const auto sectionCount = file.u16(coff + 2);
    const auto optionalSize = file.u16(coff + 16);
    if (!sectionCount || !optionalSize)
        return std::nullopt;

    const qint64 optional = coff + 20;
    const auto magic = file.u16(optional);
    if (!magic)
        return std::nullopt;
    qint64 countField = 0;
    if (*magic == 0x10B) // PE32
        countField = 92;
    else if (*magic == 0x20B) // PE32+
        countField = 108;
    else
        return std::nullopt;
    const qint64 directories = countField + 4;
    // The directory must lie inside the optional header the file declares.
    if (directories + 8 * (ResourceDirectoryIndex + 1) > *optionalSize)
        return std::nullopt;
    const auto directoryCount = file.u32(optional + countField);
    if (!directoryCount || *directoryCount <= ResourceDirectoryIndex)
        return std::nullopt;

    ImageLayout layout;
    const auto rva = file.u32(optional + directories + 8 * ResourceDirectoryIndex);
    const auto size = file.u32(optional + directories + 8 * ResourceDirectoryIndex + 4);
    if (!rva || !size || *rva == 0 || *size == 0)
        return std::nullopt;
    layout.resourceRva = *rva;
    layout.resourceSize = *size;

    const qint64 table = optional + *optionalSize;
    for (int i = 0; i < *sectionCount; ++i) {
        const qint64 entry = table + 40 * qint64(i);
        const auto va = file.u32(entry + 12);
        const auto rawSize = file.u32(entry + 16);
        const auto rawOffset = file.u32(entry + 20);
        if (!va || !rawSize || !rawOffset)
            return std::nullopt;
        layout.sections.append(Section { *va, *rawSize, *rawOffset });
    }
    return layout;
}

// The file offset of a range given by its address in the loaded image; the
// whole range must lie in the stored part of one section.
std::optional<qint64> fileOffset(const ImageLayout& layout, quint32 rva, quint32 length)
{
    for (const Section& section : layout.sections) {
        if (rva < section.virtualAddress)
            continue;
        const quint64 inSection = quint64(rva) - section.virtualAddress;
        if (inSection + length > section.rawSize)
            continue;
        return qint64(section.rawOffset) + qint64(inSection);
    }
    return std::nullopt;
}

class ResourceTree
{
public:
    ResourceTree(const BoundedReader& file, const ImageLayout& layout, qint64 base)
        : m_file(file)
        , m_layout(layout)
        , m_base(base)
    {
    }

    // The entry value (OffsetToData) of the id in the directory at the given
    // offset inside the resource section; without an id the first entry.
    std::optional<quint32> find(quint32 directory, std::optional<quint32> id) const
    {
        if (!inside(directory, 16))
            return std::nullopt;
        const auto named = m_file.u16(m_base + directory + 12);
        const auto ids = m_file.u16(m_base + directory + 14);
        if (!named || !ids)
            return std::nullopt;
        const quint32 count = quint32(*named) + *ids;
        if (count > MaxDirectoryEntries || !inside(directory, 16 + 8 * count))
            return std::nullopt;
        for (quint32 i = 0; i < count; ++i) {
            const qint64 entry = m_base + directory + 16 + 8 * qint64(i);
            const auto name = m_file.u32(entry);
            const auto value = m_file.u32(entry + 4);
            if (!name || !value)
                return std::nullopt;
            // Named entries come first and never match an id.
            if (id && (i < *named || *name != *id))
                continue;
            return value;
        }
        return std::nullopt;
    }

    static std::optional<quint32> subdirectory(std::optional<quint32> value)
    {
        if (!value || !(*value & SubdirectoryFlag))
            return std::nullopt;
        return *value & ~SubdirectoryFlag;
    }

    bool inside(quint32 offset, quint64 length) const { return quint64(offset) + length <= m_layout.resourceSize; }

private:
    const BoundedReader& m_file;
    const ImageLayout& m_layout;
    qint64 m_base;
};

std::optional<QByteArray> readVersionResource(const BoundedReader& file)
{
    const auto layout = readLayout(file);
    if (!layout)
        return std::nullopt;
    // The resource directory must lie in one section; the reads below check
    // that the file really holds what they take.
    const auto base = fileOffset(*layout, layout->resourceRva, layout->resourceSize);
    if (!base)
        return std::nullopt;

    const ResourceTree tree(file, *layout, *base);
    // Type, then name, then language: three levels, never more.
    const auto names = ResourceTree::subdirectory(tree.find(0, VersionResourceType));
    if (!names)
        return std::nullopt;
    const auto languages = ResourceTree::subdirectory(tree.find(*names, VersionResourceId));
    if (!languages)
        return std::nullopt;
    const auto dataEntry = tree.find(*languages, std::nullopt);
    if (!dataEntry || (*dataEntry & SubdirectoryFlag) || !tree.inside(*dataEntry, 16))
        return std::nullopt;

    const auto dataRva = file.u32(*base + *dataEntry);
    const auto dataSize = file.u32(*base + *dataEntry + 4);
    if (!dataRva || !dataSize || *dataSize > MaxVersionResourceSize)
        return std::nullopt;
    const auto dataOffset = fileOffset(*layout, *dataRva, *dataSize);
    if (!dataOffset)
        return std::nullopt;
    return file.bytes(*dataOffset, *dataSize);
}

// The root block of the resource: VS_VERSION_INFO with its fixed block as value.
ExecutableVersion parseVersionBlock(const QByteArray& data)
{
    constexpr int keyChars = int(sizeof(VersionInfoKey) / sizeof(VersionInfoKey[0]));
    constexpr int keyEnd = VersionHeaderSize + 2 * keyChars;
    constexpr int valueStart = (keyEnd + 3) & ~3;

    ExecutableVersion result;
    if (data.size() < keyEnd)
        return result;
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const quint16 length = qFromLittleEndian<quint16>(bytes);
    const quint16 valueLength = qFromLittleEndian<quint16>(bytes + 2);
    if (length < keyEnd || length > data.size())
        return result;
    for (int i = 0; i < keyChars; ++i) {
        if (qFromLittleEndian<quint16>(bytes + VersionHeaderSize + 2 * i) != VersionInfoKey[i])
            return result;
    }
    result.hasVersionInformation = true;

    // From here on the resource is there; only its fixed block may be missing.
    if (valueLength < FixedFileInfoSize || valueStart + FixedFileInfoSize > length)
        return result;
    const uchar* fixed = bytes + valueStart;
    if (qFromLittleEndian<quint32>(fixed) != FixedFileInfoSignature)
        return result;
    const quint32 mostSignificant = qFromLittleEndian<quint32>(fixed + 8);
    const quint32 leastSignificant = qFromLittleEndian<quint32>(fixed + 12);
    result.fileVersion = QStringLiteral("%1.%2.%3.%4")
                             .arg(mostSignificant >> 16)
                             .arg(mostSignificant & 0xFFFF)
                             .arg(leastSignificant >> 16)
                             .arg(leastSignificant & 0xFFFF);
    return result;
}

} // namespace

ExecutableVersion readExecutableVersion(QIODevice* device)
{
    if (!device || !device->isReadable() || device->isSequential())
        return {};
    const BoundedReader file(device);
    const auto resource = readVersionResource(file);
    if (!resource)
        return {};
    return parseVersionBlock(*resource);
}

} // namespace nsPlatform
