#pragma once

#include "device/MovraDeviceInfo.h"
#include "firmware/core/DeviceIdentifier.h"
#include "firmware/core/FirmwareTypes.h"
#include "firmware/files/FirmwareFileManager.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class ReplyDeadline;
class UpdateNotices;

// The base of every firmware communicator: one object speaks one device
// family's firmware protocol to one device, to read its installed versions
// or to reprogram it from a firmware file. It never touches a transport: it
// emits byte arrays and receives every reply of every device.
//
// A subclass fills in the virtual operations, calls the shared reply
// handlers for the reply codes of its family, and builds its packets with
// the helpers of the protected section.
class AbstractFirmwareCommunicator : public QObject
{
    Q_OBJECT

public:
    using DeviceIdentifier = nsUpdater::DeviceIdentifier;
    using DeviceVersions = nsFirmware::DeviceVersions;

    static constexpr int ReconnectDelayMs = 3000;
    static constexpr int RamLoadReconnectDelayMs = 6000;
    static constexpr int RetryIntervalMs = 5000;
    // Twelve re-sends 5 s apart: a minute without an answer stops the step.
    static constexpr int MaxRetries = 12;
    // A sector that keeps failing its erase is tried this many more times.
    static constexpr int MaxEraseRetries = 5;
    static constexpr int FixedFrameReadBound = 59;
    static constexpr int FixedFrameRecords = 2;
    static constexpr int GrowingFrameReadBound = 995;
    static constexpr int GrowingFrameRecords = 11;
    // Payload and CRC of one growing frame.
    static constexpr int GrowingFrameLimit = 1000;

    explicit AbstractFirmwareCommunicator(QObject* parent = nullptr);
    ~AbstractFirmwareCommunicator() override;

    // True when the file was opened and the update started.
    virtual bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                nsFirmware::DeviceVersions versions) = 0;
    // Builds one bootloader packet and emits it; false when there was
    // nothing to send. A fixed frame unless the family frames otherwise.
    virtual bool sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device);
    virtual void sendApplicationCommand(char code, QSharedPointer<MovraDeviceInfo> device);
    virtual void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) = 0;

    int isUpdating() const { return m_updating; }
    void setUpdating(int updating) { m_updating = updating; }
    void setServerUpdate(bool serverUpdate) { m_serverUpdate = serverUpdate; }
    // Where the user is told what the update cannot say in its reports;
    // null: no one is told.
    void setUpdateNotices(UpdateNotices* notices) { m_notices = notices; }
    // Which of the reconnect signals the reconnect timer sends; the updater
    // sets it from the device's type.
    void setReconnectRoute(nsFirmware::ReconnectRoute route) { m_reconnectRoute = route; }
    // Ends a running update: no timer fires again, no deadline runs and no
    // later reply of that run drives it, so nothing more is sent. Every
    // error report of the update ends it this way.
    void stopUpdate();
    // Shorter re-send timing and reply deadline for tests.
    void setRetryTiming(int intervalMs, int maxRetries);
    void setReplyTimeout(int ms);
    // For the fuzz target, which runs no event loop: runs at once what each
    // running timer (reconnect, re-send, reply deadline) runs when it fires.
    void fireRunningTimersForTests();
    // Why the file reader refused the update's file; empty when it did not.
    QString fileRefusal() const { return m_fileRefusal; }

    static nsUpdater::DeviceIdentifier getDeviceIdentifier(QSharedPointer<MovraDeviceInfo> device);
    static bool isInBootloader(QSharedPointer<MovraDeviceInfo> device);
    static bool hasBootloaderRelease(QSharedPointer<MovraDeviceInfo> device);
    static QByteArray removeBootloaderPrefix(QSharedPointer<MovraDeviceInfo> device, QByteArray reply);
    static QByteArray decodeBootloaderFrame(const QByteArray& frame);

    // Empty when the data do not fit the length byte.
    QByteArray buildRegisterWriteCommand(quint32 address, const char* data, int length);
    QByteArray buildRegisterReadCommand(char a, char b, char c);
    // CRC-8 of a register frame whose last byte is the CRC position.
    quint8 computeCRC8(const QByteArray& frame);

    // 15 with no line sent, 99 with all of them.
    int programmingProgress() const;

    // Version text of two or three reply bytes, each a signed 8-bit number.
    static QString versionText(char major, char minor);
    static QString versionText(char major, char minor, char patch);
    // Null when the reply is too short for either index.
    static QString versionText(const QByteArray& reply, int majorIndex, int minorIndex);

    // Shared reply handlers.
    void onHexEraseDone(QSharedPointer<MovraDeviceInfo> device);
    void onMcsEraseDone(QSharedPointer<MovraDeviceInfo> device);
    void onSectorErased(QSharedPointer<MovraDeviceInfo> device, char status);
    void onLinesAcknowledged(QSharedPointer<MovraDeviceInfo> device, QByteArray reply);
    void onCrcReceived(QSharedPointer<MovraDeviceInfo> device, QByteArray reply);

