#pragma once

#include "firmware/bootloader/BootloaderFamilyCommunicator.h"

// The photometry-driver family: reads the running firmware's version and
// programs it from a HEX32 file after a reset into its bootloader.
class NXLTV2Communicator : public BootloaderFamilyCommunicator
{
    Q_OBJECT

public:
    explicit NXLTV2Communicator(QObject* parent = nullptr);

    void sendApplicationCommand(char command, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

private:
};
