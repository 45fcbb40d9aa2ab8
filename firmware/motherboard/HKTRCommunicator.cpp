#include "firmware/motherboard/HKTRCommunicator.h"

#include "firmware/core/BootInfoReply.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/motherboard/MotherboardFamily.h"

using namespace MotherboardFamily;

namespace {

// Release 1 carries its versions in its firmware text, release 20 its
// channel version.
constexpr quint16 TextVersionRelease = 1;
constexpr quint16 ChannelTextRelease = 20;

const QList<MotherboardFamilyCommunicator::CommandRow> Commands = {
    { AskBootloaderVersion, {} }, { ResetFromBlankBootloader, {} }, { ResetToBootloader, {} },
    { AskFirmwareVersion, {} },   { AskMotherboardVersion, {} },    { AskChannelVersion, {} },
    { PrepareUpdate, {} },
};

bool isOfThisFamily(const QSharedPointer<MovraDeviceInfo>& device)
{
    using namespace nsUpdater;
    switch (AbstractFirmwareCommunicator::getDeviceIdentifier(device)) {
    case NXLT:
    case Bootloader:
    case HKTR: return true;
    case Sarvanti:
        return !device->name().contains(QLatin1String("Motor")) && !device->name().contains(QLatin1String("Disk"));
    default: return false;
    }
}

} // namespace

// "N/A" counts as a blank bootloader here.
HKTRCommunicator::HKTRCommunicator(QObject* parent)
    : MotherboardFamilyCommunicator(Commands, parent, true)
{
}

void HKTRCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    if (!device)
        return;
    const QString na = ProgressMessages::NotAvailable;
    const QByteArray channel = device->channelFirmware();
    if (device->releaseNumber() == TextVersionRelease && (channel.contains("HKTR") || channel.contains("NXLT"))) {
        report(device, na, na, ProgressMessages::DefaultBootloaderVersion);
        report(device, na, textAfterFirstV(channel), na);
        report(device, textAfterPositionOfFirstV(device->motherboardFirmware(), channel), na, na);
    } else if (device->releaseNumber() == ChannelTextRelease) {
        report(device, na, textAfterFirstV(channel), na);
    } else {
        sendApplicationCommand(AskBootloaderVersion, device);
        sendApplicationCommand(AskFirmwareVersion, device);
    }
}

void HKTRCommunicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data)
{
    if (!deviceInfo || !isOfThisFamily(deviceInfo))
        return;
    const QByteArray reply = removeBootloaderPrefix(deviceInfo, data);
    if (reply.isEmpty())
        return;
    const QString na = ProgressMessages::NotAvailable;
    switch (reply.at(0)) {
    case AskFirmwareVersion:
    case AskMotherboardVersion: {
        const QString version = versionText(reply, 2, 3);
        if (!version.isEmpty())
            report(deviceInfo, version, na, na);
        break;
    }
    default:
        handleBootInfoOrHexUpdateReply(deviceInfo, reply, BootInfoReply::prefixedVersionIndex(deviceInfo),
                                       CrcReplyForm::Raw);
        break;
    }
}

void HKTRCommunicator::report(const QSharedPointer<MovraDeviceInfo>& device, const QString& motherboard,
                              const QString& channel, const QString& bootloader)
{
    emit sendInstalledVersionToUpdater(getDeviceIdentifier(device), { motherboard, channel, bootloader },
                                       device->uid());
}
