#pragma once

#include "firmware/motherboard/MotherboardFamilyCommunicator.h"

// The pulse generators: reads their versions (from their firmware text for
// the older releases) and programs them from a HEX file after a reset into
// their bootloader.
class HKTRCommunicator : public MotherboardFamilyCommunicator
{
    Q_OBJECT

public:
    explicit HKTRCommunicator(QObject* parent = nullptr);

    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

private:
    void report(const QSharedPointer<MovraDeviceInfo>& device, const QString& motherboard, const QString& channel,
                const QString& bootloader);
};
