#pragma once

#include "device/AbstractCommunicator.h"

#include <QByteArray>
#include <QMap>
#include <QSharedPointer>
#include <QString>
#include <QUdpSocket>

// The Ethernet transport's communicator: one UDP socket bound to the host
// address while a device is known, datagrams sent to the device address and
// received ones handed on raw (the hardware server reads the microscope's
// version out of them).
class EthernetCommunicator : public AbstractCommunicator
{
    Q_OBJECT

public:
    static constexpr int SendPauseMs = 3;
    static constexpr int CloseFlushWaitMs = 1500;
    static constexpr int ClosePauseMs = 1000;

    explicit EthernetCommunicator(QObject* parent = nullptr);
    ~EthernetCommunicator() override;

    // The socket, null while no device is known.
    QUdpSocket* socket() const { return m_socket.data(); }

signals:
    void sendDatagramReceivedFromDevice(QByteArray datagram, qulonglong size);
    // The shape of the other transports' reply signals; replies come only
    // as datagrams here, so these are never emitted.
    void sendCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd);
    void sendDataReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data);

public slots:
    void onCommunicationThreadStarted() override;
    void onCommunicationThreadStopped() override;
    void onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo) override;
    void onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo) override;
    void onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> device) override;
    void onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> device) override;
    void onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd) override;

private slots:
    void processPendingDatagrams();

private:
    void openSocket();
    void closeSocket();

    QSharedPointer<QUdpSocket> m_socket;
    QMap<QSharedPointer<MovraDeviceInfo>, QString> m_devices;
};
