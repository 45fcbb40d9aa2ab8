#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

class ReplyDeadline;

// The two-colour microscope driver (device type 11), and the version query
// of types 10 and 11 when they are not on Ethernet: MCS files, one erase
// per 64 KiB sector, growing frames, no re-send. An update whose expected
// reply does not come within the reply time-out ends as an error.
class Microscope2ColorCommunicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    explicit Microscope2ColorCommunicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    bool sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

    // Shorter timings for tests.
    void setReplyTimeout(int ms);
    void setEraseRetryLimitForTest(int retries) { setEraseRetryLimit(retries); }

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

private:
    void onReplyMissing(char code);
    bool drivesUpdate(const QSharedPointer<MovraDeviceInfo>& device) const;
    void reportBootloaderVersion(const QSharedPointer<MovraDeviceInfo>& device, const QString& version);

    ReplyDeadline* m_deadline;
};
