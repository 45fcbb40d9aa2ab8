#include "BootloaderPIC32Communicator.h"

#include "BootloaderFamily.h"
#include "HEX32FirmwareFileManager.h"
#include "ProgressMessages.h"

namespace {
constexpr quint16 PIC32BootloaderProductId = 0xF333;
}

BootloaderPIC32Communicator::BootloaderPIC32Communicator(QObject* parent)
    : AbstractFirmwareCommunicator(parent)
{
}

bool BootloaderPIC32Communicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                                 nsFirmware::DeviceVersions versions)
{
    Q_UNUSED(versions)
    if (!takeFirmwareFile(QSharedPointer<HEX32FirmwareFileManager>::create(), fileName, FixedFrameReadBound))
        return false;
    eraseInBootloader(device);
    return true;
}

bool BootloaderPIC32Communicator::sendBootloaderCommand(char command, QSharedPointer<MovraDeviceInfo> device)
{
    return sendFixedFrameCommand(command, device);
}

void BootloaderPIC32Communicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    sendBootloaderCommand(nsFirmware::ReadBootInfo, device);
}

void BootloaderPIC32Communicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                              QByteArray data)
{
    if (!deviceInfo || deviceInfo->pid() != PIC32BootloaderProductId)
        return;
    const QByteArray reply = decodeBootloaderFrame(data);
    if (reply.isEmpty())
        return;
    switch (reply.at(0)) {
    case nsFirmware::ReadBootInfo: {
        const QString version = versionText(reply, 1, 2);
        if (!version.isEmpty())
            BootloaderFamily::reportVersions(this, deviceInfo, ProgressMessages::NotAvailable,
                                             ProgressMessages::NotAvailable, version);
        break;
    }
    case nsFirmware::EraseFlash:
        if (isUpdating())
            onHexEraseDone(deviceInfo);
        break;
    case nsFirmware::ProgramFlash:
        if (isUpdating())
            onLinesAcknowledged(deviceInfo, reply);
        break;
    case nsFirmware::ReadCrc:
        if (isUpdating())
            checkCrc(deviceInfo, reply);
        break;
    default:
        break;
    }
}

void BootloaderPIC32Communicator::checkCrc(const QSharedPointer<MovraDeviceInfo>& device, const QByteArray& reply)
{
    quint16 crc = 0;
    if (!m_fileManager || !BootloaderFamily::decodedCrc(reply, &crc))
        return;
    if (crc != m_fileManager->getImageInformation().crc) {
        emit sendDeviceResponseToUpdater(nsFirmware::ReadCrc, nsFirmware::Error, -1);
        return;
    }
    emit sendMessageToProgressDialog(ProgressMessages::CrcVerificationDone);
    emit sendDeviceResponseToUpdater(nsFirmware::ReadCrc, nsFirmware::Success, 100);
    sendBootloaderCommand(nsFirmware::JumpToApplication, device);
}
