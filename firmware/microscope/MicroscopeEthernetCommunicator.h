#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

#include <QByteArray>
#include <QSharedPointer>
#include <QString>

// The version query of a microscope driver on the Ethernet link, which also
// tells the dual model from the single one. It updates nothing: the FPGA
// family's microscope classes do.
class MicroscopeEthernetCommunicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    static const QString DualName;

    explicit MicroscopeEthernetCommunicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    bool sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;
    void onReconnectedToBootloaderReceived(QSharedPointer<MovraDeviceInfo> deviceInfo) override;

    // The register read of a 32-bit address.
    QByteArray askForDeviceVersion(uint address);
    QByteArray askForChannelVersion();

private:
    // Only the device this communicator asked is renamed and re-typed.
    QSharedPointer<MovraDeviceInfo> m_askedDevice;
};
