#include "firmware/fx3/CypressFX3Communicator.h"

#include "firmware/core/ProgressMessages.h"
#include "firmware/core/RegisterVersionCode.h"
#include "firmware/files/FirmwareFileManager.h"
#include "firmware/files/MCSVivadoFirmwareFileManager.h"

#include <QDebug>

namespace {

using namespace RegisterVersionCode;

// The version reply carries this at index 3 and its version from index 16.
constexpr char VersionReplyMark = 13;
constexpr int VersionReplyOffset = 16;
constexpr quint16 BootInfoLength = 25;
constexpr quint16 EraseLength = 5;
constexpr quint16 ProgramLength = 4;
constexpr quint16 CrcLength = 4;
constexpr quint16 JumpLength = 2;

// The bytes the bridge returns to each command.
quint16 returnedLength(char code)
{
    switch (code) {
    case nsFirmware::ReadBootInfo: return BootInfoLength;
    case nsFirmware::EraseFlash: return EraseLength;
    case nsFirmware::ProgramFlash: return ProgramLength;
    case nsFirmware::ReadCrc: return CrcLength;
    default: return JumpLength;
    }
}

} // namespace

CypressFX3Communicator::CypressFX3Communicator(QObject* parent)
    : AbstractFirmwareCommunicator(parent)
{
}

QByteArray CypressFX3Communicator::controlCommand(char code, quint16 index, quint16 returnedLength,
                                                  const QByteArray& data)
{
    QByteArray command;
    command.append(code);
    command.append(char(0x00));
    command.append(char(0x00));
    command.append(char(index >> 8));
    command.append(char(index & 0xFF));
    command.append(char(returnedLength >> 8));
    command.append(char(returnedLength & 0xFF));
    command.append(data);
    return command;
}

void CypressFX3Communicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    if (getDeviceIdentifier(device) != nsUpdater::TV720)
        return;
    m_awaitingVersionReply = true;
    QByteArray command = buildRegisterReadCommand(0x00, 0x01, 0x02);
    command.append(QByteArray(VersionCommandSize - command.size(), '\0'));
    emit sendCommandToDevice(device, command);
}

void CypressFX3Communicator::report(const QSharedPointer<MovraDeviceInfo>& device, const DeviceVersions& versions)
{
    emit sendInstalledVersionToUpdater(getDeviceIdentifier(device), versions, device->uid());
}

void CypressFX3Communicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data)
{
    const int type = getDeviceIdentifier(deviceInfo);
    if (!deviceInfo || (type != nsUpdater::GQZ3 && type != nsUpdater::GQZ3KAVOR && type != nsUpdater::TV720)
        || data.isEmpty())
        return;
    if (m_awaitingVersionReply) {
        if (data.size() <= VersionReplyOffset || data.at(3) != VersionReplyMark)
            return;
        m_awaitingVersionReply = false;
        data = QByteArray(1, MotherboardVersion) + data.mid(VersionReplyOffset);
    }
    const QString na = ProgressMessages::NotAvailable;
    // Update replies count only during this update and from its device.
    const bool fromUpdate = m_updating && m_updateDevice && m_updateDevice->uid() == deviceInfo->uid();
    switch (data.at(0)) {
    case nsFirmware::ReadBootInfo:
        if (data.size() >= 3)
            report(deviceInfo, { na, na, versionText(data.at(1), data.at(2)) });
        break;
    case nsFirmware::EraseFlash:
        if (fromUpdate && data.size() >= 2)
            onEraseReply(deviceInfo, data.at(1));
        break;
    case nsFirmware::ProgramFlash:
        if (fromUpdate)
            onLinesAcknowledged(deviceInfo, data);
        break;
    case nsFirmware::ReadCrc:
        // A reply too short to read leaves the deadline running.
        if (fromUpdate)
            onCrcReceived(deviceInfo, data);
        break;
    case nsFirmware::JumpToApplication:
        if (fromUpdate)
            finishFirmwareFile();
        break;
    case MotherboardVersion:
        if (data.size() >= 3)
            report(deviceInfo, { versionText(data.at(2), data.at(1)), na, na });
        break;
    case ChannelVersion:
    case BootloaderVersion: {
        DeviceVersions versions;
        if (channelVersions(data, &versions))
            report(deviceInfo, versions);
        break;
    }
    default: break;
    }
}

