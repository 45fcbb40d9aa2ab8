#include "tests/device/FakeCommunicator.h"

#include <QCoreApplication>
#include <QThread>

FakeCommunicator::FakeCommunicator(const QString& tag, QSharedPointer<FakeGrabber::Bus> bus, EventLog* log)
    : m_tag(tag)
    , m_bus(bus)
    , m_log(log)
{
}

void FakeCommunicator::log(const QString& what)
{
    const bool onGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    m_log->append(m_tag + QLatin1Char(':') + what + (onGuiThread ? QStringLiteral("@gui") : QString()));
}

void FakeCommunicator::onCommunicationThreadStarted()
{
    log(QStringLiteral("started"));
    startGrabber(QSharedPointer<FakeGrabber>::create(m_bus));
}

void FakeCommunicator::onCommunicationThreadStopped()
{
    stopGrabber();
    log(QStringLiteral("stopped"));
}

void FakeCommunicator::onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    m_devices.append(deviceInfo);
    emit sendDeviceInserted(deviceInfo);
}

void FakeCommunicator::onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    m_devices.removeAll(deviceInfo);
    emit sendDeviceRemoved(deviceInfo);
}

void FakeCommunicator::onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> device)
{
    log(QStringLiteral("open"));
    if (m_devices.contains(device))
        emit sendConnectionChanged(device, true);
}

void FakeCommunicator::onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> device)
{
    log(QStringLiteral("close"));
    if (m_devices.contains(device))
        emit sendConnectionChanged(device, false);
}

void FakeCommunicator::onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd)
{
    log(QStringLiteral("command:") + QString::fromLatin1(cmd.toHex()));
    if (!m_devices.contains(deviceInfo))
        return;
    emit sendCommandReceivedFromDevice(deviceInfo, QByteArray("re:") + cmd);
    emit sendDatagramReceivedFromDevice(cmd, qulonglong(cmd.size()));
}

void FakeCommunicator::onSendCtrlCmdToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd)
{
    Q_UNUSED(deviceInfo)
    log(QStringLiteral("ctrl:") + QString::fromLatin1(cmd.toHex()));
}

FakeCommunicatorFactory::FakeCommunicatorFactory(EventLog* log)
    : m_log(log)
{
}

QSharedPointer<AbstractCommunicator> FakeCommunicatorFactory::createUSBCommunicator()
{
    return QSharedPointer<FakeCommunicator>::create(QStringLiteral("usb"), usbBus, m_log);
}

QSharedPointer<AbstractCommunicator> FakeCommunicatorFactory::createEthernetCommunicator()
{
    return QSharedPointer<FakeCommunicator>::create(QStringLiteral("ethernet"), ethernetBus, m_log);
}

QSharedPointer<AbstractCommunicator> FakeCommunicatorFactory::createTISCameraCommunicator()
{
    return QSharedPointer<FakeCommunicator>::create(QStringLiteral("camera"), cameraBus, m_log);
}

QSharedPointer<AbstractCommunicator> FakeCommunicatorFactory::createSerialCommunicator()
{
    return QSharedPointer<FakeCommunicator>::create(QStringLiteral("serial"), serialBus, m_log);
}
