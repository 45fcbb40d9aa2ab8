#pragma once

#include "firmware/bootloader/BootloaderFamilyCommunicator.h"

// The rotary-joint family: reads the running firmware's versions and
// programs it from a HEX file after a reset into its bootloader.
class HLX58Communicator : public BootloaderFamilyCommunicator
{
    Q_OBJECT

public:
    explicit HLX58Communicator(QObject* parent = nullptr);

    void sendApplicationCommand(char command, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;
};