void CypressFX3Communicator::onEraseReply(const QSharedPointer<MovraDeviceInfo>& device, char status)
{
    if (m_sectorIndex == m_sectorCount) {
        if (m_eraseDone)
            return;
        m_eraseDone = true;
        m_sectorIndex = 0;
        m_sectorCount = 0;
        emit sendDeviceResponseToUpdater(nsFirmware::EraseFlash, nsFirmware::InProgress, 15);
        emit sendMessageToProgressDialog(ProgressMessages::ErasingMcsFileDone);
        emit sendMessageToProgressDialog(programmingLine());
        if (!sendBootloaderCommand(nsFirmware::ProgramFlash, device))
            fail(nsFirmware::ProgramFlash);
        return;
    }
    if (m_eraseDone)
        return;
    // A failed erase repeats the same sector, but only so often.
    if (status == 0) {
        ++m_sectorIndex;
        m_eraseFailures = 0;
    } else if (++m_eraseFailures > m_maxEraseRetries) {
        qInfo() << "FX3 sector" << m_sectorIndex << "failed its erase" << m_eraseFailures << "times";
        emit sendMessageToProgressDialog(ProgressMessages::EraseFailed);
        fail(nsFirmware::EraseFlash);
        return;
    }
    emit sendDeviceResponseToUpdater(nsFirmware::EraseFlash, nsFirmware::InProgress, -1);
    emit sendMessageToProgressDialog(ProgressMessages::ErasingMcsFileSector.arg(m_sectorIndex).arg(m_sectorCount));
    sendBootloaderCommand(nsFirmware::EraseFlash, device);
}

QByteArray CypressFX3Communicator::commandPayload(char code, const QSharedPointer<MovraDeviceInfo>&)
{
    // The code, then the control command's data; the erase's sector goes in
    // its index.
    QByteArray payload(1, code);
    switch (code) {
    case nsFirmware::ReadBootInfo: return payload.append("\x01\xAB\x88\x55", 4);
    case nsFirmware::EraseFlash:
    case nsFirmware::JumpToApplication: return payload;
    case nsFirmware::ProgramFlash: {
        // Records back to back, only while they fit the bridge's buffer.
        const auto fits = [](const QByteArray& candidate) { return candidate.size() - 1 <= ProgramBufferSize; };
        if (fillProgramPayload(payload, MaxProgramRecords, FirmwareFileManager::LineBufferSize, fits)
            != RecordFill::Filled)
            return {};
        return payload;
    }
    case nsFirmware::ReadCrc: {
        // The request, its own code first, and its CRC-16.
        const QByteArray request = crcRequestPayload(code);
        if (request.isEmpty())
            return {};
        const quint16 crc = FirmwareFileManager::calculateCRC(request.constData(), int(request.size()));
        return payload + request + char(crc & 0xFF) + char(crc >> 8);
    }
    default: return {};
    }
}

bool CypressFX3Communicator::sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device)
{
    if (!device)
        return false;
    const QByteArray payload = commandPayload(code, device);
    if (payload.isEmpty())
        return false;
    const quint16 index = code == nsFirmware::EraseFlash ? quint16(m_sectorIndex & 0xFFFF) : 0;
    emit sendCtrlCmdToDevice(device, controlCommand(code, index, returnedLength(code), payload.mid(1)));
    awaitReplyTo(code);
    return true;
}

bool CypressFX3Communicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                            nsFirmware::DeviceVersions)
{
    if (!beginDirectUpdate(device, QSharedPointer<MCSVivadoFirmwareFileManager>::create(), fileName,
                           FirmwareFileManager::LineBufferSize))
        return false;
    beginSectorErase(m_fileManager->countSectors());
    sendBootloaderCommand(nsFirmware::EraseFlash, device);
    return true;
}

void CypressFX3Communicator::fail(char code)
{
    // The report ends the update.
    emit sendDeviceResponseToUpdater(code, nsFirmware::Error, -1);
}
