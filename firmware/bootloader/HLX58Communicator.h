#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

// The rotary-joint family: reads the running firmware's versions and
// programs it from a HEX file after a reset into its bootloader.
class HLX58Communicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    explicit HLX58Communicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    bool sendBootloaderCommand(char command, QSharedPointer<MovraDeviceInfo> device) override;
    void sendApplicationCommand(char command, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;
};
