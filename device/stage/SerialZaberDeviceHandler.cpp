#include "device/stage/SerialZaberDeviceHandler.h"

#include <QDebug>
#include <QList>
#include <QMap>
#include <QMetaType>

#include <exception>

using zaber::motion::Units;
using zaber::motion::ascii::Axis;
using zaber::motion::ascii::Connection;
using zaber::motion::ascii::Device;
using namespace nsZaber;
using namespace nsZaber::nsJoystick;

const QString SerialZaberDeviceHandler::JoystickTargetFormat = QStringLiteral("joystick %1 target %2 %3");
const QString SerialZaberDeviceHandler::JoystickSpeedProfileFormat = QStringLiteral("joystick %1 speedprofile %2 ");
const QString SerialZaberDeviceHandler::JoystickMaxSpeedFormat = QStringLiteral("joystick %1 maxspeed %2 ");
const QString SerialZaberDeviceHandler::JoystickResolutionFormat = QStringLiteral("joystick %1 resolution %2 ");
const QString SerialZaberDeviceHandler::KeyAddFormat = QStringLiteral("key %1 %2 add %3 %4");
const QString SerialZaberDeviceHandler::KeyClearFormat = QStringLiteral("key %1 %2 clear");
const char* const SerialZaberDeviceHandler::LimitMinSetting = "limit.min";
const char* const SerialZaberDeviceHandler::LimitMaxSetting = "limit.max";

namespace {

struct AxisChoice
{
    bool onXYDevice;
    int axisNumber;
};

const QMap<StageAxes, AxisChoice> StageAxisChoices = {
    { StageAxes::X, { true, 2 } },
    { StageAxes::Y, { true, 1 } },
    { StageAxes::Z, { false, 1 } },
};

bool isPresent(const Device& device)
{
    return device.getDeviceAddress() >= 0;
}

QString number(int value)
{
    return QString::number(value);
}

} // namespace

SerialZaberDeviceHandler::SerialZaberDeviceHandler(QSharedPointer<MovraDeviceInfo> deviceInfo, QObject* parent)
    : QObject(parent)
    , m_deviceInfo(deviceInfo)
{
    qRegisterMetaType<QSharedPointer<MovraDeviceInfo>>();
    qRegisterMetaType<StageAxes>("nsZaber::StageAxes");
    qRegisterMetaType<JoystickAxes>("nsZaber::nsJoystick::JoystickAxes");
    qRegisterMetaType<JoystickSpeedProfiles>("nsZaber::nsJoystick::JoystickSpeedProfiles");
    qRegisterMetaType<JoystickKeys>("nsZaber::nsJoystick::JoystickKeys");
    qRegisterMetaType<JoystickPressTypes>("nsZaber::nsJoystick::JoystickPressTypes");
    qRegisterMetaType<Units>("zaber::motion::Units");
    qRegisterMetaType<std::pair<double, double>>("std::pair<double,double>");
}

SerialZaberDeviceHandler::~SerialZaberDeviceHandler() = default;

bool SerialZaberDeviceHandler::attempt(const QString& what, const std::function<void()>& step) const
{
    try {
        step();
        return true;
    } catch (const std::exception& error) {
        qInfo().noquote() << "Stage chain on" << m_deviceInfo->name() << ":" << what << "failed:" << error.what();
    }
    return false;
}

bool SerialZaberDeviceHandler::isOwnRecord(const QSharedPointer<MovraDeviceInfo>& deviceInfo) const
{
    return deviceInfo == m_deviceInfo;
}

