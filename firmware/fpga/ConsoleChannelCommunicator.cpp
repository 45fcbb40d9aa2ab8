#include "firmware/fpga/ConsoleChannelCommunicator.h"

#include "firmware/core/ProgressMessages.h"
#include "firmware/files/MCSVivadoFirmwareFileManager.h"
#include "firmware/fpga/FpgaFamily.h"

#include <QFileInfo>

namespace {
constexpr char ConsoleCode23 = 23;
constexpr char VersionReply = 16;
} // namespace

ConsoleChannelCommunicator::ConsoleChannelCommunicator(QObject* parent)
    : AbstractFirmwareCommunicator(parent)
{
}

bool ConsoleChannelCommunicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                                nsFirmware::DeviceVersions)
{
    // Only an MCS file can go to the channel boards: anything else is a
    // refused file, never an update that seems to start and then hangs.
    if (!device || !QFileInfo(fileName).suffix().contains(QLatin1String("mcs"), Qt::CaseSensitive))
        return false;
    if (!beginDirectUpdate(device, QSharedPointer<MCSVivadoFirmwareFileManager>::create(), fileName,
                           GrowingFrameReadBound))
        return false;
    beginSectorErase(m_fileManager->countSectors());
    emit sendDeviceResponseToUpdater(nsFirmware::EraseFlash, nsFirmware::InProgress, 0);
    emit sendMessageToProgressDialog(ProgressMessages::ErasingMcsFile);
    sendBootloaderCommand(nsFirmware::EraseFlash, device);
    return true;
}

bool ConsoleChannelCommunicator::sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device)
{
    return device && sendFramedCommand(code, device, FpgaFamily::frame);
}

QByteArray ConsoleChannelCommunicator::commandPayload(char code, const QSharedPointer<MovraDeviceInfo>& device)
{
    const char sector = char(m_sectorIndex & 0xFF);
    QByteArray payload(1, code);
    switch (code) {
    case ConsoleCode23: return payload.append(char(0x00));
    case nsFirmware::EraseFlash:
        // An erase whose reply is lost is sent again like a programming
        // packet; erasing a sector twice is harmless, waiting forever is not.
        if (m_updating)
            startRetryTimer(device, code);
        return payload.append(sector).append(char(0x00));
    case nsFirmware::JumpToApplication: return payload.append(sector).append(char(0x00));
    case nsFirmware::ProgramFlash:
        startRetryTimer(device, code);
        if (fillGrowingFramePayload(payload) != RecordFill::Filled)
            return {};
        return payload;
    default: return AbstractFirmwareCommunicator::commandPayload(code, device);
    }
}

void ConsoleChannelCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    if (!device)
        return;
    sendBootloaderCommand(nsFirmware::ReadBootInfo, device);
    reportBootloaderVersion(device, ProgressMessages::DefaultBootloaderVersion);
}

bool ConsoleChannelCommunicator::drivesUpdate(const QSharedPointer<MovraDeviceInfo>& device) const
{
    return m_updating && (!m_updateDevice || m_updateDevice->uid() == device->uid());
}

void ConsoleChannelCommunicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                             QByteArray data)
{
    if (!deviceInfo)
        return;
    const QByteArray reply = FpgaFamily::prepareConsoleReply(deviceInfo, data);
    if (reply.isEmpty())
        return;
    switch (reply.at(0)) {
    case nsFirmware::ReadBootInfo: {
        const int first = hasBootloaderRelease(deviceInfo) ? 1 : 2;
        const QString version = versionText(reply, first, first + 1);
        if (!version.isEmpty())
            reportBootloaderVersion(deviceInfo, version);
        break;
    }
    case nsFirmware::EraseFlash:
        if (drivesUpdate(deviceInfo) && reply.size() > 1)
            onSectorErased(deviceInfo, reply.at(1));
        break;
    case nsFirmware::ProgramFlash:
        if (drivesUpdate(deviceInfo))
            onLinesAcknowledged(deviceInfo, reply);
        break;
    case nsFirmware::ReadCrc:
        if (drivesUpdate(deviceInfo))
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

void ConsoleChannelCommunicator::reportBootloaderVersion(const QSharedPointer<MovraDeviceInfo>& device,
                                                         const QString& version)
{
    const QString na = ProgressMessages::NotAvailable;
    emit sendInstalledVersionToUpdater(getDeviceIdentifier(device), { na, na, version }, device->uid());
}
