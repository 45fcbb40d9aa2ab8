#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

class FirmwareFileManager;

// What the one- and two-colour microscope drivers share: an MCS update in
// growing frames with no re-send, begun by the boot info and the erase; an
// update whose expected reply does not come within the reply time-out ends
// as an error.
class FpgaMicroscopeCommunicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    bool sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device) override;

    // Shorter timing for tests.
    void setEraseRetryLimitForTest(int retries) { setEraseRetryLimit(retries); }

protected:
    explicit FpgaMicroscopeCommunicator(QObject* parent = nullptr);

    // The reader of this driver's MCS files.
    virtual QSharedPointer<FirmwareFileManager> makeFileManager() const = 0;
    // The bytes after the code of the boot-info, erase and jump commands.
    virtual QByteArray commandArgument(char code) const = 0;
    QByteArray commandPayload(char code, const QSharedPointer<MovraDeviceInfo>& device) override;

    bool drivesUpdate(const QSharedPointer<MovraDeviceInfo>& device) const;
    void reportBootloaderVersion(const QSharedPointer<MovraDeviceInfo>& device, const QString& version);
};
