#include "firmware/bootloader/BootloaderFamily.h"

namespace BootloaderFamily {

bool decodedCrc(const QByteArray& reply, quint16* crc)
{
    if (reply.size() < 3)
        return false;
    *crc = quint16(quint8(reply.at(1)) | (quint16(quint8(reply.at(2))) << 8));
    return true;
}

} // namespace BootloaderFamily

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
