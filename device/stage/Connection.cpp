#include "device/stage/Connection.h"

namespace zaber {
namespace motion {
namespace ascii {

Connection::Connection(QSharedPointer<AsciiSerialLink> link)
    : BaseConnection(link)
{
}

Connection Connection::openSerialPort(const std::string& portName, int baudRate, bool)
{
    auto link = QSharedPointer<AsciiSerialLink>::create();
    link->open(QString::fromLocal8Bit(portName.c_str()), baudRate);
    return Connection(link);
}

} // namespace ascii
} // namespace motion
} // namespace zaber
