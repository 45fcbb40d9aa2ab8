#include "device/stage/AsciiSerialLink.h"

#include "device/stage/MotionLibException.h"

#include <QThread>

namespace zaber {
namespace motion {
namespace ascii {

QSharedPointer<AsciiSerialLink> AsciiSerialLink::lock(const QWeakPointer<AsciiSerialLink>& link)
{
    QSharedPointer<AsciiSerialLink> strong = link.toStrongRef();
    if (!strong)
        throw MotionLibException(QStringLiteral("the connection is closed"));
    return strong;
}

AsciiSerialLink::AsciiSerialLink() = default;

AsciiSerialLink::~AsciiSerialLink()
{
    close();
}

void AsciiSerialLink::open(const QString& portName, int baudRate)
{
    close();
    m_portName = portName;
    m_port.reset(new QSerialPort);
    m_port->setPortName(portName);
    m_port->setBaudRate(baudRate);
    if (!m_port->open(QIODevice::ReadWrite)) {
        const QString reason = m_port->errorString();
        m_port.reset();
        throw MotionLibException(QStringLiteral("cannot open port %1: %2").arg(portName, reason));
    }
    m_port->clear();
}

void AsciiSerialLink::close()
{
    if (m_port && m_port->isOpen())
        m_port->close();
    m_port.reset();
    m_buffer.clear();
}

bool AsciiSerialLink::isOpen() const
{
    return m_port && m_port->isOpen();
}

void AsciiSerialLink::portLost()
{
    const QString reason = m_port ? m_port->errorString() : QStringLiteral("closed");
    close();
    throw MotionLibException(QStringLiteral("port %1 lost: %2").arg(m_portName, reason));
}

void AsciiSerialLink::send(int deviceAddress, int axisNumber, const QByteArray& command)
{
    if (!isOpen())
        throw MotionLibException(QStringLiteral("port %1 is not open").arg(m_portName));
    // A late reply to an earlier command must not pass for this one's.
    m_buffer.clear();
    m_port->readAll();
    QByteArray line = "/" + QByteArray::number(deviceAddress) + ' ' + QByteArray::number(axisNumber);
    if (!command.isEmpty())
        line += ' ' + command;
    line += "\r\n";
    if (m_port->write(line) != line.size() || !m_port->waitForBytesWritten(ReplyTimeoutMs))
        portLost();
}

std::optional<QByteArray> AsciiSerialLink::readLine(const QDeadlineTimer& deadline)
{
    while (true) {
        const int end = m_buffer.indexOf('\n');
        if (end >= 0) {
            const QByteArray line = m_buffer.left(end).trimmed();
            m_buffer.remove(0, end + 1);
            if (!line.isEmpty())
                return line;
            continue;
        }
        if (!m_port->bytesAvailable()) {
            if (deadline.hasExpired())
                return std::nullopt;
            if (!m_port->waitForReadyRead(int(deadline.remainingTime()))) {
                if (m_port->error() != QSerialPort::TimeoutError && m_port->error() != QSerialPort::NoError)
                    portLost();
                m_port->clearError();
                continue;
            }
        }
        m_buffer += m_port->readAll();
    }
}

Response AsciiSerialLink::request(int deviceAddress, int axisNumber, const QByteArray& command, int timeoutMs)
{
    send(deviceAddress, axisNumber, command);
    const int timeout = timeoutMs > 0 ? timeoutMs : ReplyTimeoutMs;
    const QDeadlineTimer deadline(timeout);
    while (const std::optional<QByteArray> line = readLine(deadline)) {
        const std::optional<Response> reply = Response::parse(*line);
        if (reply && reply->deviceAddress() == deviceAddress && reply->axisNumber() == axisNumber)
            return *reply;
    }
    throw MotionLibException(QStringLiteral("no reply from device %1 axis %2 to \"%3\" within %4 ms")
                                 .arg(deviceAddress)
                                 .arg(axisNumber)
                                 .arg(QString::fromLatin1(command))
                                 .arg(timeout));
}

QList<Response> AsciiSerialLink::broadcast(const QByteArray& command)
{
    send(0, 0, command);
    QList<Response> replies;
    QDeadlineTimer deadline(ReplyTimeoutMs);
    while (const std::optional<QByteArray> line = readLine(deadline)) {
        if (const std::optional<Response> reply = Response::parse(*line)) {
            replies << *reply;
            deadline.setRemainingTime(BroadcastQuietMs);
        }
    }
    if (replies.isEmpty()) {
        throw MotionLibException(QStringLiteral("no device answered \"%1\" within %2 ms")
                                     .arg(QString::fromLatin1(command))
                                     .arg(ReplyTimeoutMs));
    }
    return replies;
}

Response AsciiSerialLink::waitUntilIdle(int deviceAddress, int axisNumber)
{
    const QDeadlineTimer deadline(IdleTimeoutMs);
    while (true) {
        // The empty command only asks for the status.
        const Response reply = request(deviceAddress, axisNumber, QByteArray());
        reply.check("");
        if (!reply.isBusy())
            return reply;
        if (deadline.hasExpired()) {
            throw MotionLibException(QStringLiteral("device %1 axis %2 still busy after %3 ms")
                                         .arg(deviceAddress)
                                         .arg(axisNumber)
                                         .arg(IdleTimeoutMs));
        }
        QThread::msleep(IdlePollMs);
    }
}

} // namespace ascii
} // namespace motion
} // namespace zaber
