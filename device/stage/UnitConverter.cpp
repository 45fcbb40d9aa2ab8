#include "device/stage/UnitConverter.h"

#include "device/stage/MotionLibException.h"

#include <QMap>

#include <cmath>

namespace zaber {
namespace motion {

namespace {

// Microstep sizes of the stages fitted to the chain: 0.15625 um on the XY
// stage, 0.0625 um on the Z stage. The joystick has no axis.
const QMap<int, double> StepsPerMillimetre = {
    { 50979, 6400.0 },
    { 50054, 16000.0 },
};

} // namespace

std::optional<double> UnitConverter::stepsPerMillimetre(int deviceId)
{
    const auto it = StepsPerMillimetre.constFind(deviceId);
    if (it == StepsPerMillimetre.constEnd())
        return std::nullopt;
    return *it;
}

UnitConverter::UnitConverter(std::optional<double> stepsPerMillimetre)
    : m_stepsPerMillimetre(stepsPerMillimetre)
{
}

double UnitConverter::factor(Units units) const
{
    switch (units) {
    case Units::Native: return 1.0;
    case Units::LengthMillimetres:
        if (!m_stepsPerMillimetre)
            throw MotionLibException(QStringLiteral("no length resolution known for this device"));
        return *m_stepsPerMillimetre;
    }
    throw MotionLibException(QStringLiteral("unit code %1 is not supported").arg(int(units)));
}

qint64 UnitConverter::toNative(double value, Units units) const
{
    const double steps = value * factor(units);
    if (!std::isfinite(steps) || std::fabs(steps) > 9.0e15)
        throw MotionLibException(QStringLiteral("value %1 is out of range").arg(value));
    return qint64(std::llround(steps));
}

double UnitConverter::fromNative(double steps, Units units) const
{
    return steps / factor(units);
}

} // namespace motion
} // namespace zaber
