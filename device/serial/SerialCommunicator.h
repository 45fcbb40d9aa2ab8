#pragma once

#include "device/AbstractCommunicator.h"
#include "device/serial/SerialDeviceIdentifier.h"
#include "device/serial/SerialPortLister.h"
#include "device/stage/SerialZaberDeviceHandler.h"

#include <QByteArray>
#include <QMap>
#include <QSerialPort>
#include <QSharedPointer>
#include <QString>

#include <utility>

// The serial transport's communicator. Each announced device is, in turn,
// under identification (when its adapter ids do not tell its kind), a plain
// port that the firmware engine opens, writes and reads, or a connected
// stage chain whose requests and replies it carries.
class SerialCommunicator : public AbstractCommunicator
{
    Q_OBJECT

public:
    static constexpr qint32 PumpBaudRate = QSerialPort::Baud9600;
    static constexpr qint32 DefaultBaudRate = QSerialPort::Baud115200;

    explicit SerialCommunicator(QObject* parent = nullptr);
    // The grabber lists ports through lister, QSerialPortInfo by default.
    explicit SerialCommunicator(QSharedPointer<SerialPortLister> lister, QObject* parent = nullptr);
    ~SerialCommunicator() override;

    static qint32 baudRateFor(DriverType driverType);

signals:
    void sendCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data);

    void sendJoystickTargetAxisToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                        nsZaber::nsJoystick::JoystickAxes joystickAxis, int targetDeviceAddress,
                                        int targetAxis);
    void sendJoystickSpeedProfileToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                          nsZaber::nsJoystick::JoystickAxes joystickAxis,
                                          nsZaber::nsJoystick::JoystickSpeedProfiles speedProfile);
    void sendJoystickMaxSpeedToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                      nsZaber::nsJoystick::JoystickAxes joystickAxis, int maxSpeed);
    void sendJoystickResolutionToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                        nsZaber::nsJoystick::JoystickAxes joystickAxis, int steps);
    void sendAddJoystickKeyActionToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                          nsZaber::nsJoystick::JoystickKeys keyNumber,
                                          nsZaber::nsJoystick::JoystickPressTypes pressType, int deviceAddress,
                                          QString action);
    void sendClearJoystickKeyActionToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                            nsZaber::nsJoystick::JoystickKeys keyNumber,
                                            nsZaber::nsJoystick::JoystickPressTypes pressType);
    void sendAskForAxisLimitsToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId);
    void sendStartStopGetXYPositionToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isStarted);
    void sendStartStopGetZPositionToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isStarted);
    void sendSetGetXYPositionUnitsToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, zaber::motion::Units units);
    void sendSetGetZPositionUnitsToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, zaber::motion::Units units);
    void sendSetAxisAbsolutePositionToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId,
                                             double position, zaber::motion::Units units);
    void sendSetAxisRelativePositionToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId,
                                             double position, zaber::motion::Units units);
    void sendResetAxisToHomeToDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId);

    void sendXYPositionReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, double positionX,
                                          double positionY);
    void sendZPositionReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, double positionZ);
    void sendAxisLimitsReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, nsZaber::StageAxes axisId,
                                          std::pair<double, double> limits);
    void sendAxisPositionConfirmationReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                        nsZaber::StageAxes axisId, double position,
                                                        zaber::motion::Units units);

public slots:
    void onCommunicationThreadStarted() override;
    void onCommunicationThreadStopped() override;
    void onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo) override;
    void onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo) override;
    void onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> device) override;
    void onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> device) override;
    void onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd) override;

    void onReadyReadReceived();
    void onErrorOccured(QSerialPort::SerialPortError error);
    void onDeviceIdentified(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void onDeviceNonIdentified(QSharedPointer<MovraDeviceInfo> deviceInfo);

private:
    void attachPort(const QSharedPointer<MovraDeviceInfo>& deviceInfo);
    void connectStageHandler(SerialZaberDeviceHandler* handler, bool doConnect);
    // An identifier reports from inside its own timer slot, so it is
    // released later, never during that call.
    void releaseIdentifier(const QSharedPointer<MovraDeviceInfo>& deviceInfo);

    QSharedPointer<SerialPortLister> m_lister;
    QMap<QSharedPointer<MovraDeviceInfo>, QSerialPort*> m_ports;
    QMap<QSharedPointer<MovraDeviceInfo>, QSharedPointer<SerialZaberDeviceHandler>> m_stageHandlers;
    QMap<QSharedPointer<MovraDeviceInfo>, SerialDeviceIdentifier*> m_identifiers;
};
