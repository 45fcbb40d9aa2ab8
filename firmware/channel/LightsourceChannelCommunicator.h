#pragma once

#include "firmware/motherboard/MotherboardFamilyCommunicator.h"

// The channel modules of light sources, KAVOR drivers and memory managers,
// reprogrammed through their running motherboard: the channel commands
// travel in the motherboard's USB traffic and the motherboard update is
// asked for once the channels are done.
class LightsourceChannelCommunicator : public MotherboardFamilyCommunicator
{
    Q_OBJECT

public:
    // What the channels have to come back with after their erase, at most.
    static constexpr int EraseDelayMs = 2000;
    // The channel bootloader needs this long after it was entered, and the
    // channels after their jump; both waits block.
    static constexpr int ChannelSettleMs = 1000;

    explicit LightsourceChannelCommunicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    bool sendBootloaderCommand(char command, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

    // Shorter blocking waits for tests (BlockingPause limits them too).
    void setChannelSettleTime(int ms) { m_channelSettleMs = ms; }

    // The reports' device type: from the device's name.
    static DeviceIdentifier reportedType(const QSharedPointer<MovraDeviceInfo>& device);
    // The channels are reached without the older motherboards' detour.
    static bool takesDirectPath(const QSharedPointer<MovraDeviceInfo>& device, const QString& motherboardVersion);

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

protected:
    QByteArray commandPayload(char code, const QSharedPointer<MovraDeviceInfo>& device) override;

private slots:
    void startChannelErase();

private:
    void onChannelEraseDone(const QSharedPointer<MovraDeviceInfo>& device);
    void onChannelLinesAcknowledged(const QSharedPointer<MovraDeviceInfo>& device);
    void onChannelCrcReceived(const QSharedPointer<MovraDeviceInfo>& device, const QByteArray& reply);
    void report(const QSharedPointer<MovraDeviceInfo>& device, const QString& motherboard, const QString& channel,
                const QString& bootloader);

    QSharedPointer<QTimer> m_eraseDelayTimer;
    bool m_channelEraseSeen = false;
    bool m_channelCrcOk = false;
    bool m_channelFailed = false;
    int m_programmingPasses = 0;
    int m_channelSettleMs = ChannelSettleMs;
};
