#include "firmware/fpga/Microscope2ColorCommunicator.h"

#include "firmware/core/ProgressMessages.h"
#include "firmware/files/MCSVivadoFirmwareFileManager.h"
#include "firmware/fpga/FpgaFamily.h"
#include "firmware/fpga/ReplyDeadline.h"

#include <QDebug>

namespace {
constexpr char VersionReply = 16;
} // namespace

Microscope2ColorCommunicator::Microscope2ColorCommunicator(QObject* parent)
    : AbstractFirmwareCommunicator(parent)
    , m_deadline(new ReplyDeadline(this))
{
    connect(m_deadline, &ReplyDeadline::expired, this, &Microscope2ColorCommunicator::onReplyMissing);
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

void Microscope2ColorCommunicator::setReplyTimeout(int ms)
{
    m_deadline->setTimeout(ms);
}

bool Microscope2ColorCommunicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                                  nsFirmware::DeviceVersions)
{
    if (!device
        || !takeFirmwareFile(QSharedPointer<MCSVivadoFirmwareFileManager>::create(), fileName, GrowingFrameReadBound))
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

bool Microscope2ColorCommunicator::sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device)
{
    if (!device)
        return false;
    QByteArray payload(1, code);
    switch (code) {
    case nsFirmware::ReadBootInfo:
    case nsFirmware::EraseFlash: payload.append(char(m_sectorIndex & 0xFF)); break;
    case nsFirmware::JumpToApplication: break;
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

void Microscope2ColorCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    sendBootloaderCommand(nsFirmware::ReadBootInfo, device);
}

bool Microscope2ColorCommunicator::drivesUpdate(const QSharedPointer<MovraDeviceInfo>& device) const
{
    return m_updating && (!m_updateDevice || m_updateDevice->uid() == device->uid());
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

void Microscope2ColorCommunicator::onReplyMissing(char code)
{
    if (!m_updating)
        return;
    qInfo() << "No reply to command" << int(code) << "of the microscope update";
    reportProgrammingFailure(code, ProgressMessages::NoConfirmationReceived);
}

void Microscope2ColorCommunicator::reportBootloaderVersion(const QSharedPointer<MovraDeviceInfo>& device,
                                                           const QString& version)
{
    const QString na = ProgressMessages::NotAvailable;
    emit sendInstalledVersionToUpdater(getDeviceIdentifier(device), { na, na, version }, device->uid());
}
