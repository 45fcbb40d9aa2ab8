#include "device/serial/SerialCommunicator.h"

#include "device/serial/SerialGrabber.h"

#include <QDebug>

SerialCommunicator::SerialCommunicator(QObject* parent)
    : SerialCommunicator(QSharedPointer<SerialPortLister>(), parent)
{
}

SerialCommunicator::SerialCommunicator(QSharedPointer<SerialPortLister> lister, QObject* parent)
    : AbstractCommunicator(parent)
    , m_lister(lister ? lister : QSharedPointer<SerialPortLister>::create())
{
}

SerialCommunicator::~SerialCommunicator()
{
    for (SerialDeviceIdentifier* identifier : qAsConst(m_identifiers)) {
        disconnect(identifier, nullptr, this, nullptr);
        delete identifier;
    }
    m_identifiers.clear();
    for (QSerialPort* port : qAsConst(m_ports)) {
        disconnect(port, nullptr, this, nullptr);
        if (port->isOpen())
            port->close();
        delete port;
    }
    m_ports.clear();
    for (const auto& handler : qAsConst(m_stageHandlers))
        connectStageHandler(handler.data(), false);
    m_stageHandlers.clear();
}

qint32 SerialCommunicator::baudRateFor(DriverType driverType)
{
    return driverType == DriverType::WPIPumpDriver ? PumpBaudRate : DefaultBaudRate;
}

void SerialCommunicator::onCommunicationThreadStarted()
{
    startGrabber(QSharedPointer<SerialGrabber>(new SerialGrabber(m_lister), &QObject::deleteLater));
}

void SerialCommunicator::onCommunicationThreadStopped()
{
    stopGrabber();
}

void SerialCommunicator::onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (!deviceInfo)
        return;
    if (deviceInfo->driverType() == DriverType::Undefined) {
        if (m_identifiers.contains(deviceInfo))
            releaseIdentifier(deviceInfo);
        auto* identifier = new SerialDeviceIdentifier(deviceInfo);
        connect(identifier, &SerialDeviceIdentifier::sendDeviceIdentified, this,
                &SerialCommunicator::onDeviceIdentified);
        connect(identifier, &SerialDeviceIdentifier::sendDeviceNotIdentified, this,
                &SerialCommunicator::onDeviceNonIdentified);
        m_identifiers.insert(deviceInfo, identifier);
        return;
    }
    attachPort(deviceInfo);
    emit sendDeviceInserted(deviceInfo);
}

void SerialCommunicator::attachPort(const QSharedPointer<MovraDeviceInfo>& deviceInfo)
{
    if (QSerialPort* previous = m_ports.take(deviceInfo)) {
        disconnect(previous, nullptr, this, nullptr);
        delete previous;
    }
    auto* port = new QSerialPort(deviceInfo->name());
    connect(port, &QSerialPort::errorOccurred, this, &SerialCommunicator::onErrorOccured);
    connect(port, &QSerialPort::readyRead, this, &SerialCommunicator::onReadyReadReceived);
    m_ports.insert(deviceInfo, port);
}

void SerialCommunicator::releaseIdentifier(const QSharedPointer<MovraDeviceInfo>& deviceInfo)
{
    SerialDeviceIdentifier* identifier = m_identifiers.take(deviceInfo);
    if (!identifier)
        return;
    disconnect(identifier, nullptr, this, nullptr);
    identifier->deleteLater();
}

void SerialCommunicator::onDeviceIdentified(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    releaseIdentifier(deviceInfo);
    if (!deviceInfo)
        return;
    if (deviceInfo->driverType() == DriverType::ZaberChain) {
        auto handler = QSharedPointer<SerialZaberDeviceHandler>::create(deviceInfo);
        // A chain that does not connect is never reported; its handler has
        // marked the record unavailable.
        if (!handler->openConnection())
            return;
        handler->initialize();
        connectStageHandler(handler.data(), true);
        m_stageHandlers.insert(deviceInfo, handler);
        emit sendDeviceInserted(deviceInfo);
        return;
    }
    attachPort(deviceInfo);
    emit sendDeviceInserted(deviceInfo);
}

void SerialCommunicator::onDeviceNonIdentified(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    releaseIdentifier(deviceInfo);
    if (deviceInfo)
        deviceInfo->setStatus(DeviceStatus::Unavailable);
}

void SerialCommunicator::onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (!deviceInfo)
        return;
    releaseIdentifier(deviceInfo);

    if (QSerialPort* port = m_ports.take(deviceInfo)) {
        disconnect(port, nullptr, this, nullptr);
        if (port->isOpen())
            port->close();
        delete port;
        emit sendDeviceRemoved(deviceInfo);
        return;
    }

    const QSharedPointer<SerialZaberDeviceHandler> handler = m_stageHandlers.take(deviceInfo);
    if (handler) {
        connectStageHandler(handler.data(), false);
        emit sendDeviceRemoved(deviceInfo);
    }
}

