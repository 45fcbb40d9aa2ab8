#include "device/MovraDeviceInfo.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const QString text = toDashedHexString(bytes);
    const int n = bytes.size();
    const int expected = n == 0 ? 0 : 2 * n + (n - 1) / 2;
    if (text.size() != expected)
        abort();
    if (QByteArray::fromHex(text.toLatin1().replace('-', "")) != bytes)
        abort();
    return 0;
}
