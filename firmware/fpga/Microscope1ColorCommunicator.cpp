#include "firmware/fpga/Microscope1ColorCommunicator.h"

#include "firmware/core/ProgressMessages.h"
#include "firmware/files/MCSFirmwareFileManager.h"
#include "firmware/fpga/FpgaFamily.h"
#include "firmware/fpga/ReplyDeadline.h"

#include <QDebug>

namespace {
constexpr char VersionReply = 16;
} // namespace

Microscope1ColorCommunicator::Microscope1ColorCommunicator(QObject* parent)
    : AbstractFirmwareCommunicator(parent)
    , m_deadline(new ReplyDeadline(this))
{
    connect(m_deadline, &ReplyDeadline::expired, this, &Microscope1ColorCommunicator::onReplyMissing);
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

void Microscope1ColorCommunicator::setReplyTimeout(int ms)
{
    m_deadline->setTimeout(ms);
}

bool Microscope1ColorCommunicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                                  nsFirmware::DeviceVersions)
{
    if (!device || !takeFirmwareFile(QSharedPointer<MCSFirmwareFileManager>::create(), fileName, GrowingFrameReadBound))
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

bool Microscope1ColorCommunicator::sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device)
{
    if (!device)
        return false;
    QByteArray payload(1, code);
    switch (code) {
    case nsFirmware::ReadBootInfo:
    case nsFirmware::EraseFlash:
    case nsFirmware::JumpToApplication: payload.append(char(0x00)); break;
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

void Microscope1ColorCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    if (!device)
        return;
    sendBootloaderCommand(nsFirmware::ReadBootInfo, device);
    reportBootloaderVersion(device, ProgressMessages::DefaultBootloaderVersion);
}

bool Microscope1ColorCommunicator::drivesUpdate(const QSharedPointer<MovraDeviceInfo>& device) const
{
    return m_updating && (!m_updateDevice || m_updateDevice->uid() == device->uid());
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

void Microscope1ColorCommunicator::onReplyMissing(char code)
{
    if (!m_updating)
        return;
    qInfo() << "No reply to command" << int(code) << "of the microscope update";
    reportProgrammingFailure(code, ProgressMessages::NoConfirmationReceived);
}

void Microscope1ColorCommunicator::reportBootloaderVersion(const QSharedPointer<MovraDeviceInfo>& device,
                                                           const QString& version)
{
    const QString na = ProgressMessages::NotAvailable;
    emit sendInstalledVersionToUpdater(getDeviceIdentifier(device), { na, na, version }, device->uid());
}
