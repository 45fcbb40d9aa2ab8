#include "firmware/core/AbstractFirmwareCommunicator.h"

#include "firmware/core/BootInfoReply.h"
#include "firmware/core/BootloaderFrame.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/core/RegisterFrame.h"
#include "firmware/core/ReplyDeadline.h"

#include <QDebug>
#include <QMetaType>

AbstractFirmwareCommunicator::AbstractFirmwareCommunicator(QObject* parent)
    : QObject(parent)
    , m_reconnectTimer(QSharedPointer<QTimer>::create())
    , m_retryTimer(QSharedPointer<QTimer>::create())
    , m_crc8Table(new quint8[256])
    , m_replyDeadline(new ReplyDeadline(this))
{
    qRegisterMetaType<QSharedPointer<MovraDeviceInfo>>();
    qRegisterMetaType<nsUpdater::DeviceIdentifier>("nsUpdater::DeviceIdentifier");
    qRegisterMetaType<nsFirmware::DeviceVersions>("nsFirmware::DeviceVersions");
    qRegisterMetaType<nsFirmware::MessageStatus>("nsFirmware::MessageStatus");
    // The signals spell the types without their namespace.
    QMetaType::registerNormalizedTypedef("DeviceIdentifier", QMetaType::fromType<nsUpdater::DeviceIdentifier>());
    QMetaType::registerNormalizedTypedef("DeviceVersions", QMetaType::fromType<nsFirmware::DeviceVersions>());

    // Coarse timers may fire 5 % early.
    m_reconnectTimer->setTimerType(Qt::PreciseTimer);
    m_retryTimer->setTimerType(Qt::PreciseTimer);
    connect(m_reconnectTimer.data(), &QTimer::timeout, this, &AbstractFirmwareCommunicator::reconnectToBootloader);
    connect(m_retryTimer.data(), &QTimer::timeout, this, &AbstractFirmwareCommunicator::retryToSendLines);
    connect(m_replyDeadline, &ReplyDeadline::expired, this, &AbstractFirmwareCommunicator::replyDeadlinePassed);
    // Made before anyone else can listen: an update that reported an error
    // is already over when the error is heard.
    connect(this, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater, this,
            &AbstractFirmwareCommunicator::endOnError);
}

void AbstractFirmwareCommunicator::stopUpdate()
{
    m_reconnectTimer->stop();
    stopRetryTimer();
    m_replyDeadline->disarm();
    m_updating = 0;
}

void AbstractFirmwareCommunicator::endOnError(char, nsFirmware::MessageStatus status, int)
{
    if (status == nsFirmware::Error)
        stopUpdate();
}

void AbstractFirmwareCommunicator::setReplyTimeout(int ms)
{
    m_replyDeadline->setTimeout(ms);
}

void AbstractFirmwareCommunicator::fireRunningTimersForTests()
{
    if (m_reconnectTimer->isActive())
        reconnectToBootloader();
    if (m_retryTimer->isActive())
        retryToSendLines();
    if (m_replyDeadline->isArmed()) {
        m_replyDeadline->disarm();
        replyDeadlinePassed();
    }
}

void AbstractFirmwareCommunicator::awaitReplyTo(char code)
{
    switch (code) {
    case nsFirmware::JumpToApplication:
    case nsFirmware::ChannelJumpToApplication: m_replyDeadline->disarm(); return;
    case nsFirmware::EraseFlash:
    case nsFirmware::ProgramFlash:
    case nsFirmware::ReadCrc:
    case nsFirmware::ChannelEraseFlash:
    case nsFirmware::ChannelProgramFlash:
    case nsFirmware::ChannelReadCrc: break;
    default: return;
    }
    if (!m_updating)
        return;
    if (m_retryTimer->isActive() && m_retryStepCode == code)
        m_replyDeadline->disarm();
    else
        m_replyDeadline->arm(code);
}

void AbstractFirmwareCommunicator::replyDeadlinePassed()
{
    if (!m_updating)
        return;
    const char code = m_replyDeadline->pendingCode();
    qInfo() << "No reply to command" << int(code) << "of" << metaObject()->className();
    reportProgrammingFailure(code, ProgressMessages::NoConfirmationReceived);
}

