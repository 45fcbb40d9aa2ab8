#include "firmware/programmer/IMUFirmwareCommunicator.h"

#include "device/usb/UsbIds.h"
#include "firmware/core/ProgressMessages.h"

#include <QJsonDocument>
#include <QJsonObject>

const char* const IMUFirmwareCommunicator::Program = "/scripts/movra_imu_program_script.exe";

namespace {

constexpr int UnknownVersionPart = 255;
constexpr int VersionReplyCode = 67; // 'C'

struct CommandBytes
{
    char code;
    char bytes[3];
};

constexpr CommandBytes Commands[] = {
    { IMUFirmwareCommunicator::ResetCommand, { 0x42, 0x50, 0x6E } },
    { IMUFirmwareCommunicator::VersionCommand, { 0x43, 0x25, char(0x98) } },
};

QString versionOf(int major, int minor)
{
    if (major == UnknownVersionPart || minor == UnknownVersionPart)
        return ProgressMessages::NotAvailable;
    return QStringLiteral("%1.%2").arg(major).arg(minor);
}

} // namespace

IMUFirmwareCommunicator::IMUFirmwareCommunicator(QObject* parent)
    : ExternalProgrammerCommunicator(parent)
{
}

void IMUFirmwareCommunicator::sendApplicationCommand(char code, QSharedPointer<MovraDeviceInfo> device)
{
    for (const CommandBytes& command : Commands) {
        if (command.code == code) {
            emit sendSerialCommandToDevice(device, QByteArray(command.bytes, 3));
            return;
        }
    }
}

void IMUFirmwareCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    // A module in its bootloader does not answer.
    if (device && device->pid() != nsUsbIds::IMUBootloaderProductId)
        sendApplicationCommand(VersionCommand, device);
}

void IMUFirmwareCommunicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data)
{
    if (!deviceInfo || deviceInfo->driverType() != DriverType::IMUDriver)
        return;
    // A reply split over two reads is no JSON object and is dropped.
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return;
    const QJsonObject reply = document.object();
    if ((reply.value(QStringLiteral("Command")).toInt() & 0xFF) != VersionReplyCode)
        return;
    DeviceVersions versions;
    const QString firmware =
        versionOf(reply.value(QStringLiteral("Maj_Firm")).toInt(), reply.value(QStringLiteral("Min_Firm")).toInt());
    versions.motherboardVersion = firmware;
    versions.channelVersion = firmware;
    versions.bootloaderVersion =
        versionOf(reply.value(QStringLiteral("Maj_Boot")).toInt(), reply.value(QStringLiteral("Min_Boot")).toInt());
    emit sendInstalledVersionToUpdater(nsUpdater::IMU, versions, deviceInfo->uid());
}

bool IMUFirmwareCommunicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                             nsFirmware::DeviceVersions)
{
    m_updateDevice = device;
    m_updating = 1;
    m_firmwareFilePath = fileName;
    emit sendDeviceResponseToUpdater(nsFirmware::ExternalProgrammer, nsFirmware::InProgress, 0);
    if (device && device->pid() == nsUsbIds::IMUBootloaderProductId) {
        m_wasReset = false;
        emit sendCloseSerialToDevice(device);
        runProgrammingStage(device);
        return true;
    }
    m_wasReset = true;
    sendApplicationCommand(ResetCommand, device);
    emit sendMessageToProgressDialog(ProgressMessages::ResettingToBootloader);
    emit sendClearAvailableDevices();
    startReconnectTimer(ReconnectDelayMs);
    return true;
}

void IMUFirmwareCommunicator::onReconnectedToBootloaderReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (m_wasReset)
        emit sendMessageToProgressDialog(ProgressMessages::ResettingToBootloaderDone);
    runProgrammingStage(deviceInfo);
}

void IMUFirmwareCommunicator::runProgrammingStage(QSharedPointer<MovraDeviceInfo> device)
{
    prepareStage(ProgressMessages::ProgrammingDevice, ProgrammingTimeoutMs);
    connect(m_programTimer, &QTimer::timeout, this, &IMUFirmwareCommunicator::onReprogrammingTimeout);
    connect(m_process.data(), &QProcess::finished, this, &IMUFirmwareCommunicator::onReprogrammingDone);
    connect(m_process.data(), &QProcess::errorOccurred, this, &IMUFirmwareCommunicator::onReprogrammingError);
    startStageProgram(programPath(QLatin1String(Program)), { m_firmwareFilePath, device ? device->name() : QString() });
}

void IMUFirmwareCommunicator::onReprogrammingDone(int, QProcess::ExitStatus exitStatus)
{
    finishStage(exitStatus);
}

void IMUFirmwareCommunicator::onReprogrammingError(QProcess::ProcessError error)
{
    handleStageError(error);
}

void IMUFirmwareCommunicator::onReprogrammingTimeout()
{
    handleStageTimeout();
}