void SerialCommunicator::onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> device)
{
    QSerialPort* port = m_ports.value(device);
    if (!port)
        return;
    port->close();
    if (!port->open(QIODevice::ReadWrite)) {
        qInfo().noquote() << "Serial port" << port->portName() << "did not open:" << port->errorString();
        return;
    }
    port->setBaudRate(baudRateFor(device->driverType()), QSerialPort::AllDirections);
    // A port without modem lines (a pseudo-terminal, some adapters) refuses
    // them; the port still works.
    if (!port->setRequestToSend(true) || !port->setDataTerminalReady(true))
        qInfo().noquote() << "Serial port" << port->portName() << "has no RTS/DTR lines:" << port->errorString();
    port->flush();
    port->clear(QSerialPort::AllDirections);
    port->clearError();
    emit sendConnectionChanged(device, true);
}

void SerialCommunicator::onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> device)
{
    QSerialPort* port = m_ports.value(device);
    if (!port || !port->isOpen())
        return;
    port->flush();
    port->clear(QSerialPort::AllDirections);
    port->clearError();
    port->close();
    emit sendConnectionChanged(device, false);
}

void SerialCommunicator::onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd)
{
    QSerialPort* port = m_ports.value(deviceInfo);
    if (!port || !port->isOpen())
        return;
    port->flush();
    // QSerialPort keeps what the port does not take at once and sends it
    // as the port drains, so every byte goes out.
    if (port->write(cmd) != cmd.size())
        qInfo().noquote() << "Serial port" << port->portName() << "refused a command:" << port->errorString();
}

void SerialCommunicator::onReadyReadReceived()
{
    auto* port = qobject_cast<QSerialPort*>(sender());
    if (!port)
        return;
    const QSharedPointer<MovraDeviceInfo> deviceInfo = m_ports.key(port);
    if (!deviceInfo)
        return;
    const QByteArray bytes = port->readAll();
    emit sendCommandReceivedFromDevice(deviceInfo, bytes);
}

void SerialCommunicator::onErrorOccured(QSerialPort::SerialPortError error)
{
    Q_UNUSED(error)
}

void SerialCommunicator::connectStageHandler(SerialZaberDeviceHandler* handler, bool doConnect)
{
    using H = SerialZaberDeviceHandler;
    using C = SerialCommunicator;
    if (!doConnect) {
        disconnect(handler, nullptr, this, nullptr);
        disconnect(this, nullptr, handler, nullptr);
        return;
    }
    connect(handler, &H::sendXYPositionToController, this, &C::sendXYPositionReceivedFromDevice);
    connect(handler, &H::sendZPositionToController, this, &C::sendZPositionReceivedFromDevice);
    connect(handler, &H::sendAxisLimitsToController, this, &C::sendAxisLimitsReceivedFromDevice);
    connect(handler, &H::sendAxisPositionConfirmationToController, this,
            &C::sendAxisPositionConfirmationReceivedFromDevice);

    connect(this, &C::sendJoystickTargetAxisToDevice, handler, &H::onSetJoystickTargetAxisReceived);
    connect(this, &C::sendJoystickSpeedProfileToDevice, handler, &H::onSetJoystickSpeedProfileReceived);
    connect(this, &C::sendJoystickMaxSpeedToDevice, handler, &H::onSetJoystickMaxSpeedReceived);
    connect(this, &C::sendJoystickResolutionToDevice, handler, &H::onSetJoystickResolutionReceived);
    connect(this, &C::sendAddJoystickKeyActionToDevice, handler, &H::onAddJoystickKeyActionReceived);
    connect(this, &C::sendClearJoystickKeyActionToDevice, handler, &H::onClearJoystickKeyActionReceived);
    connect(this, &C::sendAskForAxisLimitsToDevice, handler, &H::onGetAxisLimitsReceived);
    connect(this, &C::sendStartStopGetXYPositionToDevice, handler, &H::onStartStopGetXYAxesPositionReceived,
            Qt::QueuedConnection);
    connect(this, &C::sendStartStopGetZPositionToDevice, handler, &H::onStartStopGetZAxesPositionReceived,
            Qt::QueuedConnection);
    connect(this, &C::sendSetGetXYPositionUnitsToDevice, handler, &H::onSetGetXYPositionUnitsReceived);
    connect(this, &C::sendSetGetZPositionUnitsToDevice, handler, &H::onSetGetZPositionUnitsReceived);
    connect(this, &C::sendSetAxisAbsolutePositionToDevice, handler, &H::onSetAxisAbsolutePositionReceived);
    connect(this, &C::sendSetAxisRelativePositionToDevice, handler, &H::onSetAxisRelativePositionReceived);
    connect(this, &C::sendResetAxisToHomeToDevice, handler, &H::onResetAxisToHomeReceived);
}
