#pragma once

#include "device/MovraDeviceInfo.h"

#include <QObject>
#include <QSharedPointer>
#include <QString>

#include <utility>

// Stand-in for the motorised-stage handler: the same public interface, and
// it never connects a chain.
namespace zaber {
namespace motion {
enum Units : int {
};
} // namespace motion
} // namespace zaber

namespace nsZaber {
enum StageAxes : int {
    X = 0,
    Y = 1,
    Z = 2,
};
namespace nsJoystick {
enum JoystickAxes : int {
};
enum JoystickSpeedProfiles : int {
};
enum JoystickKeys : int {
};
enum JoystickPressTypes : int {
};
} // namespace nsJoystick
} // namespace nsZaber

class SerialZaberDeviceHandler : public QObject
{
    Q_OBJECT

public:
    using Units = zaber::motion::Units;
    using StageAxes = nsZaber::StageAxes;
    using JoystickAxes = nsZaber::nsJoystick::JoystickAxes;
    using JoystickSpeedProfiles = nsZaber::nsJoystick::JoystickSpeedProfiles;
    using JoystickKeys = nsZaber::nsJoystick::JoystickKeys;
    using JoystickPressTypes = nsZaber::nsJoystick::JoystickPressTypes;

    explicit SerialZaberDeviceHandler(QSharedPointer<MovraDeviceInfo> deviceInfo, QObject* parent = nullptr);

    bool openConnection();
    void initialize();

signals:
    void sendXYPositionToController(QSharedPointer<MovraDeviceInfo> deviceInfo, double positionX, double positionY);
    void sendZPositionToController(QSharedPointer<MovraDeviceInfo> deviceInfo, double positionZ);
    void sendAxisLimitsToController(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId,
                                    std::pair<double, double> limits);
    void sendAxisPositionConfirmationToController(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId,
                                                  double position, zaber::motion::Units units);

public slots:
    void onSetJoystickTargetAxisReceived(QSharedPointer<MovraDeviceInfo>, nsZaber::nsJoystick::JoystickAxes, int, int)
    {
    }
    void onSetJoystickSpeedProfileReceived(QSharedPointer<MovraDeviceInfo>, nsZaber::nsJoystick::JoystickAxes,
                                           nsZaber::nsJoystick::JoystickSpeedProfiles)
    {
    }
    void onSetJoystickMaxSpeedReceived(QSharedPointer<MovraDeviceInfo>, nsZaber::nsJoystick::JoystickAxes, int) { }
    void onSetJoystickResolutionReceived(QSharedPointer<MovraDeviceInfo>, nsZaber::nsJoystick::JoystickAxes, int) { }
    void onAddJoystickKeyActionReceived(QSharedPointer<MovraDeviceInfo>, nsZaber::nsJoystick::JoystickKeys,
                                        nsZaber::nsJoystick::JoystickPressTypes, int, QString)
    {
    }
    void onClearJoystickKeyActionReceived(QSharedPointer<MovraDeviceInfo>, nsZaber::nsJoystick::JoystickKeys,
                                          nsZaber::nsJoystick::JoystickPressTypes)
    {
    }
    void onStartStopGetXYAxesPositionReceived(QSharedPointer<MovraDeviceInfo>, bool) { }
    void onStartStopGetZAxesPositionReceived(QSharedPointer<MovraDeviceInfo>, bool) { }
    void onGetAxisLimitsReceived(QSharedPointer<MovraDeviceInfo>, nsZaber::StageAxes) { }
    void onSetAxisMaxLimitReceived(QSharedPointer<MovraDeviceInfo>, nsZaber::StageAxes, double, zaber::motion::Units) {
    }
    void onSetGetXYPositionUnitsReceived(QSharedPointer<MovraDeviceInfo>, zaber::motion::Units) { }
    void onSetGetZPositionUnitsReceived(QSharedPointer<MovraDeviceInfo>, zaber::motion::Units) { }
    void onSetAxisAbsolutePositionReceived(QSharedPointer<MovraDeviceInfo>, nsZaber::StageAxes, double,
                                           zaber::motion::Units)
    {
    }
    void onSetAxisRelativePositionReceived(QSharedPointer<MovraDeviceInfo>, nsZaber::StageAxes, double,
                                           zaber::motion::Units)
    {
    }
    void onResetAxisToHomeReceived(QSharedPointer<MovraDeviceInfo>, nsZaber::StageAxes) { }

private:
    QSharedPointer<MovraDeviceInfo> m_deviceInfo;
};
