#include "firmware/programmer/ZuvoBasestationCommunicator.h"

#include "firmware/core/ProgressMessages.h"

const char* const ZuvoBasestationCommunicator::Program = "/scripts/movra_zuvo_basestation_program_script.exe";

namespace {

constexpr quint8 UnknownVersionPart = 255;
constexpr char VersionMessageCode = 67; // 'C'

QString versionOf(quint8 major, quint8 minor)
{
    if (major == UnknownVersionPart || minor == UnknownVersionPart)
        return ProgressMessages::NotAvailable;
    return QStringLiteral("%1.%2").arg(major).arg(minor);
}

} // namespace

ZuvoBasestationCommunicator::ZuvoBasestationCommunicator(QObject* parent)
    : ExternalProgrammerCommunicator(parent)
{
}

void ZuvoBasestationCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo>)
{
    // The base station sends its version message unasked.
}

void ZuvoBasestationCommunicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                              QByteArray data)
{
    if (!deviceInfo || deviceInfo->driverType() != DriverType::ZuvoBaseStation)
        return;
    // A shorter message has no versions to read.
    if (data.size() < VersionMessageSize || data.at(0) != VersionMessageCode)
        return;
    DeviceVersions versions;
    versions.bootloaderVersion = versionOf(quint8(data.at(1)), quint8(data.at(2)));
    versions.motherboardVersion = versionOf(quint8(data.at(3)), quint8(data.at(4)));
    emit sendInstalledVersionToUpdater(nsUpdater::ZuvoBasestation, versions, deviceInfo->uid());
    emit sendCloseSerialToDevice(deviceInfo);
}

bool ZuvoBasestationCommunicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                                 nsFirmware::DeviceVersions)
{
    m_wasReset = true;
    m_updateDevice = device;
    m_updating = 1;
    m_firmwareFilePath = fileName;
    emit sendCloseSerialToDevice(device);
    emit sendDeviceResponseToUpdater(nsFirmware::ExternalProgrammer, nsFirmware::InProgress, 0);
    emit sendMessageToProgressDialog(ProgressMessages::ResettingToBootloader);
    startReconnectTimer(ReconnectDelayMs);
    return true;
}

void ZuvoBasestationCommunicator::onReconnectedToBootloaderReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (m_wasReset)
        emit sendMessageToProgressDialog(ProgressMessages::ResettingToBootloaderDone);
    prepareStage(ProgressMessages::ProgrammingDevice, ProgrammingTimeoutMs);
    connect(m_programTimer, &QTimer::timeout, this, &ZuvoBasestationCommunicator::onReprogrammingTimeout);
    connect(m_process.data(), &QProcess::finished, this, &ZuvoBasestationCommunicator::onReprogrammingDone);
    connect(m_process.data(), &QProcess::errorOccurred, this, &ZuvoBasestationCommunicator::onReprogrammingError);
    startStageProgram(programPath(QLatin1String(Program)),
                      { m_firmwareFilePath, deviceInfo ? deviceInfo->name() : QString() });
}

void ZuvoBasestationCommunicator::onReprogrammingDone(int, QProcess::ExitStatus exitStatus)
{
    finishStage(exitStatus);
}

void ZuvoBasestationCommunicator::onReprogrammingError(QProcess::ProcessError error)
{
    handleStageError(error);
}

void ZuvoBasestationCommunicator::onReprogrammingTimeout()
{
    handleStageTimeout();
}
