#pragma once

#include "device/stage/BaseConnection.h"

#include <string>

namespace zaber {
namespace motion {
namespace ascii {

// A chain on a serial port. The port closes when the last copy of the
// connection goes; device and axis handles do not keep it open.
class Connection : public BaseConnection
{
public:
    static constexpr int DefaultBaudRate = 115200;

    Connection() = default;

    // The third argument is kept for callers that ask for a direct port:
    // this library always talks to the port directly.
    static Connection openSerialPort(const std::string& portName, int baudRate = DefaultBaudRate, bool direct = false);

private:
    explicit Connection(QSharedPointer<AsciiSerialLink> link);
};

} // namespace ascii
} // namespace motion
} // namespace zaber
