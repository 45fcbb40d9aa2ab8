#include "firmware/files/HEX32FirmwareFileManager.h"
#include "firmware/files/HEXFirmwareFileManager.h"
#include "firmware/files/MCSFirmwareFileManager.h"
#include "firmware/files/MCSVivadoFirmwareFileManager.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

QString fuzzFileName()
{
    static const QString name = QDir::temp().filePath(QStringLiteral("movra_fuzz_%1.hex").arg(getpid()));
    return name;
}

void exercise(FirmwareFileManager& reader, const QString& name, int bound)
{
    if (!reader.openFile(name, bound))
        return;
    uchar buffer[FirmwareFileManager::LineBufferSize / 2 + 1];
    if (reader.rewind()) {
        quint16 n;
        int guard = 0;
        while ((n = reader.readNextRecord(buffer, bound)) != 0 && ++guard < 100000) {
            if (n > bound / 2)
                abort();
        }
    }
    const FirmwareImageInformation first = reader.getImageInformation();
    if (!(reader.getImageInformation() == first))
        abort();
    reader.countSectors();
    reader.closeFile();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    const QString name = fuzzFileName();
    {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const int bound = size > 0 && (data[0] & 1) ? 59 : 255;
    HEX32FirmwareFileManager hex32;
    exercise(hex32, name, bound);
    HEXFirmwareFileManager hex;
    exercise(hex, name, bound);
    MCSFirmwareFileManager mcs;
    exercise(mcs, name, bound);
    MCSVivadoFirmwareFileManager vivado;
    exercise(vivado, name, 995);
    QFile::remove(name);
    return 0;
}
