#include "firmware/core/AbstractFirmwareCommunicator.h"
#include "firmware/core/BootloaderFrame.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray decoded = BootloaderFrame::decode(input);
    if (decoded.size() != BootloaderFrame::DecodedSize)
        abort();

    // What a growing frame carries decodes back to it.
    if (size <= 200) {
        const QByteArray withCrc = BootloaderFrame::withCrc(input);
        const QByteArray again = BootloaderFrame::decode(BootloaderFrame::growingFrame(withCrc));
        if (size >= 1 && again.left(withCrc.size()) != withCrc)
            abort();
        const QByteArray fixed = BootloaderFrame::fixedFrame(withCrc);
        if (!fixed.isEmpty() && fixed.size() != BootloaderFrame::FixedFrameSize)
            abort();
    }

    const auto device = DeviceRecordBuilder().name(QStringLiteral("Bootloader")).release(3).build();
    AbstractFirmwareCommunicator::removeBootloaderPrefix(device, input);
    return 0;
}
