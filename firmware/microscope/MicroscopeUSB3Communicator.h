#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

// The third-generation microscope drivers (USB 3): their versions through
// register commands, the channel's behind register 0x600. Its MCS update is
// not used by the updater; like the other drivers without a re-send it ends
// as an error when a reply does not come in time.
class MicroscopeUSB3Communicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    static constexpr quint32 ChannelRegister = 0x600;
    static constexpr int RegisterPauseMs = 100;

    explicit MicroscopeUSB3Communicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    bool sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

    bool awaitingRegisterReply() const { return m_awaitingRegisterReply; }

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

protected:
    QByteArray commandPayload(char code, const QSharedPointer<MovraDeviceInfo>& device) override;

private:
    QByteArray channelRegisterWrite(char code);
    QByteArray registerRead(quint32 address);
    void reportVersions(const QSharedPointer<MovraDeviceInfo>& device, const DeviceVersions& versions);

    bool m_awaitingRegisterReply = false;
};
