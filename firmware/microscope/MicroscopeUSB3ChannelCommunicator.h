#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

// The channel of the USB 3 microscope drivers (types 12 and 13), programmed
// from a HEX file through the driver: every command is a register write to
// 0x600, which the driver hands on to the channel. No re-send: an update
// whose expected reply does not come in time ends as an error.
class MicroscopeUSB3ChannelCommunicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    static constexpr quint32 ChannelRegister = 0x600;
    // The channel needs this long to enter its bootloader.
    static constexpr int EnterBootloaderWaitMs = 1000;
    static constexpr int RecordReadBound = 251;
    static constexpr int MaxRecords = 5;
    // Records are added until a record and the total reach this.
    static constexpr int RecordStopSum = 57;
    static constexpr int SmallPacketSize = 56;

    explicit MicroscopeUSB3ChannelCommunicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    bool sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device) override;
    void sendApplicationCommand(char code, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

    // The size byte f of a code-25 payload carrying n record bytes: the
    // payload holds f + 3 bytes, so f is at least n + 1.
    static int packetSize(int recordBytes);

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

protected:
    QByteArray commandPayload(char code, const QSharedPointer<MovraDeviceInfo>& device) override;

private:
    // A register write of the payload to the channel; empty when it is too long.
    QByteArray channelWrite(const QByteArray& payload);
    bool emitChannelWrite(const QSharedPointer<MovraDeviceInfo>& device, const QByteArray& payload);
    bool recordsPayload(QByteArray& payload);
    void fail(char code, int progress);
};