AbstractFirmwareCommunicator::~AbstractFirmwareCommunicator()
{
    m_reconnectTimer->stop();
    m_retryTimer->stop();
    if (m_fileManager) {
        // A downloaded file is the program's own and goes after use; a file
        // the user chose is left where it is.
        if (m_serverUpdate)
            m_fileManager->closeAndRemoveFile();
        else
            m_fileManager->closeFile();
        m_fileManager.reset();
    }
}

void AbstractFirmwareCommunicator::sendApplicationCommand(char, QSharedPointer<MovraDeviceInfo>)
{
}

bool AbstractFirmwareCommunicator::sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device)
{
    return sendFixedFrameCommand(code, device);
}

bool AbstractFirmwareCommunicator::isInBootloader(QSharedPointer<MovraDeviceInfo> device)
{
    return device && device->name().contains(ProgressMessages::Bootloader, Qt::CaseSensitive);
}

bool AbstractFirmwareCommunicator::hasBootloaderRelease(QSharedPointer<MovraDeviceInfo> device)
{
    return device && device->releaseNumber() == 2;
}

QByteArray AbstractFirmwareCommunicator::removeBootloaderPrefix(QSharedPointer<MovraDeviceInfo> device,
                                                                QByteArray reply)
{
    if (!isInBootloader(device) || hasBootloaderRelease(device))
        return reply;
    if (!reply.isEmpty())
        reply.remove(0, 1);
    // The DLE that escapes command code 4.
    if (reply.size() > 1 && reply.at(1) == BootloaderFrame::EOT)
        reply.remove(0, 1);
    return reply;
}

QByteArray AbstractFirmwareCommunicator::decodeBootloaderFrame(const QByteArray& frame)
{
    return BootloaderFrame::decode(frame);
}

QByteArray AbstractFirmwareCommunicator::buildRegisterWriteCommand(quint32 address, const char* data, int length)
{
    if (length < 0 || length > RegisterFrame::MaxWriteDataLength || (length > 0 && !data))
        return {};
    QByteArray body;
    body.append(RegisterFrame::Start);
    body.append(RegisterFrame::WriteCode);
    body.append(char(length + 4));
    body.append(char(address >> 24));
    body.append(char(address >> 16));
    body.append(char(address >> 8));
    body.append(char(address));
    body.append(data, length);
    return RegisterFrame::finish(body, m_crc8Table.get());
}

QByteArray AbstractFirmwareCommunicator::buildRegisterReadCommand(char a, char b, char c)
{
    QByteArray body;
    body.append(RegisterFrame::Start);
    body.append(RegisterFrame::ReadCode);
    body.append(c);
    body.append(a);
    body.append(b);
    return RegisterFrame::finish(body, m_crc8Table.get());
}

quint8 AbstractFirmwareCommunicator::computeCRC8(const QByteArray& frame)
{
    RegisterFrame::fillCrc8Table(m_crc8Table.get());
    if (frame.size() < 2)
        return 0;
    return RegisterFrame::crc8(m_crc8Table.get(), frame.constData() + 1, int(frame.size()) - 2);
}

int AbstractFirmwareCommunicator::programmingProgress() const
{
    if (!m_fileManager || m_fileManager->lineCount() <= 0)
        return 15;
    const quint32 current = quint32(m_fileManager->currentLine());
    const quint32 count = quint32(m_fileManager->lineCount());
    return int(float(current) / float(count) * 84.0f + 15.0f);
}

namespace {
QString signedNumber(char byte)
{
    return QString::number(qint8(byte));
}
} // namespace

QString AbstractFirmwareCommunicator::versionText(char major, char minor)
{
    return QStringLiteral("%1.%2").arg(signedNumber(major), signedNumber(minor));
}

QString AbstractFirmwareCommunicator::versionText(char major, char minor, char patch)
{
    return QStringLiteral("%1.%2.%3").arg(signedNumber(major), signedNumber(minor), signedNumber(patch));
}

