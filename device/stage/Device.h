#pragma once

#include "device/stage/AsciiSerialLink.h"
#include "device/stage/Axis.h"
#include "device/stage/BaseConnection.h"
#include "device/stage/UnitConverter.h"

#include <QWeakPointer>

namespace zaber {
namespace motion {
namespace ascii {

// A device of the chain as detection found it. A default-constructed
// device stands for none: its address and id are negative.
class Device
{
public:
    Device() = default;
    Device(QWeakPointer<AsciiSerialLink> link, int deviceAddress, int deviceId, UnitConverter converter);

    int getDeviceAddress() const { return m_deviceAddress; }
    int getDeviceId() const { return m_deviceId; }
    BaseConnection getConnection() const;
    Axis getAxis(int axisNumber) const;

private:
    QWeakPointer<AsciiSerialLink> m_link;
    int m_deviceAddress = -1;
    int m_deviceId = -1;
    UnitConverter m_converter;
};

} // namespace ascii
} // namespace motion
} // namespace zaber
