#include "firmware/core/RegisterVersionCode.h"

#include "firmware/core/AbstractFirmwareCommunicator.h"

namespace RegisterVersionCode {

bool channelVersions(const QByteArray& reply, nsFirmware::DeviceVersions* versions)
{
    if (reply.size() < 5)
        return false;
    *versions = {};
    if (reply.at(0) == ChannelVersion)
        versions->channelVersion = AbstractFirmwareCommunicator::versionText(reply.at(2), reply.at(3), reply.at(4));
    else if (reply.at(0) == BootloaderVersion)
        versions->bootloaderVersion = AbstractFirmwareCommunicator::versionText(reply.at(2), reply.at(4));
    else
        return false;
    return true;
}

} // namespace RegisterVersionCode
