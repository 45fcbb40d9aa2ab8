#pragma once

#include <QByteArray>
#include <QString>

// An MCS file of reproducible random bytes, made by srec_cat (16-byte
// records, 32-bit linear addresses) and checked against objcopy's reading
// of it, so the tests compare the board's flash with an independent image.
struct McsFixture
{
    enum class Outcome {
        Made,
        ToolsMissing,
        Failed,
    };

    Outcome make(const QString& folder, int size, quint32 seed);

    QString path;
    QByteArray reference; // objcopy's image of the file
    QString error;
};