bool SerialZaberDeviceHandler::openConnection()
{
    const bool connected = attempt(QStringLiteral("connection"), [this] {
        m_connection = Connection::openSerialPort(m_deviceInfo->name().toLocal8Bit().toStdString(), BaudRate, false);
        // Homed before anything else: the chain is reported ready to move.
        m_connection.homeAll(false);
        const QList<QPair<int, Device SerialZaberDeviceHandler::*>> roles = {
            { JoystickDeviceId, &SerialZaberDeviceHandler::m_joystickDevice },
            { ZDeviceId, &SerialZaberDeviceHandler::m_zDevice },
            { XYDeviceId, &SerialZaberDeviceHandler::m_xyDevice },
        };
        for (const Device& device : m_connection.detectDevices(true)) {
            for (const auto& role : roles) {
                if (role.first == device.getDeviceId())
                    this->*(role.second) = device;
            }
        }
    });
    if (!connected) {
        m_joystickDevice = Device();
        m_zDevice = Device();
        m_xyDevice = Device();
        m_connection = Connection();
        m_deviceInfo->setStatus(DeviceStatus::Unavailable);
    }
    return connected;
}

void SerialZaberDeviceHandler::initialize()
{
    m_xyPositionUnits = Units::LengthMillimetres;
    m_zPositionUnits = Units::LengthMillimetres;
    if (!m_xyPositionTimer) {
        m_xyPositionTimer = new QTimer(this);
        m_xyPositionTimer->setSingleShot(false);
        connect(m_xyPositionTimer, &QTimer::timeout, this, &SerialZaberDeviceHandler::getXYAxesPositionTimeout);
    }
    if (!m_zPositionTimer) {
        m_zPositionTimer = new QTimer(this);
        m_zPositionTimer->setSingleShot(false);
        connect(m_zPositionTimer, &QTimer::timeout, this, &SerialZaberDeviceHandler::getZAxesPositionTimeout);
    }
    configureJoystick();
    if (isPresent(m_zDevice))
        onSetAxisMaxLimitReceived(m_deviceInfo, StageAxes::Z, ZLimitMaxMillimetres, Units::LengthMillimetres);
}

void SerialZaberDeviceHandler::configureJoystick()
{
    if (!isPresent(m_joystickDevice))
        return;
    struct Target
    {
        JoystickAxes joystickAxis;
        const Device* device;
        int targetAxis;
    };
    const QList<Target> targets = {
        { JoystickAxes::Axis1, &m_xyDevice, 2 },
        { JoystickAxes::Axis2, &m_xyDevice, 1 },
        { JoystickAxes::Axis3, &m_zDevice, 1 },
    };
    for (const Target& target : targets) {
        if (isPresent(*target.device)) {
            onSetJoystickTargetAxisReceived(m_deviceInfo, target.joystickAxis, target.device->getDeviceAddress(),
                                            target.targetAxis);
        }
        onSetJoystickSpeedProfileReceived(m_deviceInfo, target.joystickAxis, JoystickSpeedProfiles::Profile2);
        onSetJoystickMaxSpeedReceived(m_deviceInfo, target.joystickAxis, JoystickMaxSpeed);
        onSetJoystickResolutionReceived(m_deviceInfo, target.joystickAxis, JoystickResolution);
    }
    for (int key = 1; key <= 8; ++key) {
        const auto keyNumber = JoystickKeys(key);
        // Odd keys set their joystick axis to the normal speed, even keys
        // to the fast one.
        const int joystickAxis = (key + 1) / 2;
        const int speed = key % 2 == 1 ? JoystickMaxSpeed : JoystickFastMaxSpeed;
        const QString action = JoystickMaxSpeedFormat.arg(number(joystickAxis), number(speed));
        onClearJoystickKeyActionReceived(m_deviceInfo, keyNumber, JoystickPressTypes::Press);
        onAddJoystickKeyActionReceived(m_deviceInfo, keyNumber, JoystickPressTypes::Press, 0, action);
        onClearJoystickKeyActionReceived(m_deviceInfo, keyNumber, JoystickPressTypes::Release);
        onClearJoystickKeyActionReceived(m_deviceInfo, keyNumber, JoystickPressTypes::Hold);
        onClearJoystickKeyActionReceived(m_deviceInfo, keyNumber, JoystickPressTypes::ReleaseAfterHold);
    }
}