QString AbstractFirmwareCommunicator::versionText(const QByteArray& reply, int majorIndex, int minorIndex)
{
    if (majorIndex < 0 || minorIndex < 0 || reply.size() <= qMax(majorIndex, minorIndex))
        return {};
    return versionText(reply.at(majorIndex), reply.at(minorIndex));
}

QString AbstractFirmwareCommunicator::programmingLine() const
{
    const int current = m_fileManager ? m_fileManager->currentLine() : 0;
    const int count = m_fileManager ? m_fileManager->lineCount() : 0;
    return ProgressMessages::ProgrammingDeviceLines.arg(current).arg(count);
}

void AbstractFirmwareCommunicator::onReconnectedToBootloaderReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    // An update that has ended erases nothing.
    if (!m_updating)
        return;
    emit sendDeviceResponseToUpdater(nsFirmware::ReadBootInfo, nsFirmware::InProgress, 0);
    emit sendMessageToProgressDialog(ProgressMessages::ResettingToBootloaderDone);
    emit sendMessageToProgressDialog(ProgressMessages::ErasingHexFile);
    sendBootloaderCommand(nsFirmware::ReadBootInfo, deviceInfo);
    sendBootloaderCommand(nsFirmware::EraseFlash, deviceInfo);
}

void AbstractFirmwareCommunicator::startProgramming(QSharedPointer<MovraDeviceInfo> device)
{
    if (sendBootloaderCommand(nsFirmware::ProgramFlash, device))
        return;
    // Nothing went out: without this the erase frame would be re-sent.
    reportProgrammingFailure(nsFirmware::ProgramFlash,
                             m_recordTooLong ? ProgressMessages::RecordTooLong : ProgressMessages::NothingToProgram);
}

void AbstractFirmwareCommunicator::reportProgrammingFailure(char stepCode, const QString& line)
{
    stopUpdate();
    emit sendMessageToProgressDialog(line);
    emit sendDeviceResponseToUpdater(stepCode, nsFirmware::Error, -1);
}

void AbstractFirmwareCommunicator::onHexEraseDone(QSharedPointer<MovraDeviceInfo> device)
{
    emit sendDeviceResponseToUpdater(nsFirmware::EraseFlash, nsFirmware::InProgress, 15);
    emit sendMessageToProgressDialog(ProgressMessages::ErasingHexFileDone);
    emit sendMessageToProgressDialog(programmingLine());
    startProgramming(device);
}

namespace {
int percentage(quint32 part, quint32 whole)
{
    if (whole == 0)
        return 0;
    return int(double(part) / double(whole) * 100.0);
}
} // namespace

void AbstractFirmwareCommunicator::finishMcsErase(QSharedPointer<MovraDeviceInfo> device, bool announceProgramming)
{
    m_eraseDone = true;
    m_sectorCount = 0;
    m_sectorIndex = 0;
    const int current = m_fileManager ? m_fileManager->currentLine() : 0;
    const int count = m_fileManager ? m_fileManager->lineCount() : 0;
    emit sendDeviceResponseToUpdater(nsFirmware::EraseFlash, nsFirmware::InProgress,
                                     percentage(quint32(qMax(current, 0)), quint32(qMax(count, 0))));
    emit sendMessageToProgressDialog(ProgressMessages::ErasingMcsFileDone);
    if (announceProgramming)
        emit sendMessageToProgressDialog(ProgressMessages::ProgrammingStartsSoon);
    emit sendMessageToProgressDialog(programmingLine());
    startProgramming(device);
}

void AbstractFirmwareCommunicator::onMcsEraseDone(QSharedPointer<MovraDeviceInfo> device)
{
    finishMcsErase(device, true);
}

