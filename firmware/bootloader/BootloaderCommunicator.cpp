#include "firmware/bootloader/BootloaderCommunicator.h"

#include "firmware/bootloader/BootloaderFamily.h"
#include "firmware/core/BootInfoReply.h"
#include "firmware/core/ProgressMessages.h"

// Already in its bootloader: no reset.
BootloaderCommunicator::BootloaderCommunicator(QObject* parent)
    : BootloaderFamilyCommunicator(ImageFile::Hex, {}, parent)
{
}

void BootloaderCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    if (hasBootloaderRelease(device)) {
        sendBootloaderCommand(nsFirmware::ReadBootInfo, device);
    } else if (isInBootloader(device)) {
        // This bootloader cannot be asked.
        BootloaderFamily::reportVersions(this, device, ProgressMessages::NotAvailable, ProgressMessages::NotAvailable,
                                         ProgressMessages::DefaultBootloaderVersion);
    }
}

void BootloaderCommunicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data)
{
    if (!deviceInfo)
        return;
    const QByteArray reply = removeBootloaderPrefix(deviceInfo, data);
    if (reply.isEmpty())
        return;
    handleBootInfoOrHexUpdateReply(deviceInfo, reply, BootInfoReply::prefixedVersionIndex(deviceInfo),
                                   CrcReplyForm::Raw);
}
