#include "tests/support/SmallFirmware.h"

#include "tests/support/IntelHex.h"

#include <QDir>
#include <QFile>

namespace SmallFirmware {

namespace {

QByteArray record(quint8 type, quint16 address, const QByteArray& data)
{
    return IntelHex::line(address, type, data) + "\r\n";
}

} // namespace

QByteArray contents(Kind kind)
{
    const quint16 upper = kind == Hex32 ? 0x1D00 : 0x0000;
    QByteArray file = record(4, 0, QByteArray(1, char(upper >> 8)) + char(upper & 0xFF));
    for (int i = 0; i < 5; ++i) {
        QByteArray data(16, char(0));
        for (int j = 0; j < data.size(); ++j)
            data[j] = char(i * 16 + j + 1);
        file += record(0, quint16(i * 16), data);
    }
    file += record(1, 0, {});
    return file;
}

QString fileName(Kind kind)
{
    switch (kind) {
    case Hex: return QStringLiteral("firmware.hex");
    case Hex32: return QStringLiteral("firmware32.hex");
    case Mcs: return QStringLiteral("firmware.mcs");
    }
    return {};
}

QStringList writeAll(const QString& folder)
{
    QStringList paths;
    for (Kind kind : { Hex, Hex32, Mcs }) {
        const QString path = QDir(folder).filePath(fileName(kind));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(contents(kind)) < 0)
            return {};
        paths << path;
    }
    return paths;
}

} // namespace SmallFirmware
