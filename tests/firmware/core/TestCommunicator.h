#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"
#include "firmware/files/HEXFirmwareFileManager.h"

// The smallest family on the base: fixed frames for codes 1 to 5, HEX files,
// replies dispatched to the shared handlers by their first byte.
class TestCommunicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    using AbstractFirmwareCommunicator::AbstractFirmwareCommunicator;

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device, nsFirmware::DeviceVersions) override
    {
        m_fileManager = QSharedPointer<HEXFirmwareFileManager>::create();
        if (!openFirmwareFile(fileName, FixedFrameReadBound))
            return false;
        m_updating = 1;
        m_updateDevice = device;
        sendBootloaderCommand(nsFirmware::EraseFlash, device);
        return true;
    }

    bool sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device) override
    {
        sentCodes.append(code);
        return sendFixedFrameCommand(code, device);
    }

    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo>) override { }

    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override
    {
        const QByteArray reply = removeBootloaderPrefix(deviceInfo, data);
        if (reply.isEmpty())
            return;
        switch (reply.at(0)) {
        case 2: onHexEraseDone(deviceInfo); break;
        case 3: onLinesAcknowledged(deviceInfo, reply); break;
        case 4: onCrcReceived(deviceInfo, reply); break;
        default: break;
        }
    }

    // Access for the tests.
    void setFileManager(QSharedPointer<FirmwareFileManager> reader) { m_fileManager = reader; }
    QSharedPointer<FirmwareFileManager> fileManager() const { return m_fileManager; }
    void setUpdateDevice(QSharedPointer<MovraDeviceInfo> device) { m_updateDevice = device; }
    void setSectorCount(quint32 count) { beginSectorErase(count); }
    void limitEraseRetries(int retries) { setEraseRetryLimit(retries); }
    quint32 sectorIndex() const { return m_sectorIndex; }
    bool eraseDone() const { return m_eraseDone; }
    void startReconnect() { startReconnectTimer(); }
    bool reconnectTimerActive() const { return m_reconnectTimer->isActive(); }
    bool retryTimerActive() const { return m_retryTimer->isActive(); }
    int retryInterval() const { return m_retryTimer->interval(); }
    void shortenRetries(int intervalMs, int maxRetries) { setRetryTiming(intervalMs, maxRetries); }

    // One growing-frame programming payload, as the FPGA families build it.
    QByteArray growingPayload(bool* filled)
    {
        QByteArray payload(1, char(nsFirmware::ProgramFlash));
        *filled = fillGrowingFramePayload(payload) == RecordFill::Filled;
        m_rewindBeforeRead = false;
        return payload;
    }

    QList<char> sentCodes;
};
