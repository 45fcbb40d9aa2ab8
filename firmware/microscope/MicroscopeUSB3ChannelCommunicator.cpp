#include "firmware/microscope/MicroscopeUSB3ChannelCommunicator.h"

#include "firmware/core/BlockingPause.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/core/RegisterFrame.h"
#include "firmware/core/RegisterVersionCode.h"
#include "firmware/files/HEXFirmwareFileManager.h"

namespace {

bool isNotAvailable(const QString& version)
{
    return version == ProgressMessages::NotAvailable
           || version == ProgressMessages::translated(ProgressMessages::NotAvailable);
}

} // namespace

MicroscopeUSB3ChannelCommunicator::MicroscopeUSB3ChannelCommunicator(QObject* parent)
    : AbstractFirmwareCommunicator(parent)
{
}

int MicroscopeUSB3ChannelCommunicator::packetSize(int recordBytes)
{
    if (recordBytes <= SmallPacketSize - 1)
        return SmallPacketSize;
    // The code, 0x00, f and n come before the records: n + 4 bytes in a
    // payload of f + 3.
    return (recordBytes + 1 + 7) / 8 * 8;
}

void MicroscopeUSB3ChannelCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo>)
{
}

bool MicroscopeUSB3ChannelCommunicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                                       nsFirmware::DeviceVersions versions)
{
    if (!beginDirectUpdate(device, QSharedPointer<HEXFirmwareFileManager>::create(), fileName, RecordReadBound))
        return false;
    emit sendMessageToProgressDialog(ProgressMessages::ErasingHexFile);
    if (!isNotAvailable(versions.channelVersion)) {
        sendApplicationCommand(nsFirmware::ChannelEnterBootloader, device);
        // Blocks the GUI thread, as the channel needs.
        BlockingPause::wait(EnterBootloaderWaitMs);
    }
    sendBootloaderCommand(nsFirmware::ChannelEraseFlash, device);
    return true;
}

QByteArray MicroscopeUSB3ChannelCommunicator::channelWrite(const QByteArray& payload)
{
    return buildRegisterWriteCommand(ChannelRegister, payload.constData(), int(payload.size()));
}

bool MicroscopeUSB3ChannelCommunicator::emitChannelWrite(const QSharedPointer<MovraDeviceInfo>& device,
                                                         const QByteArray& payload)
{
    const QByteArray frame = channelWrite(payload);
    if (frame.isEmpty())
        return false;
    emit sendCommandToDevice(device, frame);
    return true;
}

void MicroscopeUSB3ChannelCommunicator::sendApplicationCommand(char code, QSharedPointer<MovraDeviceInfo> device)
{
    if (code != nsFirmware::ChannelEnterBootloader || !device)
        return;
    emitChannelWrite(device, QByteArray("\x1C\x00\x00", 3));
}

bool MicroscopeUSB3ChannelCommunicator::recordsPayload(QByteArray& payload)
{
    if (!m_fileManager)
        return false;
    if (m_rewindBeforeRead) {
        m_rewindBeforeRead = false;
        if (!m_fileManager->rewind())
            return false;
    }
    QByteArray records;
    QByteArray record(RecordReadBound / 2 + 1, '\0');
    for (int count = 0; count < MaxRecords; ++count) {
        const int e = m_fileManager->readNextRecord(reinterpret_cast<uchar*>(record.data()), RecordReadBound);
        records.append(record.constData(), e);
        if (e == 0 || e + records.size() >= RecordStopSum)
            break;
    }
    if (records.isEmpty())
        return false;
    const int f = packetSize(int(records.size()));
    payload = QByteArray(f + 3, '\0');
    payload[0] = nsFirmware::ChannelProgramFlash;
    payload[2] = char(f);
    payload[3] = char(records.size());
    payload.replace(4, records.size(), records);
    return payload.size() <= RegisterFrame::MaxWriteDataLength;
}

