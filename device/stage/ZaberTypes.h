#pragma once

#include <QMetaType>

#include <utility>

namespace nsZaber {

// X and Y are axes 2 and 1 of the XY stage, Z is axis 1 of the Z stage.
enum class StageAxes : int {
    X = 0,
    Y = 1,
    Z = 2,
};

namespace nsJoystick {

// The numbers go into the joystick's commands as they are.
enum class JoystickAxes : int {
    Axis1 = 1,
    Axis2 = 2,
    Axis3 = 3,
};

enum class JoystickSpeedProfiles : int {
    Profile2 = 2,
};

enum class JoystickKeys : int {
    Key1 = 1,
    Key2 = 2,
    Key3 = 3,
    Key4 = 4,
    Key5 = 5,
    Key6 = 6,
    Key7 = 7,
    Key8 = 8,
};

enum class JoystickPressTypes : int {
    Press = 1,
    Release = 2,
    Hold = 3,
    ReleaseAfterHold = 4,
};

} // namespace nsJoystick
} // namespace nsZaber

Q_DECLARE_METATYPE(nsZaber::StageAxes)
Q_DECLARE_METATYPE(nsZaber::nsJoystick::JoystickAxes)
Q_DECLARE_METATYPE(nsZaber::nsJoystick::JoystickSpeedProfiles)
Q_DECLARE_METATYPE(nsZaber::nsJoystick::JoystickKeys)
Q_DECLARE_METATYPE(nsZaber::nsJoystick::JoystickPressTypes)