void AbstractFirmwareCommunicator::onSectorErased(QSharedPointer<MovraDeviceInfo> device, char status)
{
    if (m_sectorIndex == m_sectorCount && !m_eraseDone) {
        finishMcsErase(device, false);
        return;
    }
    if (m_eraseDone)
        return;
    // A failed erase leaves the index, so the same sector is erased again,
    // but only so often: a flash that will not erase must not loop forever.
    if (status == 0) {
        ++m_sectorIndex;
        m_eraseFailures = 0;
    } else if (++m_eraseFailures > m_maxEraseRetries) {
        qInfo() << "Sector" << m_sectorIndex << "failed its erase" << m_eraseFailures << "times";
        m_eraseDone = true;
        reportProgrammingFailure(nsFirmware::EraseFlash, ProgressMessages::EraseFailed);
        return;
    }
    emit sendDeviceResponseToUpdater(nsFirmware::EraseFlash, nsFirmware::InProgress,
                                     percentage(m_sectorIndex, m_sectorCount));
    emit sendMessageToProgressDialog(ProgressMessages::ErasingMcsFileSector.arg(m_sectorIndex).arg(m_sectorCount));
    sendBootloaderCommand(nsFirmware::EraseFlash, device);
}

void AbstractFirmwareCommunicator::onLinesAcknowledged(QSharedPointer<MovraDeviceInfo> device, QByteArray)
{
    m_rewindBeforeRead = false;
    emit sendDeviceResponseToUpdater(nsFirmware::ProgramFlash, nsFirmware::InProgress, programmingProgress());
    emit sendFileProgressToProgressDialog(programmingLine());
    if (sendBootloaderCommand(nsFirmware::ProgramFlash, device))
        return;
    if (m_recordTooLong) {
        reportProgrammingFailure(nsFirmware::ProgramFlash, ProgressMessages::RecordTooLong);
        return;
    }
    stopRetryTimer();
    emit sendMessageToProgressDialog(ProgressMessages::ProgrammingDeviceDone);
    emit sendMessageToProgressDialog(ProgressMessages::CrcVerification);
    sendBootloaderCommand(nsFirmware::ReadCrc, device);
}

bool AbstractFirmwareCommunicator::readDeviceCrc(const QByteArray& reply, quint16* crc)
{
    // A framed reply still carries its escapes after the prefix is gone:
    // when the bytes after the code make a whole frame with a matching
    // CRC-16, the device's CRC is read from the unescaped content.
    QByteArray content;
    if (!reply.isEmpty()) {
        content.append(reply.at(0));
        bool escapePending = false;
        bool ended = false;
        for (qsizetype i = 1; i < reply.size() && !ended; ++i) {
            const char c = reply.at(i);
            if (!escapePending && c == BootloaderFrame::DLE) {
                escapePending = true;
            } else if (!escapePending && c == BootloaderFrame::EOT) {
                ended = true;
            } else {
                content.append(c);
                escapePending = false;
            }
        }
        if (ended && content.size() >= 5) {
            const qsizetype n = content.size() - 2;
            const quint16 frameCrc = quint16(quint8(content.at(n)) | (quint8(content.at(n + 1)) << 8));
            if (FirmwareFileManager::calculateCRC(content.constData(), int(n)) == frameCrc) {
                content.truncate(n);
                const int low = (content.size() >= 4 && content.at(1) == 0x00) ? 2 : 1;
                *crc = quint16(quint8(content.at(low)) | (quint8(content.at(low + 1)) << 8));
                return true;
            }
        }
    }

    if (reply.size() < 3)
        return false;
    const char first = reply.at(1);
    if (first != BootloaderFrame::DLE && first != 0x00) {
        *crc = quint16(quint8(reply.at(1)) | (quint8(reply.at(2)) << 8));
        return true;
    }
    if (reply.size() < 4)
        return false;
    *crc = quint16(quint8(reply.at(2)) | (quint8(reply.at(3)) << 8));
    return true;
}

bool AbstractFirmwareCommunicator::readDecodedCrc(const QByteArray& reply, quint16* crc)
{
    if (reply.size() < 3)
        return false;
    *crc = quint16(quint8(reply.at(1)) | (quint16(quint8(reply.at(2))) << 8));
    return true;
}

