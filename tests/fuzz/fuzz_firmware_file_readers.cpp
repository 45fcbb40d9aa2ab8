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
    // As large as tests/fuzz/fuzz_firmware_file_readers.options lets inputs grow.
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
    // One reader of each kind for the whole run: openFile() takes a reader
    // that read another file before, as an updater's reader does. Each kind
    // builds its image in one buffer of 5 MiB, blanked again only where the
    // last image was written (FirmwareImageBuffer), so a large image costs
    // what its data cost.
    static HEX32FirmwareFileManager hex32;
    static HEXFirmwareFileManager hex;
    static MCSFirmwareFileManager mcs;
    static MCSVivadoFirmwareFileManager vivado;
    exercise(hex32, name, bound);
    exercise(hex, name, bound);
    exercise(mcs, name, bound);
    exercise(vivado, name, 995);
    QFile::remove(name);
    return 0;
}
