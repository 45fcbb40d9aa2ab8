#include "device/stage/Axis.h"

#include "device/stage/MotionLibException.h"

namespace zaber {
namespace motion {
namespace ascii {

Axis::Axis(QWeakPointer<AsciiSerialLink> link, int deviceAddress, int axisNumber, UnitConverter converter)
    : m_link(link)
    , m_deviceAddress(deviceAddress)
    , m_axisNumber(axisNumber)
    , m_converter(converter)
{
}

double Axis::getPosition(Units unit) const
{
    return getSettings().get("pos", unit);
}

void Axis::moveAbsolute(double position, Units unit, bool waitUntilIdle, double velocity, Units, double acceleration,
                        Units) const
{
    move("move abs", position, unit, waitUntilIdle, velocity, acceleration);
}

void Axis::moveRelative(double position, Units unit, bool waitUntilIdle, double velocity, Units, double acceleration,
                        Units) const
{
    move("move rel", position, unit, waitUntilIdle, velocity, acceleration);
}

void Axis::move(const QByteArray& kind, double position, Units unit, bool waitUntilIdle, double velocity,
                double acceleration) const
{
    if (velocity != 0.0 || acceleration != 0.0)
        throw MotionLibException(QStringLiteral("moves take the device's own speed and acceleration"));
    const QByteArray command = kind + ' ' + QByteArray::number(m_converter.toNative(position, unit));
    const QSharedPointer<AsciiSerialLink> link = AsciiSerialLink::lock(m_link);
    link->request(m_deviceAddress, m_axisNumber, command).check(command);
    if (waitUntilIdle)
        link->waitUntilIdle(m_deviceAddress, m_axisNumber);
}

void Axis::home(bool waitUntilIdle) const
{
    const QSharedPointer<AsciiSerialLink> link = AsciiSerialLink::lock(m_link);
    link->request(m_deviceAddress, m_axisNumber, "home").check("home");
    if (waitUntilIdle)
        link->waitUntilIdle(m_deviceAddress, m_axisNumber);
}

AxisSettings Axis::getSettings() const
{
    return AxisSettings(m_link, m_deviceAddress, m_axisNumber, m_converter);
}

} // namespace ascii
} // namespace motion
} // namespace zaber