void AbstractFirmwareCommunicator::onCrcReceived(QSharedPointer<MovraDeviceInfo> device, QByteArray reply)
{
    quint16 deviceCrc = 0;
    if (!m_fileManager || !readDeviceCrc(reply, &deviceCrc))
        return;
    const quint16 imageCrc = m_fileManager->getImageInformation().crc;
    if (deviceCrc != imageCrc) {
        emit sendDeviceResponseToUpdater(nsFirmware::ReadCrc, nsFirmware::Error, -1);
        return;
    }
    emit sendMessageToProgressDialog(ProgressMessages::CrcVerificationDone);
    emit sendDeviceResponseToUpdater(nsFirmware::ReadCrc, nsFirmware::Success, 100);
    if (m_updating)
        sendBootloaderCommand(nsFirmware::JumpToApplication, device);
}

void AbstractFirmwareCommunicator::reconnectToBootloader()
{
    m_reconnectTimer->stop();
    if (!m_updateDevice)
        return;
    switch (m_reconnectRoute) {
    case nsFirmware::ReconnectRoute::BootloaderByUid: emit sendReconnectToBootloader(m_updateDevice->uid()); return;
    case nsFirmware::ReconnectRoute::SerialBootloaderBySerialNumber:
        emit sendReconnectToSerialBootloader(m_updateDevice->serialNumber());
        return;
    case nsFirmware::ReconnectRoute::USB3Communicator: emit sendReconnectToUSB3Communicator(); return;
    }
}

void AbstractFirmwareCommunicator::retryToSendLines()
{
    if (!m_updating) {
        stopRetryTimer();
        return;
    }
    if (m_retryCount >= m_maxRetries) {
        qInfo() << "No acknowledgement of step" << int(m_retryStepCode) << "after" << m_retryCount << "re-sends";
        reportProgrammingFailure(m_retryStepCode, ProgressMessages::NoConfirmationReceived);
        return;
    }
    ++m_retryCount;
    emit sendMessageToProgressDialog(ProgressMessages::RetryingToSendLines);
    emit sendCommandToDevice(m_lastPacketDevice, m_lastPacket);
}

bool AbstractFirmwareCommunicator::openFirmwareFile(const QString& fileName, int recordBound)
{
    if (!m_fileManager)
        return false;
    m_fileRefusal.clear();
    if (m_fileManager->openFile(fileName, recordBound))
        return true;
    m_fileRefusal = m_fileManager->errorString();
    qInfo() << "Firmware file refused:" << m_fileRefusal;
    return false;
}

bool AbstractFirmwareCommunicator::takeFirmwareFile(QSharedPointer<FirmwareFileManager> manager,
                                                    const QString& fileName, int recordBound)
{
    m_fileManager = manager;
    if (openFirmwareFile(fileName, recordBound))
        return true;
    m_fileManager.reset();
    return false;
}

bool AbstractFirmwareCommunicator::beginDirectUpdate(QSharedPointer<MovraDeviceInfo> device,
                                                     QSharedPointer<FirmwareFileManager> manager,
                                                     const QString& fileName, int recordBound)
{
    if (!device || !takeFirmwareFile(manager, fileName, recordBound))
        return false;
    m_updateDevice = device;
    m_rewindBeforeRead = true;
    m_updating = 1;
    return true;
}

bool AbstractFirmwareCommunicator::beginUpdateThroughReset(QSharedPointer<MovraDeviceInfo> device,
                                                           QSharedPointer<FirmwareFileManager> manager,
                                                           const QString& fileName, const QList<char>& resetCommands)
{
    if (!device || !takeFirmwareFile(manager, fileName, FixedFrameReadBound))
        return false;
    if (resetCommands.isEmpty())
        eraseInBootloader(device);
    else
        resetIntoBootloader(resetCommands, device);
    return true;
}

void AbstractFirmwareCommunicator::resetIntoBootloader(const QList<char>& resetCommands,
                                                       QSharedPointer<MovraDeviceInfo> device)
{
    m_updateDevice = device;
    m_updating = 1;
    for (const char command : resetCommands)
        sendApplicationCommand(command, device);
    emit sendDeviceResponseToUpdater(nsFirmware::ReconnectToBootloader, nsFirmware::InProgress, 5);
    emit sendMessageToProgressDialog(ProgressMessages::ResettingToBootloader);
    emit sendClearAvailableDevices();
    startReconnectTimer(ReconnectDelayMs);
}