signals:
    void sendCommandToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data);
    void sendCtrlCmdToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data);
    void sendSerialCommandToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data);
    void sendCloseSerialToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void sendReconnectToBootloader(QString uid);
    void sendReconnectToSerialBootloader(QString serialNumber);
    void sendReconnectToUSB3Communicator();
    void sendClearAvailableDevices();
    void sendDeviceResponseToUpdater(char msg, nsFirmware::MessageStatus status, int progress);
    void sendMessageToProgressDialog(QString detailsInformation);
    void sendCloseProgressDialog();
    void sendFileProgressToProgressDialog(QString detailsInformation);
    void sendInstalledVersionToUpdater(DeviceIdentifier deviceID, DeviceVersions deviceVersions, QString uid);
    void sendStartMotherboardUpdate();

public slots:
    virtual void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) = 0;
    virtual void onReconnectedToBootloaderReceived(QSharedPointer<MovraDeviceInfo> deviceInfo);

private slots:
    void reconnectToBootloader();
    void retryToSendLines();
    void replyDeadlinePassed();
    void endOnError(char msg, nsFirmware::MessageStatus status, int progress);

protected:
    // What an attempt to fill a programming payload gave.
    enum class RecordFill {
        Filled,
        NoRecord,
        // The first record alone does not fit the packet; it stays unread.
        DoesNotFit,
    };

    // Opens the update's file through m_fileManager, refusing records longer
    // than the packet builder's bound (FixedFrameReadBound for fixed frames,
    // GrowingFrameReadBound for growing ones); logs why a file was refused.
    bool openFirmwareFile(const QString& fileName, int recordBound);
    // Takes the reader for an update and opens the file through it; a refused
    // file leaves no reader behind and stays as it is on disk (the updater
    // deletes a downloaded one).
    bool takeFirmwareFile(QSharedPointer<FirmwareFileManager> manager, const QString& fileName, int recordBound);
    // Starts an update that speaks to the device at once, with no reset:
    // takes the file (read from its start) and the device.
    bool beginDirectUpdate(QSharedPointer<MovraDeviceInfo> device, QSharedPointer<FirmwareFileManager> manager,
                           const QString& fileName, int recordBound);
    // Starts an update through the bootloader: takes the file (its records
    // go in fixed frames), then sends resetCommands, the application
    // commands that reset the device into its bootloader, and finds it again
    // when the reconnect timer fires. With no reset commands the device is
    // in its bootloader already and the erase begins at once. False, with
    // nothing sent, when the file is refused.
    bool beginUpdateThroughReset(QSharedPointer<MovraDeviceInfo> device, QSharedPointer<FirmwareFileManager> manager,
                                 const QString& fileName, const QList<char>& resetCommands);
    // How a family's device sends its image CRC.
    enum class CrcReplyForm {
        Raw,
        DecodedFrame
    };
    // Erase, programming and CRC replies of a HEX update; false when the
    // reply is none of them. They count only while this communicator's own
    // update runs: a version query must never drive another device's update.
    bool handleHexUpdateReply(QSharedPointer<MovraDeviceInfo> device, const QByteArray& reply, CrcReplyForm crcForm);
    // A boot-info reply (1) reports the bootloader version that starts at
    // byte versionIndex, when the reply holds it; every other reply goes to
    // handleHexUpdateReply.
    void handleBootInfoOrHexUpdateReply(const QSharedPointer<MovraDeviceInfo>& device, const QByteArray& reply,
                                        int versionIndex, CrcReplyForm crcForm);

    void startReconnectTimer(int delayMs = ReconnectDelayMs);
    // Called once a command went out: during an update the reply it awaits
    // (erase, programming, CRC) gets its deadline, unless the command is
    // re-sent until answered, whose re-sends bound the wait; the jump to the
    // application ends the wait.
    void awaitReplyTo(char code);
    // Called each time a programming packet is prepared: the packet that
    // follows is re-sent to the device until it is acknowledged.
    void startRetryTimer(QSharedPointer<MovraDeviceInfo> device, char stepCode);
    void stopRetryTimer();
    void setEraseRetryLimit(int retries) { m_maxEraseRetries = retries; }

    // Appends up to maxRecords records, each read with readBound, while
    // fits(payload) holds; a record that does not fit is left for the next
    // packet. Rewinds first when m_rewindBeforeRead is set.
    RecordFill fillProgramPayload(QByteArray& payload, int maxRecords, int readBound,
                                  const std::function<bool(const QByteArray&)>& fits);
    // fillProgramPayload for a growing frame: the payload and its CRC stay
    // within byteLimit bytes.
    RecordFill fillGrowingFramePayload(QByteArray& payload, int maxRecords = GrowingFrameRecords,
                                       int readBound = GrowingFrameReadBound, int byteLimit = GrowingFrameLimit);
    // fillProgramPayload for a fixed frame: the escaped payload and its CRC
    // stay within room bytes.
    RecordFill fillFixedFramePayload(QByteArray& payload, int room);
    // code, start LE32, length LE32, CRC LE16 of the reader's image; empty
    // without a reader.
    QByteArray crcRequestPayload(char code);
    // The payload of one bootloader command, its code first; empty when
    // there is nothing to send. Here codes 1 to 5 as the fixed-frame
    // families send them (1, 2 and 5: the code and 0x00; 3: records, re-sent
    // until acknowledged; 4: crcRequestPayload), every other code nothing.
    // A family overrides the codes it builds otherwise.
    virtual QByteArray commandPayload(char code, const QSharedPointer<MovraDeviceInfo>& device);
    // Sends commandPayload in the packet frame makes of it, kept for
    // re-sends; false when there is no payload or the frame cannot carry it.
    // After a jump to the application the file is closed.
    bool sendFramedCommand(char code, const QSharedPointer<MovraDeviceInfo>& device,
                           const std::function<QByteArray(const QByteArray&)>& frame);
    // The fixed-frame builder of the families that send codes 1 to 5.
    bool sendFixedFrameCommand(char code, QSharedPointer<MovraDeviceInfo> device);
    // Starts the sector loop of an MCS update at sector 0.
    void beginSectorErase(quint32 sectorCount);
    // After the jump to the application: close (or delete) the file.
    void finishFirmwareFile();
    // Ends the update and reports the step that could not go on.
    void reportProgrammingFailure(char stepCode, const QString& line);
    QString programmingLine() const;
    // The device's CRC in a CRC reply, read from its unescaped content when
    // the reply carries a whole frame; false when the reply is too short.
    static bool readDeviceCrc(const QByteArray& reply, quint16* crc);

    QSharedPointer<FirmwareFileManager> m_fileManager;
    QSharedPointer<QTimer> m_reconnectTimer;
    QSharedPointer<QTimer> m_retryTimer;
    QSharedPointer<MovraDeviceInfo> m_updateDevice;
    QSharedPointer<MovraDeviceInfo> m_lastPacketDevice;
    QByteArray m_lastPacket;
    int m_updating = 0;
    bool m_serverUpdate = false;
    UpdateNotices* m_notices = nullptr;
    nsFirmware::ReconnectRoute m_reconnectRoute = nsFirmware::ReconnectRoute::BootloaderByUid;
    bool m_rewindBeforeRead = true;
    bool m_eraseDone = false;
    quint32 m_sectorCount = 0;
    quint32 m_sectorIndex = 0;
    // Set when the last programming payload could not take its first record.
    bool m_recordTooLong = false;
    std::unique_ptr<quint8[]> m_crc8Table;

private:
    void resetIntoBootloader(const QList<char>& resetCommands, QSharedPointer<MovraDeviceInfo> device);
    void eraseInBootloader(QSharedPointer<MovraDeviceInfo> device);
    // The device's CRC in a decoded reply (code, low byte, high byte); false
    // when the reply is too short to hold one.
    static bool readDecodedCrc(const QByteArray& reply, quint16* crc);
    void startProgramming(QSharedPointer<MovraDeviceInfo> device);
    // The erase is over: report it and send the first programming packet.
    void finishMcsErase(QSharedPointer<MovraDeviceInfo> device, bool announceProgramming);

    int m_retryIntervalMs = RetryIntervalMs;
    int m_maxRetries = MaxRetries;
    int m_retryCount = 0;
    int m_maxEraseRetries = MaxEraseRetries;
    int m_eraseFailures = 0;
    char m_retryStepCode = nsFirmware::ProgramFlash;
    ReplyDeadline* m_replyDeadline;
    QString m_fileRefusal;
};
