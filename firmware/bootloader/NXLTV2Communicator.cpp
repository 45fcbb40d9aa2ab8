#include "firmware/bootloader/NXLTV2Communicator.h"

#include "firmware/bootloader/BootloaderFamily.h"
#include "firmware/core/ProgressMessages.h"

namespace {
enum ApplicationCommand : char {
    ResetToBootloader = 6,
    AskFirmwareVersion = 7
};
} // namespace

NXLTV2Communicator::NXLTV2Communicator(QObject* parent)
    : BootloaderFamilyCommunicator(ImageFile::Hex32, { ResetToBootloader }, parent)
{
}

void NXLTV2Communicator::sendApplicationCommand(char command, QSharedPointer<MovraDeviceInfo> device)
{
    if (command == ResetToBootloader || command == AskFirmwareVersion)
        emit sendCommandToDevice(device, BootloaderFamily::applicationCommand(command));
}

void NXLTV2Communicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    sendApplicationCommand(AskFirmwareVersion, device);
}

void NXLTV2Communicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data)
{
    if (!deviceInfo)
        return;
    if (getDeviceIdentifier(deviceInfo) == nsUpdater::DeviceIdentifier::SarvantiGen2
        && deviceInfo->name().contains(QLatin1String("Disk")))
        return;
    const QByteArray reply = isInBootloader(deviceInfo) ? decodeBootloaderFrame(data) : data;
    if (reply.isEmpty())
        return;
    switch (reply.at(0)) {
    case AskFirmwareVersion: {
        const QString version = versionText(reply, 1, 2);
        if (!version.isEmpty())
            BootloaderFamily::reportVersions(this, deviceInfo, version, ProgressMessages::NotAvailable,
                                             ProgressMessages::NotAvailable);
        break;
    }
    // Decoded or from the application, the version is bytes 1 and 2.
    default: handleBootInfoOrHexUpdateReply(deviceInfo, reply, 1, CrcReplyForm::DecodedFrame); break;
    }
}
