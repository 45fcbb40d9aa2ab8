#include "firmware/motherboard/MotherboardCommunicator.h"

#include "firmware/core/BootInfoReply.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/motherboard/MotherboardFamily.h"

using namespace MotherboardFamily;

namespace {

const QList<MotherboardFamilyCommunicator::CommandRow> Commands = {
    { AskBootloaderVersion, {} },
    // The blank bootloader only resets on this key.
    { ResetFromBlankBootloader, QByteArray::fromHex("aabb") },
    { ResetToBootloader, {} },
    { AskFirmwareVersion, {} },
    { AskMotherboardVersion, {} },
    { AskChannelVersion, {} },
    { AskDriverMChannelVersion, {} },
    { PrepareUpdate, QByteArray::fromHex("75bb75bb") },
};

bool isOfThisFamily(nsUpdater::DeviceIdentifier type)
{
    using namespace nsUpdater;
    switch (type) {
    case Bootloader:
    case Channels:
    case Console:
    case EEPROMMemoryManager:
    case ElectrophysiologyConsole:
    case FiberPhotometryConsole:
    case LightSource:
    case KAVOR:
    case Motherboard: return true;
    default: return false;
    }
}

} // namespace

MotherboardCommunicator::MotherboardCommunicator(QObject* parent)
    : MotherboardFamilyCommunicator(Commands, parent)
{
}

void MotherboardCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    if (!device)
        return;
    if (hasBootloaderRelease(device) && isInBootloader(device)) {
        sendBootloaderCommand(nsFirmware::ReadBootInfo, device);
    } else if (isInBootloader(device)) {
        report(getDeviceIdentifier(device), device, ProgressMessages::NotAvailable, ProgressMessages::NotAvailable,
               ProgressMessages::DefaultBootloaderVersion);
    } else if (hasDriverM(device)) {
        sendApplicationCommand(AskMotherboardVersion, device);
        sendApplicationCommand(AskDriverMChannelVersion, device);
        sendApplicationCommand(AskFirmwareVersion, device);
        report(getDeviceIdentifier(device), device, ProgressMessages::NotAvailable, ProgressMessages::NotAvailable,
               ProgressMessages::DefaultBootloaderVersion);
    } else {
        sendApplicationCommand(AskBootloaderVersion, device);
        sendApplicationCommand(AskFirmwareVersion, device);
        sendApplicationCommand(AskMotherboardVersion, device);
        sendApplicationCommand(AskChannelVersion, device);
    }
}

void MotherboardCommunicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data)
{
    if (!deviceInfo)
        return;
    const DeviceIdentifier type = getDeviceIdentifier(deviceInfo);
    if (!isOfThisFamily(type))
        return;
    const QByteArray reply = removeBootloaderPrefix(deviceInfo, data);
    if (reply.isEmpty())
        return;
    const QString na = ProgressMessages::NotAvailable;
    switch (reply.at(0)) {
    case AskMotherboardVersion: {
        const QString version = threePartVersion(reply, 3);
        if (version.isEmpty())
            break;
        deviceInfo->setChannelCount(qint8(reply.at(1)));
        report(type, deviceInfo, version, na, na);
        break;
    }
    case AskChannelVersion:
    case AskDriverMChannelVersion: {
        const QString version = threePartVersion(reply, 2);
        DeviceIdentifier channelType = type;
        if (version.isEmpty() || !channelDeviceType(deviceInfo, reply, &channelType))
            break;
        report(channelType, deviceInfo, na, version, na);
        break;
    }
    default:
        handleBootInfoOrHexUpdateReply(deviceInfo, reply, BootInfoReply::prefixedVersionIndex(deviceInfo),
                                       CrcReplyForm::Raw);
        break;
    }
}

void MotherboardCommunicator::report(DeviceIdentifier type, const QSharedPointer<MovraDeviceInfo>& device,
                                     const QString& motherboard, const QString& channel, const QString& bootloader)
{
    emit sendInstalledVersionToUpdater(type, { motherboard, channel, bootloader }, device->uid());
}
