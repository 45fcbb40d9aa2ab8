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
    return device && sendFramedCommand(code, device, FpgaFamily::frame);
}

QByteArray FpgaMicroscopeCommunicator::commandPayload(char code, const QSharedPointer<MovraDeviceInfo>& device)
{
    QByteArray payload(1, code);
    switch (code) {
    case nsFirmware::ReadBootInfo:
    case nsFirmware::EraseFlash:
    case nsFirmware::JumpToApplication: return payload + commandArgument(code);
    case nsFirmware::ProgramFlash:
        if (fillGrowingFramePayload(payload) != RecordFill::Filled)
            return {};
        return payload;
    default: return AbstractFirmwareCommunicator::commandPayload(code, device);
    }
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
