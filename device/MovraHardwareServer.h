#pragma once

#include "device/AbstractCommunicator.h"
#include "device/CommunicatorFactory.h"
#include "device/MovraDeviceInfo.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QThread>

// The device-side hub: runs each transport's communicator in a thread of its
// own and relays arrivals, removals, replies and requests between the
// transports and the firmware updater. Lives in the GUI thread.
class MovraHardwareServer : public QObject
{
    Q_OBJECT

public:
    static constexpr int ThreadStopWaitMs = 2000;
    static constexpr int MicVersionDatagramSize = 16;

    explicit MovraHardwareServer(QObject* parent = nullptr);
    explicit MovraHardwareServer(QSharedPointer<CommunicatorFactory> factory, QObject* parent = nullptr);
    ~MovraHardwareServer() override;

    void startCommunicationThreads();
    void stopCommunicationThreads();

signals:
    void deviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void deviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void cameraRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void commandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data);
    void commandUSB3ReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data, int length);
    void dataReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data);
    void deviceConnectionChanged(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isOpened);
    void sendMicVersionReceived(QByteArray firmwareVersion);

    void openUSBDeviceReceivedFromUpdater(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void openEthernetDeviceReceivedFromUpdater(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void openCameraDeviceReceivedFromUpdater(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void openSerialDeviceReceivedFromUpdater(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void closeSerialDeviceReceivedFromUpdater(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void sendcommandToDeviceFromUpdater(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd);
    void sendcommandToEthernetFromUpdater(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd);
    void sendCtrlCmdToDeviceFromUpdater(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd);
    void sendSerialCommandToDeviceFromUpdater(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd);

public slots:
    void initializeCommunicators();
    void initializeUSBCommunicator();
    void initializeEthernetCommunicator();
    void initializeTISCameraCommunicator();
    void initializeSerialCommunicator();
    void commandReceivedFromUpdater(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd);

private slots:
    void onDatagramReceivedFromDevice(QByteArray datagram, qulonglong size);

private:
    struct Relay
    {
        bool fromCommunicator; // else from this server to the communicator
        const char* source;
        const char* target;
        Qt::ConnectionType type;
    };

    QSharedPointer<AbstractCommunicator> initializeCommunicator(QSharedPointer<AbstractCommunicator> communicator,
                                                                bool isCamera, const QList<Relay>& relays);
    // Connects an optional relay; warns when the server's end is missing or
    // the transport has the name under another signature.
    bool connectByName(QObject* sender, const char* signal, QObject* receiver, const char* method,
                       Qt::ConnectionType type);

    QSharedPointer<CommunicatorFactory> m_factory;
    QList<QSharedPointer<QThread>> m_communicationThreads;
    QSharedPointer<AbstractCommunicator> m_usbCommunicator;
    QSharedPointer<AbstractCommunicator> m_ethernetCommunicator;
    QSharedPointer<AbstractCommunicator> m_cameraCommunicator;
    QSharedPointer<AbstractCommunicator> m_serialCommunicator;
};
