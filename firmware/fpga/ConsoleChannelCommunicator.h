#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

// The console's channel boards (device types 5, 6, 8 and 9), reached on the
// console's service port: MCS files, one erase per 64 KiB sector, growing
// frames, and programming packets re-sent until acknowledged.
class ConsoleChannelCommunicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    explicit ConsoleChannelCommunicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    bool sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

    // Shorter timings for tests.
    void setRetryTimingForTest(int intervalMs, int maxRetries) { setRetryTiming(intervalMs, maxRetries); }
    void setEraseRetryLimitForTest(int retries) { setEraseRetryLimit(retries); }

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

protected:
    QByteArray commandPayload(char code, const QSharedPointer<MovraDeviceInfo>& device) override;

private:
    // Only the update's own device drives it.
    bool drivesUpdate(const QSharedPointer<MovraDeviceInfo>& device) const;
    void reportBootloaderVersion(const QSharedPointer<MovraDeviceInfo>& device, const QString& version);
};
