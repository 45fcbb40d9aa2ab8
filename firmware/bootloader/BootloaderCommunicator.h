#pragma once

#include "firmware/bootloader/BootloaderFamilyCommunicator.h"

// Programs a device that is already in its bootloader (any product id but
// the PIC32 bootloader's) from a HEX file; the update begins with the erase.
class BootloaderCommunicator : public BootloaderFamilyCommunicator
{
    Q_OBJECT

public:
    explicit BootloaderCommunicator(QObject* parent = nullptr);

    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;
};
