#pragma once

// A simulated motorised-stage chain behind a real pseudo-terminal.
//
// The program opens portName() with its own serial port code; the chain
// reads ASCII commands "/<device> <axis> <text>" (ended by CR, LF or both)
// on the master side with a parser of its own, records every one, and
// answers "@<device> <axis> OK|RJ IDLE|BUSY <warning> <data>" as the chain's
// devices would: device id, positions, limits, homing, moves and the
// joystick's targets, speeds, resolutions and key actions. Device 0 is every
// device; each answers in address order.
//
// It can refuse commands that begin with a given text, report a warning
// flag, stay busy for a number of status polls after a move or home, stop
// answering while still recording, or vanish (its pseudo-terminal closes).
// The I/O runs in a thread of its own, so the program may block on the
// chain from any thread.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QScopedPointer>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>

struct SimStageDeviceSetup
{
    int address = 1;
    int deviceId = 0;
    int axisCount = 0;
};

struct SimCommand
{
    int device = 0;  // 0 when the command named no device
    int axis = 0;    // 0 when the command named no axis
    QByteArray text; // what follows the axis, trailing blanks included
};

struct SimStageAxis
{
    qint64 position = 0;
    qint64 limitMin = 0;
    qint64 limitMax = 1000000;
    bool homed = false;
    int busyPolls = 0;
};

struct SimJoystickAxis
{
    QList<qint64> target; // device address and axis
    qint64 speedProfile = 0;
    qint64 maxSpeed = 0;
    qint64 resolution = 0;
};

class SimZaberChain
{
public:
    static constexpr int XYAddress = 1;
    static constexpr int ZAddress = 2;
    static constexpr int JoystickAddress = 3;
    static constexpr int XYDeviceId = 50979;
    static constexpr int ZDeviceId = 50054;
    static constexpr int JoystickDeviceId = 51000;

    // XY stage at 1 (two axes), Z stage at 2 (one axis), joystick at 3.
    static QList<SimStageDeviceSetup> fullChain();

    explicit SimZaberChain(const QList<SimStageDeviceSetup>& devices = fullChain());
    ~SimZaberChain();

    bool isOpen() const;
    // The path of the pseudo-terminal's device side.
    QString portName() const;

    QList<SimCommand> commands() const;
    // The texts sent to one device address, in order.
    QList<QByteArray> textsTo(int device) const;
    void clearCommands();

    void refuseCommandsStartingWith(const QByteArray& text);
    void setWarningFlag(int device, const QByteArray& flag);
    void setBusyPolls(int polls);
    void setSilent(bool silent);
    void vanish();

    SimStageAxis axis(int device, int axisNumber) const;
    void setAxis(int device, int axisNumber, const SimStageAxis& axis);
    SimJoystickAxis joystickAxis(int joystickAxis) const;
    QList<QByteArray> keyActions(int key, int event) const;

private:
    struct Device
    {
        SimStageDeviceSetup setup;
        QList<SimStageAxis> axes;
        QByteArray warning = "--";
    };
    struct Reply
    {
        bool ok = true;
        QByteArray data = "0";
    };

    void run();
    void handleLine(const QByteArray& line);
    QByteArray answer(Device& device, int axis, const QByteArray& text);
    Reply execute(Device& device, int axis, const QByteArray& text);
    Reply axisCommand(Device& device, int axis, const QList<QByteArray>& words);
    Reply joystickCommand(const QList<QByteArray>& words, const QByteArray& text);
    void closeFds();

    mutable QMutex m_lock;
    QList<Device> m_devices;
    QList<SimCommand> m_commands;
    QList<QByteArray> m_refused;
    QMap<int, SimJoystickAxis> m_joystickAxes;
    QMap<QPair<int, int>, QList<QByteArray>> m_keyActions;
    int m_busyPolls = 1;
    bool m_silent = false;

    int m_master = -1;
    int m_slave = -1;
    QString m_portName;
    QByteArray m_input;
    std::atomic<bool> m_stop { false };
    QScopedPointer<QThread> m_thread;
};
