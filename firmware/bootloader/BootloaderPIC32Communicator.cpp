#include "firmware/bootloader/BootloaderPIC32Communicator.h"

#include "device/usb/UsbIds.h"

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
    // A decoded frame holds no prefix: the version is bytes 1 and 2.
    handleBootInfoOrHexUpdateReply(deviceInfo, reply, 1, CrcReplyForm::DecodedFrame);
}
