#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

// The photometry-driver family: reads the running firmware's version and
// programs it from a HEX32 file after a reset into its bootloader.
class NXLTV2Communicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    explicit NXLTV2Communicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    bool sendBootloaderCommand(char command, QSharedPointer<MovraDeviceInfo> device) override;
    void sendApplicationCommand(char command, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

private:
};
