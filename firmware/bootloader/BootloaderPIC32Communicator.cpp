#include "firmware/bootloader/BootloaderPIC32Communicator.h"

#include "device/usb/UsbIds.h"
#include "firmware/bootloader/BootloaderFamily.h"
#include "firmware/core/ProgressMessages.h"

// Already in its bootloader: no reset.
BootloaderPIC32Communicator::BootloaderPIC32Communicator(QObject* parent)
    : BootloaderFamilyCommunicator(ImageFile::Hex32, {}, parent)
{
}

void BootloaderPIC32Communicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    sendBootloaderCommand(nsFirmware::ReadBootInfo, device);
}

void BootloaderPIC32Communicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                              QByteArray data)
{
    if (!deviceInfo || deviceInfo->pid() != nsUsbIds::PIC32BootloaderProductId)
        return;
    const QByteArray reply = decodeBootloaderFrame(data);
    if (reply.isEmpty())
        return;
    switch (reply.at(0)) {
    case nsFirmware::ReadBootInfo: {
        const QString version = versionText(reply, 1, 2);
        if (!version.isEmpty())
            BootloaderFamily::reportVersions(this, deviceInfo, ProgressMessages::NotAvailable,
                                             ProgressMessages::NotAvailable, version);
        break;
    }
    default: handleHexUpdateReply(deviceInfo, reply, CrcReplyForm::DecodedFrame); break;
    }
}
