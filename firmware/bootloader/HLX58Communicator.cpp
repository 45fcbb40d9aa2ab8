#include "firmware/bootloader/HLX58Communicator.h"

#include "firmware/bootloader/BootloaderFamily.h"
#include "firmware/core/BootInfoReply.h"
#include "firmware/core/ProgressMessages.h"

namespace {

enum ApplicationCommand : char {
    AskBootloaderVersion = 1,
    Unused = 2,
    ResetToBootloader = 6,
    AskFirmwareVersion = 7
};

bool isOfThisFamily(const QSharedPointer<MovraDeviceInfo>& device)
{
    using nsUpdater::DeviceIdentifier;
    switch (AbstractFirmwareCommunicator::getDeviceIdentifier(device)) {
    case DeviceIdentifier::AssistedRotaryJoint:
    case DeviceIdentifier::Bootloader:
    case DeviceIdentifier::Sarvanti:
    case DeviceIdentifier::YLQSAGen2:
    case DeviceIdentifier::SarvantiGen2: return true;
    default: return false;
    }
}

} // namespace

HLX58Communicator::HLX58Communicator(QObject* parent)
    : BootloaderFamilyCommunicator(ImageFile::Hex, { ResetToBootloader }, parent)
{
}

void HLX58Communicator::sendApplicationCommand(char command, QSharedPointer<MovraDeviceInfo> device)
{
    switch (command) {
    case AskBootloaderVersion:
    case Unused:
    case ResetToBootloader:
    case AskFirmwareVersion: emit sendCommandToDevice(device, BootloaderFamily::applicationCommand(command)); break;
    default: break;
    }
}

void HLX58Communicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    sendApplicationCommand(AskBootloaderVersion, device);
    sendApplicationCommand(AskFirmwareVersion, device);
}

void HLX58Communicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data)
{
    if (!deviceInfo || !isOfThisFamily(deviceInfo))
        return;
    const QByteArray reply = removeBootloaderPrefix(deviceInfo, data);
    if (reply.isEmpty())
        return;
    switch (reply.at(0)) {
    case AskFirmwareVersion: {
        const QString version = versionText(reply, 1, 2);
        if (!version.isEmpty())
            BootloaderFamily::reportVersions(this, deviceInfo, version, version, ProgressMessages::NotAvailable);
        break;
    }
    default:
        handleBootInfoOrHexUpdateReply(deviceInfo, reply, BootInfoReply::prefixedVersionIndex(deviceInfo),
                                       CrcReplyForm::Raw);
        break;
    }
}
