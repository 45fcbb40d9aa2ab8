#include "firmware/core/BootInfoReply.h"

#include "firmware/core/AbstractFirmwareCommunicator.h"

namespace BootInfoReply {

int prefixedVersionIndex(const QSharedPointer<MovraDeviceInfo>& device)
{
    return AbstractFirmwareCommunicator::isInBootloader(device) ? 2 : 1;
}

bool versions(const QByteArray& reply, int first, nsFirmware::DeviceVersions* versions)
{
    if (reply.isEmpty() || reply.at(0) != nsFirmware::ReadBootInfo)
        return false;
    const QString version = AbstractFirmwareCommunicator::versionText(reply, first, first + 1);
    if (version.isEmpty())
        return false;
    *versions = {};
    versions->bootloaderVersion = version;
    return true;
}

} // namespace BootInfoReply
