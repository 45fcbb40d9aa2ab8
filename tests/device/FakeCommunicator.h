#pragma once

#include "device/AbstractCommunicator.h"
#include "device/CommunicatorFactory.h"
#include "tests/device/FakeGrabber.h"
#include "tests/support/EventLog.h"

#include <QList>

// A transport for the hardware server's tests: it answers every command it
// is given, logs what reached it and offers the signals of every real
// transport, so the server wires it as it wires the real ones.
class FakeCommunicator : public AbstractCommunicator
{
    Q_OBJECT

public:
    FakeCommunicator(const QString& tag, QSharedPointer<FakeGrabber::Bus> bus, EventLog* log);

signals:
    void sendCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data);
    void sendCommandUSB3ReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data, int length);
    void sendDataReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data);
    void sendDatagramReceivedFromDevice(QByteArray datagram, qulonglong size);

public slots:
    void onCommunicationThreadStarted() override;
    void onCommunicationThreadStopped() override;
    void onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo) override;
    void onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo) override;
    void onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> device) override;
    void onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> device) override;
    void onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd) override;
    void onSendCtrlCmdToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd);

private:
    void log(const QString& what);

    QString m_tag;
    QSharedPointer<FakeGrabber::Bus> m_bus;
    EventLog* m_log;
    QList<QSharedPointer<MovraDeviceInfo>> m_devices;
};

class FakeCommunicatorFactory : public CommunicatorFactory
{
public:
    explicit FakeCommunicatorFactory(EventLog* log);

    QSharedPointer<AbstractCommunicator> createUSBCommunicator() override;
    QSharedPointer<AbstractCommunicator> createEthernetCommunicator() override;
    QSharedPointer<AbstractCommunicator> createTISCameraCommunicator() override;
    QSharedPointer<AbstractCommunicator> createSerialCommunicator() override;

    QSharedPointer<FakeGrabber::Bus> usbBus = QSharedPointer<FakeGrabber::Bus>::create();
    QSharedPointer<FakeGrabber::Bus> ethernetBus = QSharedPointer<FakeGrabber::Bus>::create();
    QSharedPointer<FakeGrabber::Bus> cameraBus = QSharedPointer<FakeGrabber::Bus>::create();
    QSharedPointer<FakeGrabber::Bus> serialBus = QSharedPointer<FakeGrabber::Bus>::create();

private:
    EventLog* m_log;
};
