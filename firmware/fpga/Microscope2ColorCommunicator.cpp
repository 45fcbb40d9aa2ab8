#include "firmware/fpga/Microscope2ColorCommunicator.h"

#include "firmware/core/ProgressMessages.h"
#include "firmware/files/MCSVivadoFirmwareFileManager.h"
#include "firmware/fpga/FpgaFamily.h"

namespace {
constexpr char VersionReply = 16;
} // namespace

Microscope2ColorCommunicator::Microscope2ColorCommunicator(QObject* parent)
    : FpgaMicroscopeCommunicator(parent)
{
}

void Microscope2ColorCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    sendBootloaderCommand(nsFirmware::ReadBootInfo, device);
}

void Microscope2ColorCommunicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                               QByteArray data)
{
    // Ethernet replies belong to the Ethernet microscope's own communicator.
    if (!deviceInfo || deviceInfo->commType() == CommType::Ethernet
        || !FpgaFamily::isMicroscopeReplyType(getDeviceIdentifier(deviceInfo)))
        return;
    const QByteArray reply = removeBootloaderPrefix(deviceInfo, data);
    if (reply.isEmpty())
        return;
    const bool update = drivesUpdate(deviceInfo);
    switch (reply.at(0)) {
    case nsFirmware::ReadBootInfo: {
        const QString version = versionText(reply, 1, 2);
        if (!version.isEmpty())
            reportBootloaderVersion(deviceInfo, version);
        break;
    }
    case nsFirmware::EraseFlash:
        if (update && reply.size() > 1)
            onSectorErased(deviceInfo, reply.at(1));
        break;
    case nsFirmware::ProgramFlash:
        if (update)
            onLinesAcknowledged(deviceInfo, reply);
        break;
    case nsFirmware::ReadCrc:
        if (update)
            onCrcReceived(deviceInfo, reply);
        break;
    case VersionReply: {
        const QString version = versionText(reply, 2, 3);
        if (!version.isEmpty())
            reportBootloaderVersion(deviceInfo, version);
        break;
    }
    default: break;
    }
}

QSharedPointer<FirmwareFileManager> Microscope2ColorCommunicator::makeFileManager() const
{
    return QSharedPointer<MCSVivadoFirmwareFileManager>::create();
}

QByteArray Microscope2ColorCommunicator::commandArgument(char code) const
{
    if (code == nsFirmware::JumpToApplication)
        return {};
    return QByteArray(1, char(m_sectorIndex & 0xFF));
}
