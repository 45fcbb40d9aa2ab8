#include "firmware/channel/LightsourceChannelCommunicator.h"

#include "firmware/core/BlockingPause.h"
#include "firmware/core/BootloaderFrame.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/core/UpdateNotices.h"
#include "firmware/files/HEXFirmwareFileManager.h"
#include "firmware/motherboard/MotherboardFamily.h"

using namespace MotherboardFamily;

namespace {

constexpr quint16 MemoryManagerRelease = 7;
// From this motherboard version on, the channels take the direct path.
constexpr int FirstDirectMotherboardMajor = 3;

const QList<MotherboardFamilyCommunicator::CommandRow> Commands = {
    { AskBootloaderVersion, {} }, { ResetFromBlankBootloader, {} }, { ResetToBootloader, {} },
    { AskFirmwareVersion, {} },   { AskMotherboardVersion, {} },    { AskChannelVersion, {} },
    { ChannelErase, {} },         { ChannelEnterBootloader, {} },   { AskDriverMChannelVersion, {} },
    { PrepareUpdate, {} },
};

bool hasKavorName(const QSharedPointer<MovraDeviceInfo>& device)
{
    return device->name().contains(QLatin1String("KAVOR Driver"));
}

bool hasMemoryManagerName(const QSharedPointer<MovraDeviceInfo>& device)
{
    return device->name().contains(QLatin1String("Memory Manager"));
}

} // namespace

LightsourceChannelCommunicator::LightsourceChannelCommunicator(QObject* parent)
    : MotherboardFamilyCommunicator(Commands, parent)
    , m_eraseDelayTimer(QSharedPointer<QTimer>::create())
{
    m_eraseDelayTimer->setTimerType(Qt::PreciseTimer);
    connect(m_eraseDelayTimer.data(), &QTimer::timeout, this, &LightsourceChannelCommunicator::startChannelErase);
}

nsUpdater::DeviceIdentifier LightsourceChannelCommunicator::reportedType(const QSharedPointer<MovraDeviceInfo>& device)
{
    if (hasKavorName(device))
        return nsUpdater::KAVOR;
    if (hasMemoryManagerName(device))
        return nsUpdater::EEPROMMemoryManager;
    return nsUpdater::LightSource;
}

bool LightsourceChannelCommunicator::takesDirectPath(const QSharedPointer<MovraDeviceInfo>& device,
                                                     const QString& motherboardVersion)
{
    const int major = motherboardVersion.isEmpty() ? -1 : motherboardVersion.at(0).digitValue();
    return major >= FirstDirectMotherboardMajor || hasKavorName(device) || hasMemoryManagerName(device);
}

bool LightsourceChannelCommunicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                                    nsFirmware::DeviceVersions versions)
{
    m_programmingPasses = 0;
    if (!device || !takeFirmwareFile(QSharedPointer<HEXFirmwareFileManager>::create(), fileName, FixedFrameReadBound))
        return false;
    m_updateDevice = device;
    m_updating = 1;
    emit sendMessageToProgressDialog(ProgressMessages::ErasingHexFile);
    if (takesDirectPath(device, versions.motherboardVersion)) {
        sendApplicationCommand(ChannelEnterBootloader, device);
        BlockingPause::wait(m_channelSettleMs);
        sendApplicationCommand(ChannelErase, device);
        awaitReplyTo(nsFirmware::ChannelEraseFlash);
    } else {
        sendApplicationCommand(AskDriverMChannelVersion, device);
        sendBootloaderCommand(nsFirmware::ChannelEnterBootloader, m_updateDevice);
        sendBootloaderCommand(nsFirmware::ChannelEraseFlash, m_updateDevice);
    }
    return true;
}

void LightsourceChannelCommunicator::startChannelErase()
{
    m_eraseDelayTimer->stop();
    // Once an erase was answered the channels are being programmed: a
    // second erase now would wipe what they already hold.
    if (m_channelEraseSeen || !m_updating)
        return;
    sendBootloaderCommand(nsFirmware::ChannelEraseFlash, m_updateDevice);
}