void SerialZaberDeviceHandler::sendJoystickCommand(const QString& command)
{
    if (!isPresent(m_joystickDevice)) {
        qInfo().noquote() << "Stage chain on" << m_deviceInfo->name() << ": no joystick for" << command;
        return;
    }
    attempt(QStringLiteral("\"%1\"").arg(command), [this, &command] {
        m_joystickDevice.getConnection().genericCommand(command.toLocal8Bit().toStdString(),
                                                        m_joystickDevice.getDeviceAddress(), 0, true, 0);
    });
}

std::optional<Axis> SerialZaberDeviceHandler::stageAxis(StageAxes axisId) const
{
    const auto choice = StageAxisChoices.constFind(axisId);
    if (choice == StageAxisChoices.constEnd())
        return std::nullopt;
    const Device& device = choice->onXYDevice ? m_xyDevice : m_zDevice;
    if (!isPresent(device)) {
        qInfo().noquote() << "Stage chain on" << m_deviceInfo->name() << ": no device for axis" << int(axisId);
        return std::nullopt;
    }
    return device.getAxis(choice->axisNumber);
}

void SerialZaberDeviceHandler::onSetJoystickTargetAxisReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                               JoystickAxes joystickAxis, int targetDeviceAddress,
                                                               int targetAxis)
{
    if (isOwnRecord(deviceInfo))
        sendJoystickCommand(
            JoystickTargetFormat.arg(number(int(joystickAxis)), number(targetDeviceAddress), number(targetAxis)));
}

void SerialZaberDeviceHandler::onSetJoystickSpeedProfileReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                                 JoystickAxes joystickAxis,
                                                                 JoystickSpeedProfiles speedProfile)
{
    if (isOwnRecord(deviceInfo))
        sendJoystickCommand(JoystickSpeedProfileFormat.arg(number(int(joystickAxis)), number(int(speedProfile))));
}

void SerialZaberDeviceHandler::onSetJoystickMaxSpeedReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                             JoystickAxes joystickAxis, int maxSpeed)
{
    if (isOwnRecord(deviceInfo))
        sendJoystickCommand(JoystickMaxSpeedFormat.arg(number(int(joystickAxis)), number(maxSpeed)));
}

void SerialZaberDeviceHandler::onSetJoystickResolutionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                               JoystickAxes joystickAxis, int steps)
{
    if (isOwnRecord(deviceInfo))
        sendJoystickCommand(JoystickResolutionFormat.arg(number(int(joystickAxis)), number(steps)));
}

void SerialZaberDeviceHandler::onAddJoystickKeyActionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                              JoystickKeys keyNumber, JoystickPressTypes pressType,
                                                              int deviceAddress, QString action)
{
    if (isOwnRecord(deviceInfo))
        sendJoystickCommand(
            KeyAddFormat.arg(number(int(keyNumber)), number(int(pressType)), number(deviceAddress), action));
}

void SerialZaberDeviceHandler::onClearJoystickKeyActionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                                JoystickKeys keyNumber, JoystickPressTypes pressType)
{
    if (isOwnRecord(deviceInfo))
        sendJoystickCommand(KeyClearFormat.arg(number(int(keyNumber)), number(int(pressType))));
}

void SerialZaberDeviceHandler::onStartStopGetXYAxesPositionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                                    bool isStarted)
{
    if (!isOwnRecord(deviceInfo) || !m_xyPositionTimer)
        return;
    if (isStarted) {
        m_xyPositionTimer->setInterval(XYPositionIntervalMs);
        m_xyPositionTimer->start();
    } else {
        m_xyPositionTimer->stop();
    }
}

void SerialZaberDeviceHandler::onStartStopGetZAxesPositionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                                   bool isStarted)
{
    if (!isOwnRecord(deviceInfo) || !m_zPositionTimer)
        return;
    if (isStarted) {
        m_zPositionTimer->setInterval(ZPositionIntervalMs);
        m_zPositionTimer->start();
    } else {
        m_zPositionTimer->stop();
    }
}

