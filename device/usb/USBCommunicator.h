#pragma once

#include "device/AbstractCommunicator.h"
#include "device/usb/LibUSBApi.h"
#include "device/usb/USBDeviceHandler.h"

#include <QByteArray>
#include <QMap>
#include <QSharedPointer>

// The USB transport's communicator: one device handler per announced
// device, to which it hands the server's open, write and control requests,
// and whose replies and connection changes it relays.
class USBCommunicator : public AbstractCommunicator
{
    Q_OBJECT

public:
    explicit USBCommunicator(QObject* parent = nullptr);
    // The grabber and every handler use api, the real libusb by default.
    explicit USBCommunicator(QSharedPointer<LibUSBApi> api, QObject* parent = nullptr);
    ~USBCommunicator() override;

    QSharedPointer<USBDeviceHandler> handler(const QSharedPointer<MovraDeviceInfo>& deviceInfo) const;

signals:
    void sendCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd);
    void sendCommandUSB3ReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data, int length);
    void sendControlCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data, int length);
    void sendDataReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data);
    void sendConnectionChanged(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isOpened);

public slots:
    void onConnectionChanged(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isOpened);
    void onDataReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray message);
    void onCommandConfirmationReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray message);
    void onUSB3CommandConfirmationReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray message, int length);
    void onControlCommandConfirmationReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray message,
                                              int length);
    void onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> device) override;
    void onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> device) override;
    void onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd) override;
    virtual void onSendControlTransferToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd);
    virtual void onSendCtrlCmdToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd);
    void onCommunicationThreadStarted() override;
    void onCommunicationThreadStopped() override;

private slots:
    void onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo) override;
    void onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo) override;

private:
    // Ordered by the record's identity: equal records never share a handler.
    using HandlerMap = QMap<MovraDeviceInfo*, QPair<QSharedPointer<MovraDeviceInfo>, QSharedPointer<USBDeviceHandler>>>;

    QSharedPointer<LibUSBApi> m_api;
    HandlerMap m_handlers;
};
