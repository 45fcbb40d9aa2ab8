#pragma once

#include "firmware/files/FirmwareImageInformation.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QSharedPointer>
#include <QString>

// Reads one firmware file of an update: counts its lines, hands out one
// record at a time for the programming packets and builds the image whose
// start, length and CRC-16 the device's CRC is compared with.
//
// openFile() reads the file once into memory and, in that one pass, checks
// every record, counts the lines, places the data in the kind's image and
// counts the erase sectors; so a file that is not a clean series of records
// is refused before anything is sent to a device, and the later calls only
// hand out what that pass found.
class FirmwareFileManager : public QObject
{
    Q_OBJECT

public:
    static constexpr int LineBufferSize = 1000;
    // Bound of the line count and of the image pass.
    static constexpr int DefaultReadBound = 255;
    static constexpr int ImageSize = 0x500000;
    // The last length of the HEX kinds is rounded up by at most three bytes.
    static constexpr int ImagePadding = 4;
    // Stands for the line end that the MCS reader hands on with each record.
    static constexpr uchar LineEndByte = 0x00;

    // Where the next record will be read from.
    struct ReadPosition
    {
        qint64 offset = 0;
        int line = 0;
    };

    explicit FirmwareFileManager(QObject* parent = nullptr);
    ~FirmwareFileManager() override;

    // Stores the next record into out and returns its length, 0 when there
    // is none. out must hold bound / 2 bytes.
    virtual quint16 readNextRecord(uchar* out, int bound) = 0;
    virtual FirmwareImageInformation getImageInformation() = 0;
    virtual quint32 countSectors() = 0;
    virtual void clearImage() = 0;

    // recordBound is the bound the packet builder reads records with: a
    // record line that would not fit it refuses the file.
    bool openFile(const QString& fileName, int recordBound = DefaultReadBound);
    // Why the last openFile() refused the file.
    QString errorString() const { return m_errorString; }

    int currentLine() const { return m_currentLine; }
    int lineCount() const { return m_lineCount; }
    bool rewind();

    // Lets a packet builder put back a record that does not fit its packet.
    ReadPosition readPosition() const;
    bool restoreReadPosition(const ReadPosition& position);

    // Each pair of characters as one hex byte, until a NUL; a character that
    // is not a hex digit counts as 0. Stores at most outSize bytes.
    static quint16 convertHexString(const char* text, uchar* out, int outSize);
    // CRC-16/XMODEM.
    static quint16 calculateCRC(const char* data, int length);

    void closeFile();
    void closeAndRemoveFile();

protected:
    // Where a data record at this address goes in the kind's image.
    struct Placement
    {
        bool taken = false;
        // The address as the image range counts it.
        quint32 address = 0;
        qint64 offset = 0;
    };

    virtual Placement placeData(quint32 address) const = 0;
    virtual uchar* image() const = 0;
    // Told of every run of bytes that openFile() copies into the image, so
    // that a kind can blank the image again cheaply.
    virtual void imageWritten(qint64 offset, int count);
    // Start, length and CRC of the image range from the data's lowest
    // address to its end.
    virtual FirmwareImageInformation summarise(quint32 lowest, quint32 end) const = 0;

    // readNextRecord of every kind; withLineEndByte adds LineEndByte after
    // the record.
    quint16 readRecord(uchar* out, int bound, bool withLineEndByte);
    // What openFile() found; the read position moves as a pass of
    // readNextRecord over the image's records would move it.
    FirmwareImageInformation buildImageInformation();
    // The last extended linear address plus one, 0 without one.
    quint32 countExtendedLinearRecords();

private:
    // What the one pass of openFile() found.
    struct Scan
    {
        bool done = false;
        FirmwareImageInformation information;
        // The records the image pass of the packet readers would read, and
        // where it would leave the read position.
        int imageRecords = 0;
        qint64 imageEnd = 0;
        bool linearFound = false;
        quint32 lastLinear = 0;
    };

    bool scanFile(int recordBound);
    // The reads of at most DefaultReadBound - 1 characters from offset to
    // the end, as the line count counts them.
    int countReads(qint64 offset) const;
    void forgetContent();

    QSharedPointer<QFile> m_file;
    qint32 m_lineCount = 0;
    qint32 m_currentLine = 0;
    // The whole file, read once by openFile().
    QByteArray m_content;
    qint64 m_position = 0;
    Scan m_scan;
    QString m_errorString;
};