void AbstractFirmwareCommunicator::eraseInBootloader(QSharedPointer<MovraDeviceInfo> device)
{
    m_updating = 1;
    emit sendMessageToProgressDialog(ProgressMessages::ErasingHexFile);
    emit sendClearAvailableDevices();
    sendBootloaderCommand(nsFirmware::EraseFlash, device);
}

void AbstractFirmwareCommunicator::handleBootInfoOrHexUpdateReply(const QSharedPointer<MovraDeviceInfo>& device,
                                                                  const QByteArray& reply, int versionIndex,
                                                                  CrcReplyForm crcForm)
{
    if (reply.isEmpty())
        return;
    if (reply.at(0) != nsFirmware::ReadBootInfo) {
        handleHexUpdateReply(device, reply, crcForm);
        return;
    }
    DeviceVersions versions;
    if (BootInfoReply::versions(reply, versionIndex, &versions))
        emit sendInstalledVersionToUpdater(getDeviceIdentifier(device), versions, device->uid());
}

bool AbstractFirmwareCommunicator::handleHexUpdateReply(QSharedPointer<MovraDeviceInfo> device, const QByteArray& reply,
                                                        CrcReplyForm crcForm)
{
    if (reply.isEmpty())
        return false;
    switch (reply.at(0)) {
    case nsFirmware::EraseFlash:
        if (isUpdating())
            onHexEraseDone(device);
        return true;
    case nsFirmware::ProgramFlash:
        if (isUpdating())
            onLinesAcknowledged(device, reply);
        return true;
    case nsFirmware::ReadCrc:
        if (!isUpdating())
            return true;
        if (crcForm == CrcReplyForm::Raw) {
            onCrcReceived(device, reply);
            return true;
        }
        break;
    default: return false;
    }
    quint16 crc = 0;
    if (!m_fileManager || !readDecodedCrc(reply, &crc))
        return true;
    if (crc != m_fileManager->getImageInformation().crc) {
        emit sendDeviceResponseToUpdater(nsFirmware::ReadCrc, nsFirmware::Error, -1);
        return true;
    }
    emit sendMessageToProgressDialog(ProgressMessages::CrcVerificationDone);
    emit sendDeviceResponseToUpdater(nsFirmware::ReadCrc, nsFirmware::Success, 100);
    sendBootloaderCommand(nsFirmware::JumpToApplication, device);
    return true;
}

void AbstractFirmwareCommunicator::startReconnectTimer(int delayMs)
{
    m_reconnectTimer->start(delayMs);
}

void AbstractFirmwareCommunicator::startRetryTimer(QSharedPointer<MovraDeviceInfo> device, char stepCode)
{
    m_lastPacketDevice = device;
    m_retryStepCode = stepCode;
    m_retryCount = 0;
    m_retryTimer->start(m_retryIntervalMs);
}

void AbstractFirmwareCommunicator::stopRetryTimer()
{
    m_retryTimer->stop();
    m_retryCount = 0;
}

void AbstractFirmwareCommunicator::setRetryTiming(int intervalMs, int maxRetries)
{
    m_retryIntervalMs = intervalMs;
    m_maxRetries = maxRetries;
}

AbstractFirmwareCommunicator::RecordFill
AbstractFirmwareCommunicator::fillProgramPayload(QByteArray& payload, int maxRecords, int readBound,
                                                 const std::function<bool(const QByteArray&)>& fits)
{
    m_recordTooLong = false;
    if (!m_fileManager)
        return RecordFill::NoRecord;
    if (m_rewindBeforeRead && !m_fileManager->rewind())
        return RecordFill::NoRecord;
    readBound = qBound(2, readBound, FirmwareFileManager::LineBufferSize);
    QByteArray record(readBound / 2 + 1, 0);
    for (int i = 0; i < maxRecords; ++i) {
        const FirmwareFileManager::ReadPosition before = m_fileManager->readPosition();
        const quint16 length = m_fileManager->readNextRecord(reinterpret_cast<uchar*>(record.data()), readBound);
        if (length == 0) {
            if (i == 0)
                return RecordFill::NoRecord;
            continue;
        }
        const QByteArray candidate = payload + record.left(length);
        if (!fits(candidate)) {
            m_fileManager->restoreReadPosition(before);
            if (i == 0) {
                m_recordTooLong = true;
                return RecordFill::DoesNotFit;
            }
            break;
        }
        payload = candidate;
    }
    return RecordFill::Filled;
}

