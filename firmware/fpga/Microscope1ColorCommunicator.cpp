#include "firmware/fpga/Microscope1ColorCommunicator.h"

#include "firmware/core/ProgressMessages.h"
#include "firmware/files/MCSFirmwareFileManager.h"
#include "firmware/fpga/FpgaFamily.h"

namespace {
constexpr char VersionReply = 16;
} // namespace

Microscope1ColorCommunicator::Microscope1ColorCommunicator(QObject* parent)
    : FpgaMicroscopeCommunicator(parent)
{
}

void Microscope1ColorCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    if (!device)
        return;
    sendBootloaderCommand(nsFirmware::ReadBootInfo, device);
    reportBootloaderVersion(device, ProgressMessages::DefaultBootloaderVersion);
}

void Microscope1ColorCommunicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                               QByteArray data)
{
    if (!deviceInfo || !FpgaFamily::isMicroscopeReplyType(getDeviceIdentifier(deviceInfo)))
        return;
    const QByteArray reply = removeBootloaderPrefix(deviceInfo, data);
    if (reply.isEmpty())
        return;
    const bool update = drivesUpdate(deviceInfo);
    switch (reply.at(0)) {
    case nsFirmware::ReadBootInfo: {
        const int first = isInBootloader(deviceInfo) ? 2 : 1;
        const QString version = versionText(reply, first, first + 1);
        if (!version.isEmpty())
            reportBootloaderVersion(deviceInfo, version);
        break;
    }
    case nsFirmware::EraseFlash:
        if (update)
            onMcsEraseDone(deviceInfo);
        break;
    case nsFirmware::ProgramFlash:
        if (update)
            onLinesAcknowledged(deviceInfo, reply);
        break;
    case nsFirmware::ReadCrc:
        if (update)
            onCrcReplied(deviceInfo);
        break;
    case VersionReply: {
        const QString version = versionText(reply, 2, 4);
        if (!version.isEmpty())
            emit sendInstalledVersionToUpdater(getDeviceIdentifier(deviceInfo), { version, version, version },
                                               deviceInfo->uid());
        break;
    }
    default: break;
    }
}

void Microscope1ColorCommunicator::onCrcReplied(const QSharedPointer<MovraDeviceInfo>& device)
{
    // The device's CRC reply holds nothing to compare with the image.
    emit sendMessageToProgressDialog(ProgressMessages::CrcVerificationDone);
    emit sendDeviceResponseToUpdater(nsFirmware::ReadCrc, nsFirmware::Success, 100);
    sendBootloaderCommand(nsFirmware::JumpToApplication, device);
}

QSharedPointer<FirmwareFileManager> Microscope1ColorCommunicator::makeFileManager() const
{
    return QSharedPointer<MCSFirmwareFileManager>::create();
}

QByteArray Microscope1ColorCommunicator::commandArgument(char) const
{
    return QByteArray(1, char(0x00));
}
