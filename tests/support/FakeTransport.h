#pragma once

#include "device/AbstractCommunicator.h"
#include "tests/support/FakeMachine.h"

#include <QList>
#include <QSharedPointer>

// One transport of a FakeMachine. It offers the signals and slots of every
// real transport, so that the hardware server wires it as it wires the real
// one of its kind; it lives in the server's communication thread and starts
// its FakeGrabber in a grabber thread of its own. It opens and closes the
// devices its grabber announced and sends back, for each command, the
// replies that the plugged device's description gives. USB control
// commands are only written to the log.
class FakeTransport : public AbstractCommunicator
{
    Q_OBJECT

public:
    FakeTransport(QSharedPointer<FakeMachine> machine, FakeMachine::Transport transport);

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
    // Announces a held record again (FakeMachine::announceAgain).
    void announceAgain(QSharedPointer<MovraDeviceInfo> deviceInfo);

private:
    void log(const QString& request, const QSharedPointer<MovraDeviceInfo>& device = {}, const QByteArray& bytes = {});

    QSharedPointer<FakeMachine> m_machine;
    FakeMachine::Transport m_transport;
    QList<QSharedPointer<MovraDeviceInfo>> m_devices;
};
