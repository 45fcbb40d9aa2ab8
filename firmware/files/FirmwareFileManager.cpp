#include "firmware/files/FirmwareFileManager.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Entry i is the CRC-16/XMODEM of the 4-bit value i.
constexpr std::array<quint16, 16> makeNibbleTable()
{
    std::array<quint16, 16> table {};
    for (int i = 0; i < 16; ++i) {
        quint16 crc = quint16(i << 12);
        for (int bit = 0; bit < 4; ++bit)
            crc = quint16((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        table[size_t(i)] = crc;
    }
    return table;
}

constexpr std::array<quint16, 16> NibbleTable = makeNibbleTable();

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray withoutLineEnd(QByteArray line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
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
    m_file->setFileName(fileName);
    if (!m_file->exists() || !m_file->open(QIODevice::ReadOnly)) {
        m_errorString = tr("The firmware file %1 cannot be opened").arg(fileName);
        return false;
    }

    m_lineCount = 0;
    char line[DefaultReadBound];
    while (!m_file->atEnd()) {
        if (m_file->readLine(line, DefaultReadBound) <= 0)
            break;
        ++m_lineCount;
    }

    if (!checkFile(recordBound)) {
        m_file->close();
        return false;
    }
    m_file->seek(m_file->size());
    return true;
}

bool FirmwareFileManager::checkFile(int recordBound)
{
    // Every line the image pass and the packet builders read must be one
    // whole record: the image pass reads with DefaultReadBound too.
    const int bound = std::clamp(recordBound, 2, DefaultReadBound);
    if (!m_file->seek(0)) {
        m_errorString = tr("The firmware file cannot be read");
        return false;
    }
    const QByteArray content = m_file->readAll();

    qsizetype position = 0;
    int lineNumber = 0;
    bool endOfFile = false;
    bool anyData = false;
    quint32 upperBase = 0;
    quint32 segmentBase = 0;
    while (position < content.size()) {
        const qsizetype newline = content.indexOf('\n', position);
        const qsizetype next = newline < 0 ? content.size() : newline + 1;
        const QByteArray raw = content.mid(position, next - position);
        position = next;
        ++lineNumber;

        if (!raw.startsWith(':')) {
            // Nothing after the end-of-file record that is not a record is read.
            if (endOfFile)
                break;
            m_errorString = tr("Line %1 is not a record").arg(lineNumber);
            return false;
        }
        if (raw.size() > bound - 1) {
            m_errorString = tr("Line %1 is longer than %2 characters").arg(lineNumber).arg(bound - 1);
            return false;
        }
        Record record;
        QString reason;
        if (!parseRecord(withoutLineEnd(raw), &record, &reason)) {
            m_errorString = tr("Line %1: %2").arg(lineNumber).arg(reason);
            return false;
        }
        const quint8* data = reinterpret_cast<const quint8*>(record.data.constData());
        switch (record.type) {
        case 0: {
            const Placement placement = placeData(segmentBase + record.address + upperBase);
            if (!placement.taken)
                break;
            if (placement.offset < 0 || placement.offset + record.count > ImageSize) {
                m_errorString = tr("Line %1: its data lie outside the firmware image").arg(lineNumber);
                return false;
            }
            anyData = anyData || record.count > 0;
            break;
        }
        case 2:
            segmentBase = quint32((data[0] << 8) | data[1]) * 16;
            upperBase = 0;
            break;
        case 4:
            upperBase = quint32((data[0] << 8) | data[1]) << 16;
            segmentBase = 0;
            break;
        case 1:
            endOfFile = true;
            upperBase = segmentBase = 0;
            break;
        default: upperBase = segmentBase = 0; break;
        }
    }
    if (!endOfFile) {
        m_errorString = tr("The firmware file has no end-of-file record");
        return false;
    }
    if (!anyData) {
        m_errorString = tr("The firmware file holds no data for the device");
        return false;
    }
    return true;
}

bool FirmwareFileManager::parseRecord(const QByteArray& line, Record* record, QString* reason)
{
    auto refuse = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (!line.startsWith(':'))
        return refuse(tr("not a record"));
    const QByteArray digits = line.mid(1);
    for (char c : digits) {
        if (hexDigitValue(c) < 0)
            return refuse(tr("a character that is not a hexadecimal digit"));
    }
    if (digits.size() % 2 != 0)
        return refuse(tr("an odd number of hexadecimal digits"));
    const QByteArray bytes = QByteArray::fromHex(digits);
    if (bytes.size() < 5)
        return refuse(tr("the record is too short"));
    const quint8 count = quint8(bytes.at(0));
    if (bytes.size() != count + 5)
        return refuse(tr("the count byte disagrees with the record"));
    quint8 sum = 0;
    for (char b : bytes)
        sum = quint8(sum + quint8(b));
    if (sum != 0)
        return refuse(tr("bad record checksum"));
    const quint8 type = quint8(bytes.at(3));
    if ((type == 2 || type == 4) && count != 2)
        return refuse(tr("an address record that does not hold two bytes"));
    record->count = count;
    record->address = quint16((quint8(bytes.at(1)) << 8) | quint8(bytes.at(2)));
    record->type = type;
    record->data = bytes.mid(4, count);
    return true;
}

bool FirmwareFileManager::rewind()
{
    if (!m_file || !m_file->exists() || !m_file->isOpen())
        return false;
    if (!m_file->seek(0))
        return false;
    m_currentLine = 0;
    return true;
}

FirmwareFileManager::ReadPosition FirmwareFileManager::readPosition() const
{
    return { m_file->isOpen() ? m_file->pos() : 0, m_currentLine };
}

bool FirmwareFileManager::restoreReadPosition(const ReadPosition& position)
{
    if (!m_file->isOpen() || !m_file->seek(position.offset))
        return false;
    m_currentLine = position.line;
    return true;
}

quint16 FirmwareFileManager::convertHexString(const char* text, uchar* out, int outSize)
{
    quint16 pairs = 0;
    while (pairs < outSize && text[0] != '\0' && text[1] != '\0') {
        const int high = hexDigitValue(text[0]);
        const int low = hexDigitValue(text[1]);
        out[pairs++] = uchar(((high < 0 ? 0 : high) << 4) | (low < 0 ? 0 : low));
        text += 2;
    }
    return pairs;
}

quint16 FirmwareFileManager::calculateCRC(const char* data, int length)
{
    quint16 crc = 0;
    for (int i = 0; i < length; ++i) {
        const quint8 byte = quint8(data[i]);
        crc = quint16((crc << 4) ^ NibbleTable[((crc >> 12) ^ (byte >> 4)) & 0x0F]);
        crc = quint16((crc << 4) ^ NibbleTable[((crc >> 12) ^ (byte & 0x0F)) & 0x0F]);
    }
    return crc;
}

void FirmwareFileManager::closeFile()
{
    if (m_file->exists() && m_file->isOpen())
        m_file->close();
    m_file = QSharedPointer<QFile>::create();
}

void FirmwareFileManager::closeAndRemoveFile()
{
    if (m_file->exists()) {
        if (m_file->isOpen())
            m_file->close();
        m_file->remove();
    }
    m_file = QSharedPointer<QFile>::create();
}

quint16 FirmwareFileManager::readRecord(uchar* out, int bound, bool withLineEndByte)
{
    if (!m_file->isOpen() || m_file->atEnd())
        return 0;
    bound = std::clamp(bound, 2, LineBufferSize);
    const qint64 read = m_file->readLine(m_lineBuffer, bound);
    if (read <= 0 || m_lineBuffer[0] != ':')
        return 0;

    // The record's length comes from its count byte, whatever ends the line.
    if (read < 3 || hexDigitValue(m_lineBuffer[1]) < 0 || hexDigitValue(m_lineBuffer[2]) < 0)
        return 0;
    const int count = (hexDigitValue(m_lineBuffer[1]) << 4) | hexDigitValue(m_lineBuffer[2]);
    const int recordLength = count + 5;
    if (read < 1 + 2 * qint64(recordLength))
        return 0;
    for (int i = 0; i < recordLength; ++i) {
        const int high = hexDigitValue(m_lineBuffer[1 + 2 * i]);
        const int low = hexDigitValue(m_lineBuffer[2 + 2 * i]);
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
    clearImage();
    if (!m_file->isOpen() || !m_file->seek(0))
        return {};

    uchar* target = image();
    quint32 upperBase = 0;
    quint32 segmentBase = 0;
    quint32 lowest = 0xFFFFFFFF;
    quint32 end = 0;
    bool anyData = false;
    uchar record[DefaultReadBound / 2 + 1];
    quint16 length;
    while ((length = readNextRecord(record, DefaultReadBound)) != 0) {
        const quint8 count = record[0];
        if (length < count + 5)
            break;
        const quint8 type = record[3];
        const quint16 address16 = quint16((record[1] << 8) | record[2]);
        if (type == 0) {
            const Placement placement = placeData(segmentBase + address16 + upperBase);
            // openFile() refuses such files; never write outside the image.
            if (!placement.taken || placement.offset < 0 || placement.offset + count > ImageSize)
                continue;
            std::memcpy(target + placement.offset, record + 4, count);
            imageWritten(placement.offset, count);
            end = std::max(end, placement.address + count);
            lowest = std::min(lowest, placement.address);
            anyData = true;
        } else if (type == 2 && count >= 2) {
            segmentBase = quint32((record[4] << 8) | record[5]) * 16;
            upperBase = 0;
        } else if (type == 4 && count >= 2) {
            upperBase = quint32((record[4] << 8) | record[5]) << 16;
            segmentBase = 0;
        } else {
            upperBase = segmentBase = 0;
        }
    }
    if (!anyData)
        return {};
    return summarise(lowest, end);
}

void FirmwareFileManager::imageWritten(qint64, int)
{
}

quint32 FirmwareFileManager::countExtendedLinearRecords()
{
    if (!rewind())
        return 0;
    bool found = false;
    quint32 value = 0;
    while (!m_file->atEnd()) {
        Record record;
        if (parseRecord(withoutLineEnd(m_file->readLine()), &record, nullptr) && record.type == 4) {
            value = quint32((quint8(record.data.at(0)) << 8) | quint8(record.data.at(1)));
            found = true;
        }
    }
    m_currentLine = 0;
    return found ? value + 1 : 0;
}
