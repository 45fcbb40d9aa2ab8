#pragma once

#include "firmware/fpga/FpgaMicroscopeCommunicator.h"

// The one-colour microscope driver (device type 10): MCS files read with
// their extra byte, one whole-device erase, growing frames, no re-send. Its
// CRC reply carries nothing to compare: any CRC reply counts as success. An
// update whose expected reply does not come within the reply time-out ends
// as an error.
class Microscope1ColorCommunicator : public FpgaMicroscopeCommunicator
{
    Q_OBJECT

public:
    explicit Microscope1ColorCommunicator(QObject* parent = nullptr);

    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

private:
    QSharedPointer<FirmwareFileManager> makeFileManager() const override;
    QByteArray commandArgument(char code) const override;
    void onCrcReplied(const QSharedPointer<MovraDeviceInfo>& device);
};
