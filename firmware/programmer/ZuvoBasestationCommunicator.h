#pragma once

#include "firmware/programmer/ExternalProgrammerCommunicator.h"

#include <QByteArray>

// The wireless base station: it sends its versions on its own; for its
// update its port is released and its programmer program takes over.
class ZuvoBasestationCommunicator : public ExternalProgrammerCommunicator
{
    Q_OBJECT

public:
    static constexpr int ProgrammingTimeoutMs = 35000;
    static constexpr int VersionMessageSize = 5;
    static const char* const Program;

    explicit ZuvoBasestationCommunicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;
    void onReconnectedToBootloaderReceived(QSharedPointer<MovraDeviceInfo> deviceInfo) override;

private slots:
    void onReprogrammingDone(int exitCode, QProcess::ExitStatus exitStatus);
    void onReprogrammingError(QProcess::ProcessError error);
    void onReprogrammingTimeout();

private:
    bool m_wasReset = false;
};