void SerialZaberDeviceHandler::onGetAxisLimitsReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, StageAxes axisId)
{
    if (!isOwnRecord(deviceInfo))
        return;
    const std::optional<Axis> axis = stageAxis(axisId);
    if (!axis)
        return;
    std::pair<double, double> limits;
    if (attempt(QStringLiteral("reading the limits"), [&] {
            const auto settings = axis->getSettings();
            limits.first = settings.get(LimitMinSetting, Units::LengthMillimetres);
            limits.second = settings.get(LimitMaxSetting, Units::LengthMillimetres);
        }))
        emit sendAxisLimitsToController(m_deviceInfo, axisId, limits);
}

void SerialZaberDeviceHandler::onSetAxisMaxLimitReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, StageAxes axisId,
                                                         double limitMax, Units units)
{
    if (!isOwnRecord(deviceInfo))
        return;
    if (const std::optional<Axis> axis = stageAxis(axisId)) {
        attempt(QStringLiteral("setting the upper limit"),
                [&] { axis->getSettings().set(LimitMaxSetting, limitMax, units); });
    }
}

void SerialZaberDeviceHandler::onSetGetXYPositionUnitsReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, Units units)
{
    if (isOwnRecord(deviceInfo))
        m_xyPositionUnits = units;
}

void SerialZaberDeviceHandler::onSetGetZPositionUnitsReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, Units units)
{
    if (isOwnRecord(deviceInfo))
        m_zPositionUnits = units;
}

void SerialZaberDeviceHandler::onSetAxisAbsolutePositionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                                 StageAxes axisId, double position, Units units)
{
    moveAxis(deviceInfo, axisId, position, units, false);
}

void SerialZaberDeviceHandler::onSetAxisRelativePositionReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                                 StageAxes axisId, double position, Units units)
{
    moveAxis(deviceInfo, axisId, position, units, true);
}

void SerialZaberDeviceHandler::moveAxis(const QSharedPointer<MovraDeviceInfo>& deviceInfo, StageAxes axisId,
                                        double position, Units units, bool relative)
{
    if (!isOwnRecord(deviceInfo))
        return;
    const std::optional<Axis> axis = stageAxis(axisId);
    if (!axis)
        return;
    double reached = 0.0;
    const QString what = (relative ? QStringLiteral("moving by %1") : QStringLiteral("moving to %1")).arg(position);
    if (attempt(what, [&] {
            if (relative)
                axis->moveRelative(position, units, true, 0.0, Units::Native, 0.0, Units::Native);
            else
                axis->moveAbsolute(position, units, true, 0.0, Units::Native, 0.0, Units::Native);
            reached = axis->getPosition(units);
        }))
        emit sendAxisPositionConfirmationToController(m_deviceInfo, axisId, reached, units);
}

void SerialZaberDeviceHandler::onResetAxisToHomeReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, StageAxes axisId)
{
    if (!isOwnRecord(deviceInfo))
        return;
    if (const std::optional<Axis> axis = stageAxis(axisId))
        attempt(QStringLiteral("homing"), [&] { axis->home(false); });
}

void SerialZaberDeviceHandler::getXYAxesPositionTimeout()
{
    if (!isPresent(m_xyDevice))
        return;
    double x = 0.0;
    double y = 0.0;
    if (attempt(QStringLiteral("reading the XY position"), [&] {
            y = m_xyDevice.getAxis(1).getPosition(m_xyPositionUnits);
            x = m_xyDevice.getAxis(2).getPosition(m_xyPositionUnits);
        }))
        emit sendXYPositionToController(m_deviceInfo, x, y);
}

void SerialZaberDeviceHandler::getZAxesPositionTimeout()
{
    if (!isPresent(m_zDevice))
        return;
    double z = 0.0;
    if (attempt(QStringLiteral("reading the Z position"),
                [&] { z = m_zDevice.getAxis(1).getPosition(m_zPositionUnits); }))
        emit sendZPositionToController(m_deviceInfo, z);
}
