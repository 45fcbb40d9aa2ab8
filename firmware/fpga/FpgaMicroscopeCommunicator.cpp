#include "firmware/fpga/FpgaMicroscopeCommunicator.h"

#include "firmware/core/ProgressMessages.h"
#include "firmware/files/FirmwareFileManager.h"
#include "firmware/fpga/FpgaFamily.h"

FpgaMicroscopeCommunicator::FpgaMicroscopeCommunicator(QObject* parent)
    : AbstractFirmwareCommunicator(parent)
{
}

bool FpgaMicroscopeCommunicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                                nsFirmware::DeviceVersions)
{
    if (!beginDirectUpdate(device, makeFileManager(), fileName, GrowingFrameReadBound))
        return false;
    beginSectorErase(m_fileManager->countSectors());
    emit sendMessageToProgressDialog(ProgressMessages::ErasingMcsFile);
    sendBootloaderCommand(nsFirmware::ReadBootInfo, device);
    sendBootloaderCommand(nsFirmware::EraseFlash, device);
    return true;
}

bool FpgaMicroscopeCommunicator::sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device)
{
    if (!device)
        return false;
    QByteArray payload(1, code);
    switch (code) {
    case nsFirmware::ReadBootInfo:
    case nsFirmware::EraseFlash:
    case nsFirmware::JumpToApplication: payload.append(commandArgument(code)); break;
    case nsFirmware::ProgramFlash:
        if (fillGrowingFramePayload(payload) != RecordFill::Filled)
            return false;
        break;
    case nsFirmware::ReadCrc:
        payload = crcRequestPayload(code);
        if (payload.isEmpty())
            return false;
        break;
    default: return false;
    }
    emit sendCommandToDevice(device, FpgaFamily::frame(payload));
    awaitReplyTo(code);
    if (code == nsFirmware::JumpToApplication)
        finishFirmwareFile();
    return true;
}

bool FpgaMicroscopeCommunicator::drivesUpdate(const QSharedPointer<MovraDeviceInfo>& device) const
{
    return m_updating && (!m_updateDevice || m_updateDevice->uid() == device->uid());
}

void FpgaMicroscopeCommunicator::reportBootloaderVersion(const QSharedPointer<MovraDeviceInfo>& device,
                                                         const QString& version)
{
    const QString na = ProgressMessages::NotAvailable;
    emit sendInstalledVersionToUpdater(getDeviceIdentifier(device), { na, na, version }, device->uid());
}
