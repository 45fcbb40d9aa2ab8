#pragma once

#include "firmware/updater/FirmwareUpdater.h"

#include <QPointer>
#include <QStringList>

// A communicator that asks nothing and answers nothing: it stands in for a
// family this build does not have, where a test needs one.
class SilentCommunicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    explicit SilentCommunicator(QObject* parent = nullptr);

    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;
    bool sendBootloaderCommand(char command, QSharedPointer<MovraDeviceInfo> device) override;
    void askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device) override;

public slots:
    void onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data) override;
};

// The firmware updater with its two factories watched: which communicator
// each start made, for which adjusted type.
class ObservedUpdater : public FirmwareUpdater
{
    Q_OBJECT

public:
    using FirmwareUpdater::FirmwareUpdater;

    bool silentTV720 = false;
    // When above 0, the re-send interval of the update communicators made
    // from now on; their re-send count stays the program's.
    int retryIntervalMs = 0;
    QList<int> updateTypes;
    QStringList updateCommunicators; // class name, or "none"
    QList<QPointer<AbstractFirmwareCommunicator>> madeForUpdates;

protected:
    AbstractFirmwareCommunicator*
    createVersionQueryCommunicator(int deviceType, const QSharedPointer<MovraDeviceInfo>& device) override;
    AbstractFirmwareCommunicator* createUpdateCommunicator(int deviceType,
                                                           const QSharedPointer<MovraDeviceInfo>& device,
                                                           bool motherboardPhase) override;
};
