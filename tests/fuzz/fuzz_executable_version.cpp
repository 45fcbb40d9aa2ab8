#include "platform/ExecutableVersionReader.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(data), int(size));
    buffer.open(QIODevice::ReadOnly);
    const nsPlatform::ExecutableVersion version = nsPlatform::readExecutableVersion(&buffer);
    // A version text only ever comes with the resource it was read from,
    // and always has four decimal parts.
    if (!version.hasVersionInformation && !version.fileVersion.isEmpty())
        abort();
    if (!version.fileVersion.isEmpty() && version.fileVersion.count(QLatin1Char('.')) != 3)
        abort();
    return 0;
}
