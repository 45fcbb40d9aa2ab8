#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

class ReplyDeadline;

// The one-colour microscope driver (device type 10): MCS files read with
// their extra byte, one whole-device erase, growing frames, no re-send. Its
// CRC reply carries nothing to compare: any CRC reply counts as success. An
// update whose expected reply does not come within the reply time-out ends
// as an error.
class Microscope1ColorCommunicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    explicit Microscope1ColorCommunicator(QObject* parent = nullptr);

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
    void onCrcReplied(const QSharedPointer<MovraDeviceInfo>& device);
    bool drivesUpdate(const QSharedPointer<MovraDeviceInfo>& device) const;
    void reportBootloaderVersion(const QSharedPointer<MovraDeviceInfo>& device, const QString& version);

    ReplyDeadline* m_deadline;
};
