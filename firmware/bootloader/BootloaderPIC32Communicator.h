#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

// Programs the PIC32 bootloader (product id nsUsbIds::PIC32BootloaderProductId)
// from a HEX32 file; the update begins with the erase.
class BootloaderPIC32Communicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    explicit BootloaderPIC32Communicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    bool sendBootloaderCommand(char command, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

private:
};
