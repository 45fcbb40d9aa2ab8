#include "device/serial/SerialDeviceIdentifier.h"

const QByteArray SerialDeviceIdentifier::StageChainReply = QByteArrayLiteral("OK IDLE");
const QByteArray SerialDeviceIdentifier::PumpReply = QByteArrayLiteral("BEEP");

namespace {
constexpr int StageChainProtocol = 0;
constexpr int PumpProtocol = 1;
} // namespace

SerialDeviceIdentifier::SerialDeviceIdentifier(QSharedPointer<MovraDeviceInfo> deviceInfo, QObject* parent)
    : QObject(parent)
    , m_deviceInfo(deviceInfo)
    , m_port(new QSerialPort(this))
    , m_timer(new QTimer(this))
{
    initializeTestProtocols();
    m_port->setPortName(m_deviceInfo ? m_deviceInfo->name() : QString());
    connect(m_port, &QSerialPort::readyRead, this, &SerialDeviceIdentifier::onReadyReadReceived);
    connect(m_port, &QSerialPort::errorOccurred, this, &SerialDeviceIdentifier::onErrorOccured);
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &SerialDeviceIdentifier::commandTestedTimeout);
    sendNextTestCommand();
}

SerialDeviceIdentifier::~SerialDeviceIdentifier()
{
    m_timer->stop();
    if (m_port->isOpen())
        m_port->close();
}

void SerialDeviceIdentifier::initializeTestProtocols()
{
    m_testCommands[StageChainProtocol] = { QByteArrayLiteral("/1 get deviceid\r"),
                                           QByteArrayLiteral("/2 get deviceid\r"),
                                           QByteArrayLiteral("/3 get deviceid\r") };
    m_expectedReplies[StageChainProtocol] = StageChainReply;
    m_baudRates[StageChainProtocol] = QSerialPort::Baud115200;
    m_driverTypes[StageChainProtocol] = DriverType::ZaberChain;

    m_testCommands[PumpProtocol] = { QByteArrayLiteral("\r\n"), QByteArrayLiteral("F5 \r\n") };
    m_expectedReplies[PumpProtocol] = PumpReply;
    m_baudRates[PumpProtocol] = QSerialPort::Baud9600;
    m_driverTypes[PumpProtocol] = DriverType::WPIPumpDriver;

    m_protocolIndex = 0;
    m_commandIndex = 0;
    m_isIdentified = false;
    m_receivedData.clear();
}

void SerialDeviceIdentifier::sendNextTestCommand()
{
    const QByteArray command = m_testCommands.value(m_protocolIndex).value(m_commandIndex);
    m_port->setBaudRate(m_baudRates.value(m_protocolIndex), QSerialPort::AllDirections);
    // A port that does not open simply gives no reply.
    m_port->open(QIODevice::ReadWrite);
    m_port->flush();
    m_port->clear(QSerialPort::AllDirections);
    m_port->clearError();
    m_port->write(command);
    m_timer->start(CommandWindowMs);
}

void SerialDeviceIdentifier::resetPort()
{
    m_receivedData.clear();
    m_port->flush();
    m_port->clear(QSerialPort::AllDirections);
    m_port->clearError();
    m_port->close();
}

void SerialDeviceIdentifier::onReadyReadReceived()
{
    m_receivedData.append(m_port->readAll());
}

void SerialDeviceIdentifier::onErrorOccured(QSerialPort::SerialPortError error)
{
    Q_UNUSED(error)
}

void SerialDeviceIdentifier::commandTestedTimeout()
{
    if (m_hasReported)
        return;
    // Whatever came in this window, before the port is cleared.
    if (m_port->isOpen())
        m_receivedData.append(m_port->readAll());
    const bool matched = m_receivedData.contains(m_expectedReplies.value(m_protocolIndex));
    resetPort();

    if (matched) {
        m_isIdentified = true;
        m_hasReported = true;
        if (m_deviceInfo)
            m_deviceInfo->setDriverType(m_driverTypes.value(m_protocolIndex));
        emit sendDeviceIdentified(m_deviceInfo);
        return;
    }

    ++m_commandIndex;
    if (m_commandIndex >= m_testCommands.value(m_protocolIndex).size()) {
        m_commandIndex = 0;
        ++m_protocolIndex;
    }
    if (!m_testCommands.contains(m_protocolIndex)) {
        m_hasReported = true;
        emit sendDeviceNotIdentified(m_deviceInfo);
        return;
    }
    sendNextTestCommand();
}
