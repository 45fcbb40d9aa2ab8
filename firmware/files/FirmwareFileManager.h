#pragma once

#include "firmware/files/FirmwareImageInformation.h"

#include <QFile>
#include <QObject>
#include <QSharedPointer>
#include <QString>

// Reads one firmware file of an update: counts its lines, hands out one
// record at a time for the programming packets and builds the image whose
// start, length and CRC-16 the device's CRC is compared with.
//
// openFile() checks the whole file first, so a file that is not a clean
// series of records is refused before anything is sent to a device.
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
    // Told of every run of bytes that buildImageInformation() copies into
    // the image, so that a kind can blank the image again cheaply.
    virtual void imageWritten(qint64 offset, int count);
    // Start, length and CRC of the image range from the data's lowest
    // address to its end.
    virtual FirmwareImageInformation summarise(quint32 lowest, quint32 end) const = 0;

    // readNextRecord of every kind; withLineEndByte adds LineEndByte after
    // the record.
    quint16 readRecord(uchar* out, int bound, bool withLineEndByte);
    FirmwareImageInformation buildImageInformation();
    quint32 countExtendedLinearRecords();

private:
    struct Record
    {
        quint8 count = 0;
        quint16 address = 0;
        quint8 type = 0;
        QByteArray data;
    };

    // A line without its line end; false with the reason when it is not a
    // well-formed record.
    static bool parseRecord(const QByteArray& line, Record* record, QString* reason);
    bool checkFile(int recordBound);

    QSharedPointer<QFile> m_file;
    qint32 m_lineCount = 0;
    qint32 m_currentLine = 0;
    char m_lineBuffer[LineBufferSize] = {};
    QString m_errorString;
};
