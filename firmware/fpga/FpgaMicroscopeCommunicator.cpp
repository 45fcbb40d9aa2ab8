#include "firmware/fpga/FpgaMicroscopeCommunicator.h"

#include "firmware/core/ProgressMessages.h"
#include "firmware/core/ReplyDeadline.h"
#include "firmware/files/FirmwareFileManager.h"
#include "firmware/fpga/FpgaFamily.h"

#include <QDebug>

FpgaMicroscopeCommunicator::FpgaMicroscopeCommunicator(QObject* parent)
    : AbstractFirmwareCommunicator(parent)
    , m_deadline(new ReplyDeadline(this))
{
    connect(m_deadline, &ReplyDeadline::expired, this, &FpgaMicroscopeCommunicator::onReplyMissing);
    // Every command of an update re-arms the deadline; an update that has
    // ended, well or not, waits for nothing more.
    connect(this, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater, this,
            [this](char, nsFirmware::MessageStatus status, int) {
                if (status == nsFirmware::Error) {
                    m_deadline->disarm();
                    m_updating = 0;
                }
            });
}

void FpgaMicroscopeCommunicator::setReplyTimeout(int ms)
{
    m_deadline->setTimeout(ms);
}

bool FpgaMicroscopeCommunicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                                nsFirmware::DeviceVersions)
{
    if (!device || !takeFirmwareFile(makeFileManager(), fileName, GrowingFrameReadBound))
        return false;
    m_updateDevice = device;
    m_rewindBeforeRead = true;
    beginSectorErase(m_fileManager->countSectors());
    m_updating = 1;
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
    if (code == nsFirmware::JumpToApplication) {
        m_deadline->disarm();
        finishFirmwareFile();
    } else if (m_updating) {
        m_deadline->arm(code);
    }
    return true;
}

bool FpgaMicroscopeCommunicator::drivesUpdate(const QSharedPointer<MovraDeviceInfo>& device) const
{
    return m_updating && (!m_updateDevice || m_updateDevice->uid() == device->uid());
}

void FpgaMicroscopeCommunicator::onReplyMissing(char code)
{
    if (!m_updating)
        return;
    qInfo() << "No reply to command" << int(code) << "of the microscope update";
    reportProgrammingFailure(code, ProgressMessages::NoConfirmationReceived);
}

void FpgaMicroscopeCommunicator::reportBootloaderVersion(const QSharedPointer<MovraDeviceInfo>& device,
                                                         const QString& version)
{
    const QString na = ProgressMessages::NotAvailable;
    emit sendInstalledVersionToUpdater(getDeviceIdentifier(device), { na, na, version }, device->uid());
}