AbstractFirmwareCommunicator::RecordFill
AbstractFirmwareCommunicator::fillGrowingFramePayload(QByteArray& payload, int maxRecords, int readBound, int byteLimit)
{
    const auto fits = [byteLimit](const QByteArray& candidate) { return candidate.size() + 2 <= byteLimit; };
    return fillProgramPayload(payload, maxRecords, readBound, fits);
}

AbstractFirmwareCommunicator::RecordFill AbstractFirmwareCommunicator::fillFixedFramePayload(QByteArray& payload,
                                                                                             int room)
{
    const auto fits = [room](const QByteArray& candidate) {
        return BootloaderFrame::escapedSize(BootloaderFrame::withCrc(candidate)) <= room;
    };
    return fillProgramPayload(payload, FixedFrameRecords, FixedFrameReadBound, fits);
}

QByteArray AbstractFirmwareCommunicator::crcRequestPayload(char code)
{
    if (!m_fileManager)
        return {};
    const FirmwareImageInformation info = m_fileManager->getImageInformation();
    QByteArray payload;
    payload.append(code);
    for (int shift = 0; shift < 32; shift += 8)
        payload.append(char(info.startAddress >> shift));
    for (int shift = 0; shift < 32; shift += 8)
        payload.append(char(info.length >> shift));
    payload.append(char(info.crc & 0xFF));
    payload.append(char(info.crc >> 8));
    return payload;
}

QByteArray AbstractFirmwareCommunicator::commandPayload(char code, const QSharedPointer<MovraDeviceInfo>& device)
{
    QByteArray payload(1, code);
    switch (code) {
    case nsFirmware::ReadBootInfo:
    case nsFirmware::EraseFlash:
    case nsFirmware::JumpToApplication: return payload.append(char(0x00));
    case nsFirmware::ProgramFlash:
        startRetryTimer(device, code);
        if (fillFixedFramePayload(payload, BootloaderFrame::FixedFrameRoom) != RecordFill::Filled)
            return {};
        return payload;
    case nsFirmware::ReadCrc: return crcRequestPayload(code);
    default: return {};
    }
}

bool AbstractFirmwareCommunicator::sendFramedCommand(char code, const QSharedPointer<MovraDeviceInfo>& device,
                                                     const std::function<QByteArray(const QByteArray&)>& frame)
{
    const QByteArray payload = commandPayload(code, device);
    if (payload.isEmpty())
        return false;
    const QByteArray packet = frame(payload);
    if (packet.isEmpty())
        return false;
    m_lastPacket = packet;
    emit sendCommandToDevice(device, packet);
    awaitReplyTo(code);
    if (code == nsFirmware::JumpToApplication || code == nsFirmware::ChannelJumpToApplication)
        finishFirmwareFile();
    return true;
}

bool AbstractFirmwareCommunicator::sendFixedFrameCommand(char code, QSharedPointer<MovraDeviceInfo> device)
{
    return sendFramedCommand(code, device, [](const QByteArray& payload) {
        return BootloaderFrame::fixedFrame(BootloaderFrame::withCrc(payload));
    });
}

void AbstractFirmwareCommunicator::beginSectorErase(quint32 sectorCount)
{
    m_sectorCount = sectorCount;
    m_sectorIndex = 0;
    m_eraseDone = false;
    m_eraseFailures = 0;
}

void AbstractFirmwareCommunicator::finishFirmwareFile()
{
    if (m_fileManager) {
        if (m_serverUpdate)
            m_fileManager->closeAndRemoveFile();
        else
            m_fileManager->closeFile();
    }
    m_updating = 0;
}
