#pragma once

#include <QMetaType>

namespace zaber {
namespace motion {

// The units a position or a length setting is given in. Native units are
// the controller's own steps; millimetres are converted with the device's
// resolution.
enum class Units : int {
    Native = 0,
    LengthMillimetres = 3,
};

} // namespace motion
} // namespace zaber

Q_DECLARE_METATYPE(zaber::motion::Units)
