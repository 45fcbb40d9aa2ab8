#pragma once

#include "device/CommunicatorFactory.h"
#include "device/MovraDeviceInfo.h"
#include "device/MovraHardwareServer.h"
#include "firmware/core/AbstractFirmwareCommunicator.h"
#include "firmware/updater/DeviceCommunicationInfo.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QTimer>

class UpdateNotices;

// The firmware engine's device side: lists the devices the hardware server
// reports, reads their installed versions through short-lived version-query
// communicators, and drives one firmware update at a time. Lives in the GUI
// thread and is the only object that talks to the hardware server.
class FirmwareUpdater : public QObject
{
    Q_OBJECT

public:
    static constexpr int VersionWaitMs = 3000;
    static constexpr int TV720VersionWaitMs = 10000;
    static constexpr int CameraFoundMessageMs = 3000;
    static constexpr int DeviceRemovedMessageMs = 1500;

    explicit FirmwareUpdater(QObject* parent = nullptr);
    // Tests give the hardware server their own transports.
    explicit FirmwareUpdater(QSharedPointer<CommunicatorFactory> transports, QObject* parent = nullptr);
    ~FirmwareUpdater() override;

    QList<QSharedPointer<MovraDeviceInfo>> getAvailableDevices(nsUpdater::DeviceIdentifier type) const;
    // Where the user is told what the reports cannot say, also by the
    // updates started afterwards; null (the default): no one is told.
    void setNotices(UpdateNotices* notices) { m_notices = notices; }
    bool isWaitingForChannels() const { return m_waitingForChannels; }
    void setWaitingForChannels(bool waiting) { m_waitingForChannels = waiting; }

    // What startUpdate did; the values are kept.
    enum class StartResult : int {
        // The update was handed to its communicator.
        Started = 0,
        // No such device, or no communicator for its type.
        NoSuchDevice = 1,
        // The file was refused (a downloaded one is deleted).
        FileRefused = 2,
        // The file name is not allowed for the type.
        FileNotAllowed = 3,
        // The device is on a link it cannot be reprogrammed over (the
        // Ethernet microscopes: over USB only).
        WrongLink = 4,
    };
    Q_ENUM(StartResult)

    StartResult startUpdate(const QString& filePath, int deviceType, const QString& uid, bool motherboardPhase,
                            bool serverMode);
    // Why the last start refused its file (FileRefused), as the reader said it;
    // empty when it gave no reason.
    QString fileRefusal() const { return m_fileRefusal; }

    // Force exit: the running update is cut off from the device and its
    // timers stopped; devices that arrive afterwards are classified again.
    void stopUpdate();

    // The type an update really runs with, from the file name and the phase.
    static int adjustUpdateType(int deviceType, const QString& filePath, bool motherboardPhase);

signals:
    void sendMessageToStatusBar(QString message, int timeout);
    void sendCommandToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd);
    void sendCtrlCmdToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd);
    void sendSerialCommandToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd);
    void sendBootloaderItemStatusToView(bool status);
    void sendMotherboardItemStatusToView(bool status);
    void sendChannelsItemStatusToView(bool status);
    void sendUSB3CommunicationItemStatusToView(bool status);
    void sendDeviceResponseToView(char msg, nsFirmware::MessageStatus status, int progress);
    void sendMessageToProgressDialog(QString detailsInformation);
    void sendCloseProgressDialog();
    void sendFileProgressToProgressDialog(QString detailsInformation);
    void sendInstalledVersionToView(QSharedPointer<nsUpdater::DeviceCommunicationInfo> infos);
    void sendDeviceConnectedToView(nsUpdater::DeviceIdentifier deviceID, QString name, QString uid, bool isConnected);
    void sendCommandReceivedToCommunicator(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data);
    void sendReconnectedToBootloader(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void sendStartMotherboardUpdate();
    void openUSBDevice(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void openEthernetDevice(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void openCameraDevice(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void openSerialDevice(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void closeSerialDevice(QSharedPointer<MovraDeviceInfo> deviceInfo);

public slots:
    void setReadyToReceiveDevice();

private slots:
    void onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void onCameraRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void onDeviceConnectionChanged(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isOpened);
    void onReconnectToBootloaderReceived(QString uid);
    void onReconnectToSerialBootloaderReceived(QString serialNumber);
    void onReconnectToUSB3CommunicatorReceived();
    void onSendInstalledVersionReceived(nsUpdater::DeviceIdentifier deviceID, nsFirmware::DeviceVersions deviceVersions,
                                        QString uid);
    void setVersions();
    void clearAvailableDevices();
    void onMicVersionReceived(QByteArray version);

protected:
    // The two factories: lookups in FirmwareFamilyRegistry, null where the
    // type has no communicator (yet). Tests put their own in.
    virtual AbstractFirmwareCommunicator* createVersionQueryCommunicator(int deviceType,
                                                                         const QSharedPointer<MovraDeviceInfo>& device);
    virtual AbstractFirmwareCommunicator*
    createUpdateCommunicator(int deviceType, const QSharedPointer<MovraDeviceInfo>& device, bool motherboardPhase);

private:
    void connectHardwareServer();
    void wireVersionQueryCommunicator(AbstractFirmwareCommunicator* communicator,
                                      const QSharedPointer<MovraDeviceInfo>& asked);
    void unwireVersionQueryCommunicator(AbstractFirmwareCommunicator* communicator);
    void wireUpdateCommunicator(AbstractFirmwareCommunicator* communicator);
    // A device a re-find may hand back: the updated device itself, or one
    // that arrived after the update started.
    bool mayBeFoundAgain(const QSharedPointer<MovraDeviceInfo>& device) const;

    QSharedPointer<MovraHardwareServer> m_hardwareServer;
    QList<QSharedPointer<MovraDeviceInfo>> m_availableDevices;
    QList<QSharedPointer<nsUpdater::DeviceCommunicationInfo>> m_communicationInfos;
    QSharedPointer<AbstractFirmwareCommunicator> m_updateCommunicator;
    QSharedPointer<QTimer> m_versionTimer;
    QList<AbstractFirmwareCommunicator*> m_versionQueryCommunicators;
    bool m_waitingForChannels = false;
    // The device the last start handed to its communicator, and every other
    // device listed at that moment: the update's reset takes away only the
    // first, and a re-find never hands back one of the others.
    QSharedPointer<MovraDeviceInfo> m_updatedDevice;
    QList<QSharedPointer<MovraDeviceInfo>> m_listedBeforeUpdate;
    QString m_fileRefusal;
    UpdateNotices* m_notices = nullptr;
};