bool LightsourceChannelCommunicator::sendBootloaderCommand(char command, QSharedPointer<MovraDeviceInfo> device)
{
    if (!device)
        return false;
    const bool withPrefix = !hasDriverM(device);
    const auto frame = [withPrefix](const QByteArray& payload) {
        return BootloaderFrame::prefixedFixedFrame(BootloaderFrame::withCrc(payload), withPrefix);
    };
    if (!sendFramedCommand(command, device, frame))
        return false;
    if (command == nsFirmware::ChannelJumpToApplication) {
        BlockingPause::wait(m_channelSettleMs);
        // A memory manager updated by hand has no motherboard step.
        if (device->releaseNumber() != MemoryManagerRelease || m_serverUpdate)
            emit sendStartMotherboardUpdate();
    }
    return true;
}

QByteArray LightsourceChannelCommunicator::commandPayload(char code, const QSharedPointer<MovraDeviceInfo>& device)
{
    // Of the plain codes the channels take only 1.
    QByteArray payload(1, code);
    switch (code) {
    case nsFirmware::ReadBootInfo: return AbstractFirmwareCommunicator::commandPayload(code, device);
    case nsFirmware::ChannelReadBootInfo:
    case nsFirmware::ChannelEraseFlash:
    case nsFirmware::ChannelJumpToApplication:
    case nsFirmware::ChannelEnterBootloader: return payload.append(char(0x00));
    case nsFirmware::ChannelProgramFlash:
        startRetryTimer(device, code);
        if (fillFixedFramePayload(payload, hasDriverM(device) ? BootloaderFrame::FixedFrameRoom
                                                              : BootloaderFrame::PrefixedFrameRoom)
            != RecordFill::Filled)
            return {};
        return payload;
    case nsFirmware::ChannelReadCrc: return crcRequestPayload(code);
    default: return {};
    }
}

void LightsourceChannelCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    if (!device)
        return;
    const QString na = ProgressMessages::NotAvailable;
    if (device->name() == QLatin1String("Hybrid LED Driver")) {
        const QByteArray channel = device->channelFirmware();
        const qsizetype m = channel.indexOf('M');
        emit sendInstalledVersionToUpdater(getDeviceIdentifier(device),
                                           { QString::fromLatin1(m < 0 ? channel : channel.mid(m + 1)), na, na },
                                           device->uid());
    } else if (hasBootloaderRelease(device)) {
        sendBootloaderCommand(nsFirmware::ReadBootInfo, device);
    } else if (isInBootloader(device)) {
        report(device, na, na, ProgressMessages::DefaultBootloaderVersion);
    } else {
        sendApplicationCommand(AskBootloaderVersion, device);
        sendApplicationCommand(AskFirmwareVersion, device);
        sendApplicationCommand(AskMotherboardVersion, device);
        sendApplicationCommand(AskChannelVersion, device);
    }
}

void LightsourceChannelCommunicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                                 QByteArray data)
{
    if (!deviceInfo || !m_updating || m_channelCrcOk)
        return;
    QByteArray reply = removeBootloaderPrefix(deviceInfo, data);
    if (hasDriverM(deviceInfo) && !reply.isEmpty() && reply.at(0) != AskDriverMChannelVersion)
        reply.remove(0, 1);
    if (reply.isEmpty())
        return;
    const QString na = ProgressMessages::NotAvailable;
    switch (reply.at(0)) {
    case AskBootloaderVersion: {
        const QString version = bootloaderVersion(deviceInfo, reply);
        if (!version.isEmpty())
            report(deviceInfo, na, na, version);
        break;
    }
    case AskFirmwareVersion:
    case AskChannelVersion:
    case AskDriverMChannelVersion: {
        const QString version = threePartVersion(reply, 2);
        if (version.isEmpty())
            break;
        report(deviceInfo, na, version, na);
        m_eraseDelayTimer->start(EraseDelayMs);
        break;
    }
    case AskBootloaderVersionReply: {
        const QString version = versionText(reply, 2, 1);
        if (!version.isEmpty())
            report(deviceInfo, na, na, version);
        break;
    }
    case AskMotherboardVersion: {
        const QString version = threePartVersion(reply, 3);
        if (!version.isEmpty())
            report(deviceInfo, version, na, na);
        break;
    }
    case nsFirmware::ChannelReadBootInfo: sendBootloaderCommand(nsFirmware::ChannelEnterBootloader, deviceInfo); break;
    case nsFirmware::ChannelEraseFlash: onChannelEraseDone(deviceInfo); break;
    case nsFirmware::ChannelProgramFlash: onChannelLinesAcknowledged(deviceInfo); break;
    case nsFirmware::ChannelReadCrc: onChannelCrcReceived(deviceInfo, reply); break;
    default: break;
    }
}

