#include "firmware/fpga/FpgaFamily.h"

#include "firmware/core/AbstractFirmwareCommunicator.h"
#include "firmware/core/BootloaderFrame.h"

namespace FpgaFamily {

bool isMicroscopeReplyType(int deviceType)
{
    return deviceType == nsUpdater::Bootloader || deviceType == nsUpdater::Channels || deviceType == nsUpdater::GQZ
           || deviceType == nsUpdater::GQZ2;
}

QByteArray frame(const QByteArray& payload)
{
    return BootloaderFrame::growingFrame(BootloaderFrame::withCrc(payload));
}

QByteArray prepareConsoleReply(const QSharedPointer<MovraDeviceInfo>& device, QByteArray reply)
{
    if (!AbstractFirmwareCommunicator::isInBootloader(device)
        || AbstractFirmwareCommunicator::hasBootloaderRelease(device))
        return reply;
    if (!reply.isEmpty())
        reply.remove(0, 1);
    if (reply.size() > 1 && reply.at(1) == BootloaderFrame::EOT)
        reply.remove(0, 1);
    if (reply.size() > 3 && reply.at(3) == BootloaderFrame::DLE)
        reply.remove(3, 1);
    return reply;
}

} // namespace FpgaFamily
