#include "firmware/microscope/MicroscopeUSB3Communicator.h"

#include "firmware/core/BlockingPause.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/core/RegisterFrame.h"
#include "firmware/core/RegisterVersionCode.h"
#include "firmware/files/MCSVivadoFirmwareFileManager.h"
#include "firmware/fpga/FpgaFamily.h"

namespace {

using namespace RegisterVersionCode;

constexpr char KavorVersion = 71;
// The driver's own acknowledgement ('O'), which carries nothing.
constexpr char Acknowledgement = 79;

} // namespace

MicroscopeUSB3Communicator::MicroscopeUSB3Communicator(QObject* parent)
    : AbstractFirmwareCommunicator(parent)
{
}

QByteArray MicroscopeUSB3Communicator::channelRegisterWrite(char code)
{
    const char data[] = { code, 0x00, 0x00 };
    return buildRegisterWriteCommand(ChannelRegister, data, int(sizeof(data)));
}

QByteArray MicroscopeUSB3Communicator::registerRead(quint32 address)
{
    QByteArray body;
    body.append(RegisterFrame::Start);
    body.append(RegisterFrame::ReadCode);
    body.append(char(0x10));
    body.append(char(address >> 24));
    body.append(char(address >> 16));
    body.append(char(address >> 8));
    body.append(char(address));
    return RegisterFrame::finish(body, m_crc8Table.get());
}

void MicroscopeUSB3Communicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    if (!device)
        return;
    // The driver needs these pauses between register commands; they block
    // the calling thread.
    emit sendCommandToDevice(device, channelRegisterWrite(BootloaderVersion));
    BlockingPause::wait(RegisterPauseMs);
    m_awaitingRegisterReply = true;
    emit sendCommandToDevice(device, registerRead(0));
    BlockingPause::wait(RegisterPauseMs);
    emit sendCommandToDevice(device, channelRegisterWrite(ChannelVersion));
    BlockingPause::wait(RegisterPauseMs);
    if (getDeviceIdentifier(device) == nsUpdater::GQZ3KAVOR)
        emit sendCommandToDevice(device, channelRegisterWrite(KavorVersion));
    BlockingPause::wait(RegisterPauseMs);
}

void MicroscopeUSB3Communicator::reportVersions(const QSharedPointer<MovraDeviceInfo>& device,
                                                const DeviceVersions& versions)
{
    emit sendInstalledVersionToUpdater(getDeviceIdentifier(device), versions, device->uid());
}

void MicroscopeUSB3Communicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                             QByteArray data)
{
    const int type = getDeviceIdentifier(deviceInfo);
    if (!deviceInfo || (type != nsUpdater::GQZ3 && type != nsUpdater::GQZ3KAVOR) || data.isEmpty()
        || data.at(0) == Acknowledgement)
        return;
    if (m_awaitingRegisterReply && (data.at(0) == 5 || data.at(0) == 1)) {
        m_awaitingRegisterReply = false;
        data.prepend(MotherboardVersion);
    }
    const QString na = ProgressMessages::NotAvailable;
    const bool fromUpdate = m_updating && m_updateDevice && m_updateDevice->uid() == deviceInfo->uid();
    switch (data.at(0)) {
    case nsFirmware::EraseFlash:
        if (fromUpdate && data.size() >= 2)
            onSectorErased(deviceInfo, data.at(1));
        break;
    case nsFirmware::ProgramFlash:
        if (fromUpdate)
            onLinesAcknowledged(deviceInfo, data);
        break;
    case nsFirmware::ReadCrc:
        if (fromUpdate)
            onCrcReceived(deviceInfo, data);
        break;
    case MotherboardVersion:
        if (data.size() >= 6)
            reportVersions(deviceInfo, { versionText(data.at(1), data.at(2), data.at(5)), na, na });
        break;
    case ChannelVersion:
    case BootloaderVersion: {
        DeviceVersions versions;
        if (channelVersions(data, &versions))
            reportVersions(deviceInfo, versions);
        break;
    }
    default: break;
    }
}

bool MicroscopeUSB3Communicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                                nsFirmware::DeviceVersions)
{
    if (!beginDirectUpdate(device, QSharedPointer<MCSVivadoFirmwareFileManager>::create(), fileName,
                           GrowingFrameReadBound))
        return false;
    beginSectorErase(m_fileManager->countSectors());
    emit sendMessageToProgressDialog(ProgressMessages::ErasingMcsFile);
    emit sendClearAvailableDevices();
    sendBootloaderCommand(nsFirmware::EraseFlash, device);
    return true;
}

QByteArray MicroscopeUSB3Communicator::commandPayload(char code, const QSharedPointer<MovraDeviceInfo>& device)
{
    QByteArray payload(1, code);
    switch (code) {
    // The driver tells its versions through its registers.
    case nsFirmware::ReadBootInfo: return {};
    case nsFirmware::EraseFlash: return payload.append(char(m_sectorIndex));
    case nsFirmware::ProgramFlash:
        if (fillGrowingFramePayload(payload) != RecordFill::Filled)
            return {};
        return payload;
    default: return AbstractFirmwareCommunicator::commandPayload(code, device);
    }
}

bool MicroscopeUSB3Communicator::sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device)
{
    return device && sendFramedCommand(code, device, FpgaFamily::frame);
}
