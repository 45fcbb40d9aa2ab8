#pragma once

#include "firmware/programmer/ExternalProgrammerCommunicator.h"

#include <QByteArray>

// The USB 3 driver's FX3 chip: a boot programmer is loaded into its RAM,
// the chip comes back as that programmer, and the firmware is written to
// its I2C memory, both by the FX3 download program.
class BootCypressFX3Communicator : public ExternalProgrammerCommunicator
{
    Q_OBJECT

public:
    static constexpr int RamStageTimeoutMs = 5000;
    static constexpr int I2CStageTimeoutMs = 40000;
    static const char* const Program;
    static const char* const BootProgrammerImage;

    explicit BootCypressFX3Communicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;
    void onReconnectedToBootloaderReceived(QSharedPointer<MovraDeviceInfo> deviceInfo) override;

private slots:
    void onDownloadFlashProgrammerToRAMDone(int exitCode, QProcess::ExitStatus exitStatus);
    void onDownloadFirmwareImageToI2CDone(int exitCode, QProcess::ExitStatus exitStatus);
    void onDownloadError(QProcess::ProcessError error);
    void onDownloadTimeout();

private:
    void runI2CStage(const QString& line);
};
