#pragma once

#include <QByteArray>
#include <QList>

// The tests' one Intel-HEX builder: records, record lines, whole files.
// It writes what the tests give it, checksum included, and checks nothing:
// a test makes a broken file by editing what it returns. (The simulated
// bootloader reads the records it is sent with a parser of its own.)
class IntelHex
{
public:
    struct Segment
    {
        quint32 address = 0;
        QByteArray data;
    };

    // A record as bytes: length, address (big-endian), type, data, checksum.
    static QByteArray record(quint16 address, quint8 type, const QByteArray& data);
    // The record as a line of text: ':' and upper-case hex digits, no line end.
    static QByteArray line(quint16 address, quint8 type, const QByteArray& data);
    // The records as lines of text, each followed by the line end.
    static QByteArray text(const QList<QByteArray>& records, const QByteArray& lineEnd);
    // A file of the segments: an extended linear address record wherever the
    // upper address half changes, data records of at most recordSize bytes
    // that never cross a 64 KiB boundary, the end-of-file record.
    static QByteArray file(const QList<Segment>& segments, int recordSize = 16,
                           const QByteArray& lineEnd = QByteArrayLiteral("\r\n"));
};
