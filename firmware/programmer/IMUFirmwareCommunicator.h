#pragma once

#include "firmware/programmer/ExternalProgrammerCommunicator.h"

#include <QByteArray>

// The inertial sensor module: its versions come as one JSON object; it is
// reset into its bootloader and reprogrammed by its programmer program.
class IMUFirmwareCommunicator : public ExternalProgrammerCommunicator
{
    Q_OBJECT

public:
    static constexpr char ResetCommand = 6;
    static constexpr char VersionCommand = 73;
    static constexpr int ProgrammingTimeoutMs = 35000;
    static const char* const Program;

    explicit IMUFirmwareCommunicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    void sendApplicationCommand(char code, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;
    void onReconnectedToBootloaderReceived(QSharedPointer<MovraDeviceInfo> deviceInfo) override;

private slots:
    void onReprogrammingDone(int exitCode, QProcess::ExitStatus exitStatus);
    void onReprogrammingError(QProcess::ProcessError error);
    void onReprogrammingTimeout();

private:
    void runProgrammingStage(QSharedPointer<MovraDeviceInfo> device);

    bool m_wasReset = false;
};
