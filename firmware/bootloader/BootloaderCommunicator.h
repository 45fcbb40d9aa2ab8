#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

// Programs a device that is already in its bootloader (any product id but
// the PIC32 bootloader's) from a HEX file; the update begins with the erase.
class BootloaderCommunicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    explicit BootloaderCommunicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    bool sendBootloaderCommand(char command, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;
};
