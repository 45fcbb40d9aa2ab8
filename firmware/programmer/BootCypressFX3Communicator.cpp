#include "firmware/programmer/BootCypressFX3Communicator.h"

#include "device/usb/UsbIds.h"
#include "firmware/core/ProgressMessages.h"

const char* const BootCypressFX3Communicator::Program = "/scripts/FwDownloadApp.exe";
const char* const BootCypressFX3Communicator::BootProgrammerImage = "/scripts/CyBootProgrammer.img";

BootCypressFX3Communicator::BootCypressFX3Communicator(QObject* parent)
    : ExternalProgrammerCommunicator(parent)
{
}

void BootCypressFX3Communicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo>)
{
}

void BootCypressFX3Communicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo>, QByteArray)
{
}

bool BootCypressFX3Communicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                                nsFirmware::DeviceVersions)
{
    m_updateDevice = device;
    m_updating = 1;
    m_firmwareFilePath = fileName;
    const quint16 productId = device ? device->pid() : 0;
    if (productId == nsUsbIds::USB3DriverProductId) {
        emit sendDeviceResponseToUpdater(nsFirmware::ExternalProgrammer, nsFirmware::InProgress, 0);
        prepareStage(ProgressMessages::ResettingToBootloader, RamStageTimeoutMs);
        connect(m_programTimer, &QTimer::timeout, this, &BootCypressFX3Communicator::onDownloadTimeout);
        connect(m_process.data(), &QProcess::finished, this,
                &BootCypressFX3Communicator::onDownloadFlashProgrammerToRAMDone);
        connect(m_process.data(), &QProcess::errorOccurred, this, &BootCypressFX3Communicator::onDownloadError);
        startStageProgram(programPath(QLatin1String(Program)),
                          { QStringLiteral("-i"), programPath(QLatin1String(BootProgrammerImage)), QStringLiteral("-t"),
                            QStringLiteral("RAM") });
    } else if (productId == nsUsbIds::FX3BootProgrammerProductId) {
        emit sendDeviceResponseToUpdater(nsFirmware::ExternalProgrammer, nsFirmware::InProgress, 0);
        runI2CStage(ProgressMessages::ProgrammingDevice);
    }
    return true;
}

void BootCypressFX3Communicator::onDownloadFlashProgrammerToRAMDone(int, QProcess::ExitStatus exitStatus)
{
    m_updating = 0;
    endStage();
    if (exitStatus != QProcess::NormalExit) {
        emit sendDeviceResponseToUpdater(nsFirmware::ProgramFlash, nsFirmware::Error, 100);
        return;
    }
    emit sendClearAvailableDevices();
    startReconnectTimer(RamLoadReconnectDelayMs);
}

void BootCypressFX3Communicator::onReconnectedToBootloaderReceived(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    m_updateDevice = deviceInfo;
    emit sendMessageToProgressDialog(ProgressMessages::ResettingToBootloaderDone);
    runI2CStage(ProgressMessages::ProgrammingDevice);
}

void BootCypressFX3Communicator::runI2CStage(const QString& line)
{
    prepareStage(line, I2CStageTimeoutMs);
    connect(m_programTimer, &QTimer::timeout, this, &BootCypressFX3Communicator::onDownloadTimeout);
    connect(m_process.data(), &QProcess::finished, this, &BootCypressFX3Communicator::onDownloadFirmwareImageToI2CDone);
    connect(m_process.data(), &QProcess::errorOccurred, this, &BootCypressFX3Communicator::onDownloadError);
    startStageProgram(programPath(QLatin1String(Program)),
                      { QStringLiteral("-i"), m_firmwareFilePath, QStringLiteral("-t"), QStringLiteral("I2C") });
}

void BootCypressFX3Communicator::onDownloadFirmwareImageToI2CDone(int, QProcess::ExitStatus exitStatus)
{
    finishStage(exitStatus);
}

void BootCypressFX3Communicator::onDownloadError(QProcess::ProcessError error)
{
    handleStageError(error);
}

void BootCypressFX3Communicator::onDownloadTimeout()
{
    handleStageTimeout();
}