void LightsourceChannelCommunicator::onChannelEraseDone(const QSharedPointer<MovraDeviceInfo>& device)
{
    if (m_channelEraseSeen)
        return;
    m_eraseDelayTimer->stop();
    emit sendDeviceResponseToUpdater(nsFirmware::ChannelEraseFlash, nsFirmware::InProgress, 15);
    emit sendMessageToProgressDialog(ProgressMessages::ErasingHexFileDone);
    emit sendMessageToProgressDialog(
        ProgressMessages::ProgrammingChannelsLines.arg(m_fileManager->currentLine()).arg(m_fileManager->lineCount()));
    m_channelEraseSeen = true;
    if (!sendBootloaderCommand(nsFirmware::ChannelProgramFlash, device))
        reportProgrammingFailure(nsFirmware::ChannelProgramFlash, m_recordTooLong ? ProgressMessages::RecordTooLong
                                                                                  : ProgressMessages::NothingToProgram);
}

void LightsourceChannelCommunicator::onChannelLinesAcknowledged(const QSharedPointer<MovraDeviceInfo>& device)
{
    if (m_programmingPasses < 1) {
        m_rewindBeforeRead = false;
        const int progress = programmingProgress();
        emit sendDeviceResponseToUpdater(nsFirmware::ChannelProgramFlash, nsFirmware::InProgress, progress);
        emit sendFileProgressToProgressDialog(
            ProgressMessages::ProgrammingChannelsLines.arg(m_fileManager->currentLine())
                .arg(m_fileManager->lineCount()));
        if (sendBootloaderCommand(nsFirmware::ChannelProgramFlash, device) || progress > 100)
            return;
        if (m_recordTooLong) {
            reportProgrammingFailure(nsFirmware::ChannelProgramFlash, ProgressMessages::RecordTooLong);
            return;
        }
        ++m_programmingPasses;
        stopRetryTimer();
        emit sendMessageToProgressDialog(ProgressMessages::ProgrammingChannelsDone);
        emit sendMessageToProgressDialog(ProgressMessages::CrcVerification);
        sendBootloaderCommand(nsFirmware::ChannelReadCrc, device);
        return;
    }

    // An acknowledgement after the last record was acknowledged: the
    // channels answer for records they were never sent.
    ++m_programmingPasses;
    m_channelFailed = true;
    m_lastPacket.clear();
    stopRetryTimer();
    if (m_programmingPasses != 2)
        return;
    // Ended before the notice: replies that arrive while the user reads it
    // (the CRC among them) must not carry the update on.
    m_eraseDelayTimer->stop();
    stopUpdate();
    if (m_notices)
        m_notices->channelsNotProgrammed();
    emit sendCloseProgressDialog();
    emit sendDeviceResponseToUpdater(nsFirmware::ChannelProgramFlash, nsFirmware::Error, -1);
}

void LightsourceChannelCommunicator::onChannelCrcReceived(const QSharedPointer<MovraDeviceInfo>& device,
                                                          const QByteArray& reply)
{
    quint16 deviceCrc = 0;
    // A failed run is never carried on to the jump and the motherboard step.
    if (m_channelFailed || !m_fileManager || !readDeviceCrc(reply, &deviceCrc))
        return;
    if (deviceCrc != m_fileManager->getImageInformation().crc) {
        emit sendDeviceResponseToUpdater(nsFirmware::ChannelReadCrc, nsFirmware::Error, -1);
        return;
    }
    m_channelCrcOk = true;
    emit sendMessageToProgressDialog(ProgressMessages::CrcVerificationDone);
    if (device->releaseNumber() == MemoryManagerRelease && !m_serverUpdate)
        emit sendDeviceResponseToUpdater(nsFirmware::ChannelReadCrc, nsFirmware::Success, 100);
    sendBootloaderCommand(nsFirmware::ChannelJumpToApplication, device);
}

void LightsourceChannelCommunicator::report(const QSharedPointer<MovraDeviceInfo>& device, const QString& motherboard,
                                            const QString& channel, const QString& bootloader)
{
    emit sendInstalledVersionToUpdater(reportedType(device), { motherboard, channel, bootloader }, device->uid());
}
