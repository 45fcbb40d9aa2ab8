#include "firmware/bootloader/BootloaderFamily.h"

namespace BootloaderFamily {

void reportVersions(AbstractFirmwareCommunicator* communicator, const QSharedPointer<MovraDeviceInfo>& device,
                    const QString& motherboard, const QString& channel, const QString& bootloader)
{
    nsFirmware::DeviceVersions versions;
    versions.motherboardVersion = motherboard;
    versions.channelVersion = channel;
    versions.bootloaderVersion = bootloader;
    emit communicator->sendInstalledVersionToUpdater(AbstractFirmwareCommunicator::getDeviceIdentifier(device),
                                                     versions, device->uid());
}

} // namespace BootloaderFamily
