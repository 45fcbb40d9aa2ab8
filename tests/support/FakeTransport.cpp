#include "tests/support/FakeTransport.h"

#include "tests/support/FakeGrabber.h"

#include <QCoreApplication>
#include <QThread>

FakeTransport::FakeTransport(QSharedPointer<FakeMachine> machine, FakeMachine::Transport transport)
    : m_machine(machine)
    , m_transport(transport)
{
}

void FakeTransport::log(const QString& request, const QSharedPointer<MovraDeviceInfo>& device, const QByteArray& bytes)
{
    EventLog* log = m_machine->log();
    if (!log)
        return;
    QString entry = FakeMachine::nameOf(m_transport) + QLatin1Char(':') + request;
    if (device && !device->uid().isEmpty())
        entry += QLatin1Char(':') + device->uid();
    if (!bytes.isNull())
        entry += QLatin1Char(':') + QString::fromLatin1(bytes.toHex());
    if (QThread::currentThread() == QCoreApplication::instance()->thread())
        entry += QStringLiteral("@gui");
    log->append(entry);
}

void FakeTransport::onCommunicationThreadStarted()
{
    log(QStringLiteral("started"));
    startGrabber(QSharedPointer<FakeGrabber>::create(m_machine, m_transport));
}

void FakeTransport::onCommunicationThreadStopped()
{
    stopGrabber();
    log(QStringLiteral("stopped"));
}

void FakeTransport::onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    m_devices.append(deviceInfo);
    emit sendDeviceInserted(deviceInfo);
}

void FakeTransport::onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    m_devices.removeAll(deviceInfo);
    emit sendDeviceRemoved(deviceInfo);
}

void FakeTransport::announceAgain(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (m_devices.contains(deviceInfo))
        emit sendDeviceInserted(deviceInfo);
}

void FakeTransport::onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> device)
{
    log(QStringLiteral("open"), device);
    if (m_devices.contains(device))
        emit sendConnectionChanged(device, true);
}

void FakeTransport::onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> device)
{
    log(QStringLiteral("close"), device);
    if (m_devices.contains(device))
        emit sendConnectionChanged(device, false);
}

void FakeTransport::onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd)
{
    log(QStringLiteral("command"), deviceInfo, cmd.isNull() ? QByteArray("") : cmd);
    // A record this transport does not hold, or a device pulled out, answers nothing.
    if (!m_devices.contains(deviceInfo))
        return;
    for (const FakeDevice::Reply& reply : m_machine->repliesTo(deviceInfo, cmd)) {
        const QByteArray bytes = reply.to(cmd);
        switch (reply.channel) {
        case FakeDevice::Reply::Channel::Command: emit sendCommandReceivedFromDevice(deviceInfo, bytes); break;
        case FakeDevice::Reply::Channel::Usb3Command:
            emit sendCommandUSB3ReceivedFromDevice(deviceInfo, bytes, bytes.size());
            break;
        case FakeDevice::Reply::Channel::Data: emit sendDataReceivedFromDevice(deviceInfo, bytes); break;
        case FakeDevice::Reply::Channel::Datagram:
            emit sendDatagramReceivedFromDevice(bytes, qulonglong(bytes.size()));
            break;
        }
    }
}

void FakeTransport::onSendCtrlCmdToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd)
{
    log(QStringLiteral("ctrl"), deviceInfo, cmd.isNull() ? QByteArray("") : cmd);
}
