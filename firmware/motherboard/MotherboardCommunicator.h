#pragma once

#include "firmware/motherboard/MotherboardFamilyCommunicator.h"

// The motherboards of consoles and light sources: reads their own and their
// channels' versions, decides from the channel version what the device
// drives, and programs the motherboard from a HEX file after a reset into
// its bootloader.
class MotherboardCommunicator : public MotherboardFamilyCommunicator
{
    Q_OBJECT

public:
    explicit MotherboardCommunicator(QObject* parent = nullptr);

    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

private:
    void report(DeviceIdentifier type, const QSharedPointer<MovraDeviceInfo>& device, const QString& motherboard,
                const QString& channel, const QString& bootloader);
};
