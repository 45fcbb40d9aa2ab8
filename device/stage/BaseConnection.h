#pragma once

#include "device/stage/AsciiSerialLink.h"
#include "device/stage/Response.h"

#include <QSharedPointer>

#include <string>
#include <vector>

namespace zaber {
namespace motion {
namespace ascii {

class Device;

// The chain as a whole: commands to any device by address, homing of every
// axis and the list of devices. Copies share one link.
class BaseConnection
{
public:
    BaseConnection() = default;
    explicit BaseConnection(QSharedPointer<AsciiSerialLink> link);

    // A time-out of 0 takes the library's reply time-out. With checkErrors a
    // refusal or a fault raises; the reply is returned either way.
    Response genericCommand(const std::string& command, int device = 0, int axis = 0, bool checkErrors = true,
                            int timeout = 0) const;
    // Starts homing every axis of every device; returns the addresses of the
    // devices that accepted. A device without axes refuses and is skipped.
    std::vector<int> homeAll(bool waitUntilIdle = true) const;
    // The devices that answer, by address. With identifyDevices each device
    // gets its length resolution, so that millimetres can be used.
    std::vector<Device> detectDevices(bool identifyDevices = true) const;

protected:
    QSharedPointer<AsciiSerialLink> link() const;

    QSharedPointer<AsciiSerialLink> m_link;
};

} // namespace ascii
} // namespace motion
} // namespace zaber