QByteArray MicroscopeUSB3ChannelCommunicator::commandPayload(char code, const QSharedPointer<MovraDeviceInfo>&)
{
    // The channel takes none of the plain codes.
    QByteArray payload;
    switch (code) {
    case nsFirmware::ChannelReadBootInfo:
    case nsFirmware::ChannelEraseFlash:
    case nsFirmware::ChannelJumpToApplication:
    case nsFirmware::ChannelCommand30: payload = QByteArray(3, '\0'); break;
    case nsFirmware::ChannelProgramFlash:
        if (!recordsPayload(payload))
            return {};
        break;
    case nsFirmware::ChannelReadCrc: {
        payload = crcRequestPayload(code);
        if (payload.isEmpty())
            return {};
        payload.chop(2); // start and length only: the channel computes no CRC to compare here
        payload.insert(1, QByteArray(2, '\0'));
        break;
    }
    case nsFirmware::ChannelCommand29: payload = QByteArray(11, '\0'); break;
    default: return {};
    }
    payload[0] = code;
    return payload;
}

bool MicroscopeUSB3ChannelCommunicator::sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device)
{
    return device
           && sendFramedCommand(code, device, [this](const QByteArray& payload) { return channelWrite(payload); });
}

void MicroscopeUSB3ChannelCommunicator::fail(char code, int progress)
{
    // The report ends the update.
    emit sendDeviceResponseToUpdater(code, nsFirmware::Error, progress);
}

void MicroscopeUSB3ChannelCommunicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                                    QByteArray data)
{
    const int type = getDeviceIdentifier(deviceInfo);
    if (!deviceInfo || (type != nsUpdater::GQZ3 && type != nsUpdater::GQZ3KAVOR) || !m_updating || data.isEmpty())
        return;
    // Another driver's replies never drive this update.
    if (m_updateDevice && m_updateDevice->uid() != deviceInfo->uid())
        return;
    switch (data.at(0)) {
    case RegisterVersionCode::ChannelVersion:
    case RegisterVersionCode::BootloaderVersion: {
        DeviceVersions versions;
        if (RegisterVersionCode::channelVersions(data, &versions))
            emit sendInstalledVersionToUpdater(DeviceIdentifier(type), versions, deviceInfo->uid());
        break;
    }
    case nsFirmware::ChannelEraseFlash:
        if (data.size() < 3)
            return;
        if (data.at(2) != 0) {
            fail(nsFirmware::ChannelEraseFlash, 15);
            return;
        }
        emit sendDeviceResponseToUpdater(nsFirmware::ChannelEraseFlash, nsFirmware::InProgress, 15);
        emit sendMessageToProgressDialog(ProgressMessages::ErasingHexFileDone);
        emit sendMessageToProgressDialog(programmingLine());
        // A file that gives no first packet must not pass for programmed.
        if (!sendBootloaderCommand(nsFirmware::ChannelProgramFlash, deviceInfo))
            fail(nsFirmware::ChannelProgramFlash, -1);
        break;
    case nsFirmware::ChannelProgramFlash:
        m_rewindBeforeRead = false;
        emit sendDeviceResponseToUpdater(nsFirmware::ChannelProgramFlash, nsFirmware::InProgress,
                                         programmingProgress());
        emit sendFileProgressToProgressDialog(programmingLine());
        if (sendBootloaderCommand(nsFirmware::ChannelProgramFlash, deviceInfo))
            break;
        emit sendMessageToProgressDialog(ProgressMessages::ProgrammingDeviceDone);
        emit sendMessageToProgressDialog(ProgressMessages::CrcVerification);
        sendBootloaderCommand(nsFirmware::ChannelReadCrc, deviceInfo);
        break;
    case nsFirmware::ChannelReadCrc: {
        if (data.size() < 4 || !m_fileManager)
            return;
        const quint16 crc = quint16(quint8(data.at(2)) | quint8(data.at(3)) << 8);
        if (crc != m_fileManager->getImageInformation().crc) {
            fail(nsFirmware::ChannelReadCrc, -1);
            return;
        }
        emit sendMessageToProgressDialog(ProgressMessages::CrcVerificationDone);
        emit sendDeviceResponseToUpdater(nsFirmware::ChannelReadCrc, nsFirmware::Success, 100);
        sendBootloaderCommand(nsFirmware::ChannelJumpToApplication, deviceInfo);
        break;
    }
    case nsFirmware::ChannelCommand29: sendBootloaderCommand(nsFirmware::ChannelCommand29, deviceInfo); break;
    case nsFirmware::ChannelCommand30: sendBootloaderCommand(nsFirmware::ChannelCommand30, deviceInfo); break;
    default: break;
    }
}
