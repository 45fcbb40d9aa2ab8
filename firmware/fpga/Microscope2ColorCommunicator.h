#pragma once

#include "firmware/fpga/FpgaMicroscopeCommunicator.h"

// The two-colour microscope driver (device type 11), and the version query
// of types 10 and 11 when they are not on Ethernet: MCS files, one erase
// per 64 KiB sector, growing frames, no re-send. An update whose expected
// reply does not come within the reply time-out ends as an error.
class Microscope2ColorCommunicator : public FpgaMicroscopeCommunicator
{
    Q_OBJECT

public:
    explicit Microscope2ColorCommunicator(QObject* parent = nullptr);

    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

private:
    QSharedPointer<FirmwareFileManager> makeFileManager() const override;
    QByteArray commandArgument(char code) const override;
};
