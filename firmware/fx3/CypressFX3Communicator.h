#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

// The consoles and microscope drivers built around the Cypress FX3 bridge:
// the TV720's version (type 18) and the update of types 12, 13 (in the
// motherboard phase) and 18 through USB control commands, from an MCS
// file. No re-send: an update whose expected reply does not come in time
// ends as an error.
class CypressFX3Communicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    // The bridge's data buffer of one programming command.
    static constexpr int ProgramBufferSize = 4096;
    static constexpr int MaxProgramRecords = 191;
    static constexpr int ControlHeaderSize = 7;
    static constexpr int VersionCommandSize = 16;

    explicit CypressFX3Communicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    bool sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

    bool awaitingVersionReply() const { return m_awaitingVersionReply; }
    // Shorter timing for tests.
    void setEraseRetryLimitForTest(int retries) { m_maxEraseRetries = retries; }

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;

protected:
    QByteArray commandPayload(char code, const QSharedPointer<MovraDeviceInfo>& device) override;

private:
    static QByteArray controlCommand(char code, quint16 index, quint16 returnedLength, const QByteArray& data = {});
    void onEraseReply(const QSharedPointer<MovraDeviceInfo>& device, char status);
    void report(const QSharedPointer<MovraDeviceInfo>& device, const DeviceVersions& versions);
    void fail(char code);

    bool m_awaitingVersionReply = false;
    int m_eraseFailures = 0;
    int m_maxEraseRetries = MaxEraseRetries;
};
