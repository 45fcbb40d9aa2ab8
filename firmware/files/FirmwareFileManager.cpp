#include "firmware/files/FirmwareFileManager.h"

#include "firmware/files/HexRecordLine.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Entry i is the CRC-16/XMODEM of the byte i.
constexpr std::array<quint16, 256> makeByteTable()
{
    std::array<quint16, 256> table {};
    for (int i = 0; i < 256; ++i) {
        quint16 crc = quint16(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = quint16((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        table[size_t(i)] = crc;
    }
    return table;
}

constexpr std::array<quint16, 256> ByteTable = makeByteTable();

// The reads of a line of this many characters when each read takes at most
// DefaultReadBound - 1 of them.
int readsOfLine(qint64 length)
{
    constexpr qint64 perRead = FirmwareFileManager::DefaultReadBound - 1;
    return int((length + perRead - 1) / perRead);
}

// The length of the line from offset, its '\n' included.
qint64 lineLength(const char* text, qint64 size, qint64 offset)
{
    const void* newline = std::memchr(text + offset, '\n', size_t(size - offset));
    return newline ? static_cast<const char*>(newline) - (text + offset) + 1 : size - offset;
}

// The line's length without its '\n' and then its '\r'.
qint64 withoutLineEnd(const char* line, qint64 length)
{
    if (length > 0 && line[length - 1] == '\n')
        --length;
    if (length > 0 && line[length - 1] == '\r')
        --length;
    return length;
}

} // namespace

FirmwareFileManager::FirmwareFileManager(QObject* parent)
    : QObject(parent)
    , m_file(QSharedPointer<QFile>::create())
{
}

FirmwareFileManager::~FirmwareFileManager()
{
    if (m_file && m_file->isOpen())
        m_file->close();
}

bool FirmwareFileManager::openFile(const QString& fileName, int recordBound)
{
    if (m_file->isOpen()) {
        m_file->close();
        m_file = QSharedPointer<QFile>::create();
    }
    m_errorString.clear();
    forgetContent();
    m_file->setFileName(fileName);
    if (!m_file->exists() || !m_file->open(QIODevice::ReadOnly)) {
        m_errorString = tr("The firmware file %1 cannot be opened").arg(fileName);
        return false;
    }
    m_content = m_file->readAll();
    if (!scanFile(recordBound)) {
        m_file->close();
        forgetContent();
        return false;
    }
    m_position = m_content.size();
    return true;
}

bool FirmwareFileManager::scanFile(int recordBound)
{
    // Every line the packet builders read must be one whole record; the
    // image pass reads with DefaultReadBound.
    const int bound = std::clamp(recordBound, 2, DefaultReadBound);
    const char* text = m_content.constData();
    const qint64 size = m_content.size();

    clearImage();
    uchar* target = image();
    HexRecordLine record;
    Scan scan;
    qint64 position = 0;
    int lineNumber = 0;
    int reads = 0;
    bool endOfFile = false;
    bool anyData = false;
    quint32 upperBase = 0;
    quint32 segmentBase = 0;
    quint32 lowest = 0xFFFFFFFF;
    quint32 end = 0;
    auto refuse = [&](const QString& why) {
        m_errorString = why;
        m_lineCount = reads + countReads(position);
        return false;
    };
    scan.imageEnd = size;
    while (position < size) {
        const qint64 start = position;
        const qint64 length = lineLength(text, size, start);
        const char* line = text + start;
        position += length;
        ++lineNumber;
        reads += readsOfLine(length);

        if (line[0] != ':') {
            // Nothing after the end-of-file record that is not a record is
            // read: the image pass stops on this line.
            if (endOfFile) {
                scan.imageEnd = start + std::min<qint64>(length, DefaultReadBound - 1);
                break;
            }
            return refuse(tr("Line %1 is not a record").arg(lineNumber));
        }
        if (length > bound - 1)
            return refuse(tr("Line %1 is longer than %2 characters").arg(lineNumber).arg(bound - 1));
        const HexRecordLine::Fault fault = record.parse(line, withoutLineEnd(line, length));
        if (fault != HexRecordLine::Fault::None) {
            QString reason;
            switch (fault) {
            case HexRecordLine::Fault::NotAHexDigit: reason = tr("a character that is not a hexadecimal digit"); break;
            case HexRecordLine::Fault::OddDigitCount: reason = tr("an odd number of hexadecimal digits"); break;
            case HexRecordLine::Fault::TooShort: reason = tr("the record is too short"); break;
            case HexRecordLine::Fault::CountDisagrees: reason = tr("the count byte disagrees with the record"); break;
            case HexRecordLine::Fault::BadChecksum: reason = tr("bad record checksum"); break;
            case HexRecordLine::Fault::AddressRecordSize:
                reason = tr("an address record that does not hold two bytes");
                break;
            default: reason = tr("not a record"); break;
            }
            return refuse(tr("Line %1: %2").arg(lineNumber).arg(reason));
        }
        ++scan.imageRecords;
        const quint8 count = record.count();
        switch (record.type()) {
        case 0: {
            const Placement placement = placeData(segmentBase + record.address() + upperBase);
            if (!placement.taken)
                break;
            if (placement.offset < 0 || placement.offset + count > ImageSize)
                return refuse(tr("Line %1: its data lie outside the firmware image").arg(lineNumber));
            std::memcpy(target + placement.offset, record.data(), count);
            imageWritten(placement.offset, count);
            end = std::max(end, placement.address + count);
            lowest = std::min(lowest, placement.address);
            anyData = anyData || count > 0;
            break;
        }
        case 2:
            segmentBase = record.addressValue() * 16;
            upperBase = 0;
            break;
        case 4:
            upperBase = record.addressValue() << 16;
            segmentBase = 0;
            scan.linearFound = true;
            scan.lastLinear = record.addressValue();
            break;
        case 1:
            endOfFile = true;
            upperBase = segmentBase = 0;
            break;
        default: upperBase = segmentBase = 0; break;
        }
    }
    if (!endOfFile)
        return refuse(tr("The firmware file has no end-of-file record"));
    if (!anyData)
        return refuse(tr("The firmware file holds no data for the device"));

    // The sector count reads every line to the end, those after the
    // end-of-file record that are still records included.
    while (position < size) {
        const qint64 length = lineLength(text, size, position);
        const char* line = text + position;
        position += length;
        reads += readsOfLine(length);
        if (record.parse(line, withoutLineEnd(line, length)) == HexRecordLine::Fault::None && record.type() == 4) {
            scan.linearFound = true;
            scan.lastLinear = record.addressValue();
        }
    }
    m_lineCount = reads;
    scan.information = summarise(lowest, end);
    scan.done = true;
    m_scan = scan;
    return true;
}

int FirmwareFileManager::countReads(qint64 offset) const
{
    int reads = 0;
    while (offset < m_content.size()) {
        const qint64 length = lineLength(m_content.constData(), m_content.size(), offset);
        reads += readsOfLine(length);
        offset += length;
    }
    return reads;
}

void FirmwareFileManager::forgetContent()
{
    m_content.clear();
    m_position = 0;
    m_scan = Scan();
}

bool FirmwareFileManager::rewind()
{
    if (!m_file || !m_file->exists() || !m_file->isOpen())
        return false;
    m_position = 0;
    m_currentLine = 0;
    return true;
}

FirmwareFileManager::ReadPosition FirmwareFileManager::readPosition() const
{
    return { m_file->isOpen() ? m_position : 0, m_currentLine };
}

bool FirmwareFileManager::restoreReadPosition(const ReadPosition& position)
{
    if (!m_file->isOpen() || position.offset < 0)
        return false;
    m_position = position.offset;
    m_currentLine = position.line;
    return true;
}

quint16 FirmwareFileManager::convertHexString(const char* text, uchar* out, int outSize)
{
    quint16 pairs = 0;
    while (pairs < outSize && text[0] != '\0' && text[1] != '\0') {
        const int high = HexRecordLine::digitValue(text[0]);
        const int low = HexRecordLine::digitValue(text[1]);
        out[pairs++] = uchar(((high < 0 ? 0 : high) << 4) | (low < 0 ? 0 : low));
        text += 2;
    }
    return pairs;
}

quint16 FirmwareFileManager::calculateCRC(const char* data, int length)
{
    quint16 crc = 0;
    for (int i = 0; i < length; ++i)
        crc = quint16((crc << 8) ^ ByteTable[((crc >> 8) ^ quint8(data[i])) & 0xFF]);
    return crc;
}

void FirmwareFileManager::closeFile()
{
    if (m_file->exists() && m_file->isOpen())
        m_file->close();
    m_file = QSharedPointer<QFile>::create();
    forgetContent();
}

void FirmwareFileManager::closeAndRemoveFile()
{
    if (m_file->exists()) {
        if (m_file->isOpen())
            m_file->close();
        m_file->remove();
    }
    m_file = QSharedPointer<QFile>::create();
    forgetContent();
}

quint16 FirmwareFileManager::readRecord(uchar* out, int bound, bool withLineEndByte)
{
    const qint64 size = m_content.size();
    if (!m_file->isOpen() || m_position >= size)
        return 0;
    bound = std::clamp(bound, 2, LineBufferSize);
    // One read of at most bound - 1 characters, up to and with its '\n'.
    const char* line = m_content.constData() + m_position;
    const qint64 available = std::min<qint64>(bound - 1, size - m_position);
    const void* newline = std::memchr(line, '\n', size_t(available));
    const qint64 read = newline ? static_cast<const char*>(newline) - line + 1 : available;
    m_position += read;
    if (line[0] != ':')
        return 0;

    // The record's length comes from its count byte, whatever ends the line.
    if (read < 3 || HexRecordLine::digitValue(line[1]) < 0 || HexRecordLine::digitValue(line[2]) < 0)
        return 0;
    const int count = (HexRecordLine::digitValue(line[1]) << 4) | HexRecordLine::digitValue(line[2]);
    const int recordLength = count + 5;
    if (read < 1 + 2 * qint64(recordLength))
        return 0;
    for (int i = 0; i < recordLength; ++i) {
        const int high = HexRecordLine::digitValue(line[1 + 2 * i]);
        const int low = HexRecordLine::digitValue(line[2 + 2 * i]);
        if (high < 0 || low < 0)
            return 0;
        out[i] = uchar((high << 4) | low);
    }
    int length = recordLength;
    if (withLineEndByte)
        out[length++] = LineEndByte;
    ++m_currentLine;
    return quint16(length);
}

FirmwareImageInformation FirmwareFileManager::buildImageInformation()
{
    if (!m_file->isOpen() || !m_scan.done)
        return {};
    m_currentLine += m_scan.imageRecords;
    m_position = m_scan.imageEnd;
    return m_scan.information;
}

void FirmwareFileManager::imageWritten(qint64, int)
{
}

quint32 FirmwareFileManager::countExtendedLinearRecords()
{
    if (!rewind())
        return 0;
    m_position = m_content.size();
    m_currentLine = 0;
    return m_scan.linearFound ? m_scan.lastLinear + 1 : 0;
}
