#include "device/stage/Device.h"

namespace zaber {
namespace motion {
namespace ascii {

Device::Device(QWeakPointer<AsciiSerialLink> link, int deviceAddress, int deviceId, UnitConverter converter)
    : m_link(link)
    , m_deviceAddress(deviceAddress)
    , m_deviceId(deviceId)
    , m_converter(converter)
{
}

BaseConnection Device::getConnection() const
{
    return BaseConnection(AsciiSerialLink::lock(m_link));
}

Axis Device::getAxis(int axisNumber) const
{
    return Axis(m_link, m_deviceAddress, axisNumber, m_converter);
}

} // namespace ascii
} // namespace motion
} // namespace zaber
