#pragma once

#include "firmware/bootloader/BootloaderFamilyCommunicator.h"

// Programs the PIC32 bootloader (product id nsUsbIds::PIC32BootloaderProductId)
// from a HEX32 file; the update begins with the erase.
class BootloaderPIC32Communicator : public BootloaderFamilyCommunicator
{
    Q_OBJECT

public:
    explicit BootloaderPIC32Communicator(QObject* parent = nullptr);

    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

private:
};
