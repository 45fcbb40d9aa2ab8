#pragma once

#include "device/MovraDeviceInfo.h"
#include "device/usb/AbstractLibUSBEndpoint.h"
#include "device/usb/LibUSBApi.h"
#include "device/usb/QLibUSBEventsThread.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSharedPointer>

// Drives one USB device: its own library context and events thread, its
// interface, one endpoint object per endpoint, writes and vendor control
// transfers. Lives in the USB communication thread.
class USBDeviceHandler : public QObject
{
    Q_OBJECT

public:
    static constexpr int WritePauseMs = 5;
    static constexpr unsigned int ControlTimeoutMs = 2000;
    static constexpr int ControlHeaderSize = 7;
    // How long destruction lets in-flight transfers come back cancelled.
    static constexpr int CancellationWaitMs = 1000;

    explicit USBDeviceHandler(QSharedPointer<MovraDeviceInfo> deviceInfo, QObject* parent = nullptr);
    USBDeviceHandler(QSharedPointer<MovraDeviceInfo> deviceInfo, QSharedPointer<LibUSBApi> api,
                     QObject* parent = nullptr);
    ~USBDeviceHandler() override;

    bool isOpen() const { return m_open; }
    bool isClosing() const { return m_closing; }
    QList<QSharedPointer<AbstractLibUSBEndpoint>> endpoints() const { return m_endpoints; }

    int setupEndpoints(libusb_device* device);
    void finishClose();

signals:
    void sendNewCommandConfirmationReceivedToController(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray message);
    void sendNewUSB3CommandConfirmationReceivedToController(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                            QByteArray message, int length);
    void sendNewControlCommandConfirmationReceivedToController(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                               QByteArray message, int length);
    void sendNewDataReceivedToController(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray message);
    void sendConnectionChanged(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isOpened);

public slots:
    void open();
    void close();
    void sendCommandToDevice(QByteArray cmd);
    void sendControlTransferToDevice(QByteArray cmd);
    void sendCtrlCmdToDevice(QByteArray cmd);

private slots:
    void onSendNewUSBDataReceived(QByteArray message);
    void onSendNewUSBCommandReceived(QByteArray message);
    void onSendNewUSB3CommandReceived(QByteArray message, int length);
    void onEndpointCancellationConfirmationReceived();

private:
    int openDevice(libusb_device* device);
    void abandonOpen();
    // Returns the reply, or a null array when the command failed.
    QByteArray controlCommand(const QByteArray& cmd);
    bool anyCancellationPending() const;

    bool m_closing = false;
    bool m_open = false;
    quint8 m_configurationValue = 0;
    quint8 m_interfaceNumber = 0;
    quint8 m_alternateSetting = 0;
    // The first configuration has an interface to claim, and open claimed it.
    bool m_hasInterface = false;
    bool m_interfaceClaimed = false;
    QSharedPointer<LibUSBApi> m_api;
    libusb_context* m_context = nullptr;
    bool m_contextReady = false;
    libusb_device_handle* m_deviceHandle = nullptr;
    QSharedPointer<MovraDeviceInfo> m_deviceInfo;
    QSharedPointer<QLibUSBEventsThread> m_eventsThread;
    QList<QSharedPointer<AbstractLibUSBEndpoint>> m_endpoints;
};
