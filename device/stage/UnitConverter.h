#pragma once

#include "device/stage/Units.h"

#include <QByteArray>

#include <optional>

namespace zaber {
namespace motion {

// Converts between a device's native steps and the other units. The
// resolution of the three devices of the chain comes from a table, not
// from the controller, which only knows its steps.
class UnitConverter
{
public:
    // Native steps per millimetre of a device id, if the table knows it.
    static std::optional<double> stepsPerMillimetre(int deviceId);

    UnitConverter() = default;
    explicit UnitConverter(std::optional<double> stepsPerMillimetre);

    // Raise the library's exception for a unit this device cannot give.
    qint64 toNative(double value, Units units) const;
    double fromNative(double steps, Units units) const;

private:
    double factor(Units units) const;

    std::optional<double> m_stepsPerMillimetre;
};

} // namespace motion
} // namespace zaber
