#pragma once

#include "device/stage/AsciiSerialLink.h"
#include "device/stage/AxisSettings.h"
#include "device/stage/UnitConverter.h"
#include "device/stage/Units.h"

#include <QWeakPointer>

namespace zaber {
namespace motion {
namespace ascii {

// One axis of a device. A move that waits returns once the axis is idle,
// so the position read next is the position reached.
class Axis
{
public:
    Axis(QWeakPointer<AsciiSerialLink> link, int deviceAddress, int axisNumber, UnitConverter converter);

    int getAxisNumber() const { return m_axisNumber; }

    double getPosition(Units unit = Units::Native) const;
    // Speeds and accelerations of the device's own defaults only: a non-zero
    // velocity or acceleration is refused.
    void moveAbsolute(double position, Units unit = Units::Native, bool waitUntilIdle = true, double velocity = 0.0,
                      Units velocityUnit = Units::Native, double acceleration = 0.0,
                      Units accelerationUnit = Units::Native) const;
    void moveRelative(double position, Units unit = Units::Native, bool waitUntilIdle = true, double velocity = 0.0,
                      Units velocityUnit = Units::Native, double acceleration = 0.0,
                      Units accelerationUnit = Units::Native) const;
    void home(bool waitUntilIdle = true) const;
    AxisSettings getSettings() const;

private:
    void move(const QByteArray& kind, double position, Units unit, bool waitUntilIdle, double velocity,
              double acceleration) const;

    QWeakPointer<AsciiSerialLink> m_link;
    int m_deviceAddress;
    int m_axisNumber;
    UnitConverter m_converter;
};

} // namespace ascii
} // namespace motion
} // namespace zaber
