#pragma once

#include "device/MovraDeviceInfo.h"
#include "device/stage/Connection.h"
#include "device/stage/Device.h"
#include "device/stage/Units.h"
#include "device/stage/ZaberTypes.h"

#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>
#include <utility>

// Drives a motorised-stage chain (XY stage, Z stage, joystick) through the
// stage library: connects and homes it, programs the joystick, and offers
// moves, homing, limits and position polling. Lives in the serial
// communication thread; every library call blocks that thread meanwhile.
// No library failure leaves this class: the connection step reports it by
// its result, every other step logs it and goes on.
class SerialZaberDeviceHandler : public QObject
{
    Q_OBJECT

public:
    static constexpr int BaudRate = 115200;
    static constexpr int JoystickDeviceId = 51000;
    static constexpr int ZDeviceId = 50054;
    static constexpr int XYDeviceId = 50979;
    static constexpr int XYPositionIntervalMs = 84;
    static constexpr int ZPositionIntervalMs = 50;
    static constexpr int JoystickMaxSpeed = 80000;
    static constexpr int JoystickFastMaxSpeed = 160000;
    static constexpr int JoystickResolution = 50;
    static constexpr double ZLimitMaxMillimetres = 10.0;

    static const QString JoystickTargetFormat;
    static const QString JoystickSpeedProfileFormat;
    static const QString JoystickMaxSpeedFormat;
    static const QString JoystickResolutionFormat;
    static const QString KeyAddFormat;
    static const QString KeyClearFormat;
    static const char* const LimitMinSetting;
    static const char* const LimitMaxSetting;

    explicit SerialZaberDeviceHandler(QSharedPointer<MovraDeviceInfo> deviceInfo, QObject* parent = nullptr);
    ~SerialZaberDeviceHandler() override;

    // Opens the chain, homes every axis and finds the three devices; on
    // failure marks the record unavailable and returns false.
    bool openConnection();
    // Reading units, polling timers, joystick and Z limit; only after a
    // successful connection step.
    void initialize();

signals:
    void sendXYPositionToController(QSharedPointer<MovraDeviceInfo> deviceInfo, double positionX, double positionY);
    void sendZPositionToController(QSharedPointer<MovraDeviceInfo> deviceInfo, double positionZ);
    void sendAxisLimitsToController(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId,
                                    std::pair<double, double> limits);
    void sendAxisPositionConfirmationToController(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId,
                                                  double position, zaber::motion::Units units);

public slots:
    void onSetJoystickTargetAxisReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                         nsZaber::nsJoystick::JoystickAxes joystickAxis, int targetDeviceAddress,
                                         int targetAxis);
    void onSetJoystickSpeedProfileReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                           nsZaber::nsJoystick::JoystickAxes joystickAxis,
                                           nsZaber::nsJoystick::JoystickSpeedProfiles speedProfile);
    void onSetJoystickMaxSpeedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                       nsZaber::nsJoystick::JoystickAxes joystickAxis, int maxSpeed);
    void onSetJoystickResolutionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                         nsZaber::nsJoystick::JoystickAxes joystickAxis, int steps);
    void onAddJoystickKeyActionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                        nsZaber::nsJoystick::JoystickKeys keyNumber,
                                        nsZaber::nsJoystick::JoystickPressTypes pressType, int deviceAddress,
                                        QString action);
    void onClearJoystickKeyActionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                          nsZaber::nsJoystick::JoystickKeys keyNumber,
                                          nsZaber::nsJoystick::JoystickPressTypes pressType);
    void onStartStopGetXYAxesPositionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isStarted);
    void onStartStopGetZAxesPositionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isStarted);
    void onGetAxisLimitsReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId);
    void onSetAxisMaxLimitReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId,
                                   double limitMax,
                                   zaber::motion::Units units = zaber::motion::Units::LengthMillimetres);
    void onSetGetXYPositionUnitsReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                         zaber::motion::Units units = zaber::motion::Units::LengthMillimetres);
    void onSetGetZPositionUnitsReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                        zaber::motion::Units units = zaber::motion::Units::LengthMillimetres);
    void onSetAxisAbsolutePositionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId,
                                           double position,
                                           zaber::motion::Units units = zaber::motion::Units::LengthMillimetres);
    void onSetAxisRelativePositionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId,
                                           double position,
                                           zaber::motion::Units units = zaber::motion::Units::LengthMillimetres);
    void onResetAxisToHomeReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId);

private slots:
    void getXYAxesPositionTimeout();
    void getZAxesPositionTimeout();

private:
    void configureJoystick();
    void sendJoystickCommand(const QString& command);
    // The axis a stage axis names, if its device is on the chain.
    std::optional<zaber::motion::ascii::Axis> stageAxis(nsZaber::StageAxes axisId) const;
    bool isOwnRecord(const QSharedPointer<MovraDeviceInfo>& deviceInfo) const;
    // Runs one library step; a failure is logged and stays here.
    bool attempt(const QString& what, const std::function<void()>& step) const;
    // Moves to or by the position, then reports where the axis stopped.
    void moveAxis(const QSharedPointer<MovraDeviceInfo>& deviceInfo, nsZaber::StageAxes axisId, double position,
                  zaber::motion::Units units, bool relative);

    zaber::motion::ascii::Connection m_connection;
    zaber::motion::ascii::Device m_joystickDevice;
    zaber::motion::ascii::Device m_zDevice;
    zaber::motion::ascii::Device m_xyDevice;
    QSharedPointer<MovraDeviceInfo> m_deviceInfo;
    QTimer* m_xyPositionTimer = nullptr;
    QTimer* m_zPositionTimer = nullptr;
    zaber::motion::Units m_xyPositionUnits = zaber::motion::Units::LengthMillimetres;
    zaber::motion::Units m_zPositionUnits = zaber::motion::Units::LengthMillimetres;
};
