#pragma once

#include "device/stage/Response.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QScopedPointer>
#include <QSerialPort>
#include <QSharedPointer>
#include <QString>
#include <QWeakPointer>

#include <optional>

namespace zaber {
namespace motion {
namespace ascii {

// The chain's serial port and its line protocol: one command out, the
// matching reply back, blocking the calling thread meanwhile. Every call
// must come from the thread that opened the link.
class AsciiSerialLink
{
public:
    static constexpr int ReplyTimeoutMs = 500;
    // A broadcast is over once no device has answered for this long.
    static constexpr int BroadcastQuietMs = 100;
    static constexpr int IdlePollMs = 20;
    static constexpr int IdleTimeoutMs = 30000;

    // The link behind a device or axis handle; raises once its connection is gone.
    static QSharedPointer<AsciiSerialLink> lock(const QWeakPointer<AsciiSerialLink>& link);

    AsciiSerialLink();
    ~AsciiSerialLink();
    AsciiSerialLink(const AsciiSerialLink&) = delete;
    AsciiSerialLink& operator=(const AsciiSerialLink&) = delete;

    void open(const QString& portName, int baudRate);
    void close();
    bool isOpen() const;

    // Sends "/<device> <axis> <command>" and returns the reply of that device
    // and axis; a time-out of 0 takes ReplyTimeoutMs.
    Response request(int deviceAddress, int axisNumber, const QByteArray& command, int timeoutMs = 0);
    // Sends the command to every device and returns each device's reply.
    QList<Response> broadcast(const QByteArray& command);
    // Polls the axis until it reports IDLE; raises on a fault or a time-out.
    Response waitUntilIdle(int deviceAddress, int axisNumber);

private:
    void send(int deviceAddress, int axisNumber, const QByteArray& command);
    // The next reply line, or no value when the deadline passed first.
    std::optional<QByteArray> readLine(const QDeadlineTimer& deadline);
    [[noreturn]] void portLost();

    QScopedPointer<QSerialPort> m_port;
    QString m_portName;
    QByteArray m_buffer;
};

} // namespace ascii
} // namespace motion
} // namespace zaber
