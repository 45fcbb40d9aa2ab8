#include "tests/device/stage/sim/SimZaberChain.h"

#include <QMutexLocker>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool toNumber(const QByteArray& word, qint64* value)
{
    bool ok = false;
    *value = word.toLongLong(&ok);
    return ok;
}

bool isNumber(const QByteArray& word)
{
    qint64 ignored = 0;
    return !word.isEmpty() && toNumber(word, &ignored);
}

} // namespace

QList<SimStageDeviceSetup> SimZaberChain::fullChain()
{
    return {
        { XYAddress, XYDeviceId, 2 },
        { ZAddress, ZDeviceId, 1 },
        { JoystickAddress, JoystickDeviceId, 0 },
    };
}

SimZaberChain::SimZaberChain(const QList<SimStageDeviceSetup>& devices)
{
    for (const SimStageDeviceSetup& setup : devices) {
        Device device;
        device.setup = setup;
        for (int i = 0; i < setup.axisCount; ++i)
            device.axes << SimStageAxis();
        m_devices << device;
    }
    std::stable_sort(m_devices.begin(), m_devices.end(),
                     [](const Device& a, const Device& b) { return a.setup.address < b.setup.address; });

    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    m_portName = QString::fromLocal8Bit(name);
    // Raw bytes both ways: no echo, no CR/LF translation.
    termios settings {};
    tcgetattr(m_slave, &settings);
    cfmakeraw(&settings);
    tcsetattr(m_slave, TCSANOW, &settings);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_thread.reset(QThread::create([this] { run(); }));
    m_thread->start();
}

SimZaberChain::~SimZaberChain()
{
    vanish();
}

bool SimZaberChain::isOpen() const
{
    QMutexLocker locker(&m_lock);
    return m_master >= 0;
}

QString SimZaberChain::portName() const
{
    return m_portName;
}

void SimZaberChain::vanish()
{
    m_stop = true;
    if (m_thread) {
        m_thread->wait();
        m_thread.reset();
    }
    closeFds();
}

void SimZaberChain::closeFds()
{
    QMutexLocker locker(&m_lock);
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
}

void SimZaberChain::run()
{
    while (!m_stop) {
        pollfd fd { m_master, POLLIN, 0 };
        if (poll(&fd, 1, 20) <= 0)
            continue;
        char buffer[512];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                QThread::msleep(5);
            continue;
        }
        m_input.append(buffer, int(n));
        while (true) {
            const auto end =
                std::find_if(m_input.begin(), m_input.end(), [](char c) { return c == '\r' || c == '\n'; });
            if (end == m_input.end())
                break;
            const int length = int(end - m_input.begin());
            const QByteArray line = m_input.left(length);
            m_input.remove(0, length + 1);
            if (!line.isEmpty())
                handleLine(line);
        }
    }
}

void SimZaberChain::handleLine(const QByteArray& line)
{
    if (!line.startsWith('/'))
        return;
    // "/[device] [axis] text": the numbers are optional; the text keeps
    // every blank after the separator that follows the axis.
    SimCommand command;
    QByteArray rest = line.mid(1);
    for (int* field : { &command.device, &command.axis }) {
        const int space = rest.indexOf(' ');
        const QByteArray word = space < 0 ? rest : rest.left(space);
        if (!isNumber(word))
            break;
        *field = word.toInt();
        rest = space < 0 ? QByteArray() : rest.mid(space + 1);
    }
    command.text = rest;

    QByteArray out;
    {
        QMutexLocker locker(&m_lock);
        m_commands << command;
        if (m_silent)
            return;
        for (Device& device : m_devices) {
            if (command.device == 0 || command.device == device.setup.address)
                out += answer(device, command.axis, command.text);
        }
    }
    if (!out.isEmpty() && m_master >= 0) {
        const ssize_t written = ::write(m_master, out.constData(), size_t(out.size()));
        Q_UNUSED(written);
    }
}

QByteArray SimZaberChain::answer(Device& device, int axis, const QByteArray& text)
{
    Reply reply;
    bool busy = false;
    if (axis > device.axes.size()) {
        reply = { false, "BADAXIS" };
    } else if (std::any_of(m_refused.begin(), m_refused.end(),
                           [&](const QByteArray& r) { return text.startsWith(r); })) {
        reply = { false, "BADCOMMAND" };
    } else {
        reply = execute(device, axis, text);
    }
    for (int i = 0; i < device.axes.size(); ++i) {
        SimStageAxis& a = device.axes[i];
        if ((axis == 0 || axis == i + 1) && a.busyPolls > 0) {
            busy = true;
            if (text.isEmpty())
                --a.busyPolls;
        }
    }
    QByteArray line = "@" + QByteArray::number(device.setup.address).rightJustified(2, '0') + ' '
                      + QByteArray::number(axis) + ' ' + (reply.ok ? "OK" : "RJ") + ' ' + (busy ? "BUSY" : "IDLE") + ' '
                      + device.warning + ' ' + reply.data + "\r\n";
    return line;
}

SimZaberChain::Reply SimZaberChain::execute(Device& device, int axis, const QByteArray& text)
{
    const QList<QByteArray> words = text.simplified().split(' ');
    if (text.trimmed().isEmpty())
        return {};
    if (text == "get deviceid")
        return { true, QByteArray::number(device.setup.deviceId) };
    if (device.setup.deviceId == JoystickDeviceId && axis == 0 && (words.at(0) == "joystick" || words.at(0) == "key"))
        return joystickCommand(words, text);
    if (words.at(0) == "home" && words.size() == 1) {
        if (device.axes.isEmpty())
            return { false, "BADCOMMAND" };
        for (int i = 0; i < device.axes.size(); ++i) {
            if (axis == 0 || axis == i + 1) {
                device.axes[i].position = device.axes[i].limitMin;
                device.axes[i].homed = true;
                device.axes[i].busyPolls = m_busyPolls;
            }
        }
        return {};
    }
    if (axis == 0 || device.axes.isEmpty())
        return { false, "BADCOMMAND" };
    return axisCommand(device, axis, words);
}

SimZaberChain::Reply SimZaberChain::axisCommand(Device& device, int axis, const QList<QByteArray>& words)
{
    SimStageAxis& a = device.axes[axis - 1];
    qint64 value = 0;
    if (words.size() == 2 && words.at(0) == "get") {
        if (words.at(1) == "pos")
            return { true, QByteArray::number(a.position) };
        if (words.at(1) == "limit.min")
            return { true, QByteArray::number(a.limitMin) };
        if (words.at(1) == "limit.max")
            return { true, QByteArray::number(a.limitMax) };
        return { false, "BADCOMMAND" };
    }
    if (words.size() == 3 && words.at(0) == "set") {
        if (!toNumber(words.at(2), &value))
            return { false, "BADDATA" };
        if (words.at(1) == "limit.min")
            a.limitMin = value;
        else if (words.at(1) == "limit.max")
            a.limitMax = value;
        else
            return { false, "BADCOMMAND" };
        return {};
    }
    if (words.size() == 3 && words.at(0) == "move" && (words.at(1) == "abs" || words.at(1) == "rel")) {
        if (!toNumber(words.at(2), &value))
            return { false, "BADDATA" };
        if (!a.homed)
            return { false, "BADCOMMAND" };
        const qint64 target = words.at(1) == "abs" ? value : a.position + value;
        if (target < a.limitMin || target > a.limitMax)
            return { false, "BADDATA" };
        a.position = target;
        a.busyPolls = m_busyPolls;
        return {};
    }
    return { false, "BADCOMMAND" };
}

SimZaberChain::Reply SimZaberChain::joystickCommand(const QList<QByteArray>& words, const QByteArray& text)
{
    QList<qint64> numbers;
    for (const QByteArray& word : words) {
        qint64 value = 0;
        if (toNumber(word, &value))
            numbers << value;
    }
    if (words.at(0) == "joystick" && words.size() >= 4 && isNumber(words.at(1))) {
        const qint64 joystickAxis = words.at(1).toLongLong();
        if (joystickAxis < 1 || joystickAxis > 3)
            return { false, "BADDATA" };
        SimJoystickAxis& state = m_joystickAxes[int(joystickAxis)];
        const QByteArray& what = words.at(2);
        if (what == "target" && words.size() == 5 && numbers.size() == 3)
            state.target = { numbers.at(1), numbers.at(2) };
        else if (what == "speedprofile" && words.size() == 4 && numbers.size() == 2)
            state.speedProfile = numbers.at(1);
        else if (what == "maxspeed" && words.size() == 4 && numbers.size() == 2)
            state.maxSpeed = numbers.at(1);
        else if (what == "resolution" && words.size() == 4 && numbers.size() == 2)
            state.resolution = numbers.at(1);
        else
            return { false, "BADDATA" };
        return {};
    }
    if (words.at(0) == "key" && words.size() >= 4 && isNumber(words.at(1)) && isNumber(words.at(2))) {
        const int key = words.at(1).toInt();
        const int event = words.at(2).toInt();
        if (key < 1 || key > 8 || event < 1 || event > 4)
            return { false, "BADDATA" };
        if (words.at(3) == "clear" && words.size() == 4) {
            m_keyActions.remove({ key, event });
            return {};
        }
        if (words.at(3) == "add" && words.size() >= 6 && isNumber(words.at(4))) {
            // The action is everything after the device address, as sent.
            const int add = text.indexOf(" add ") + 5;
            const int action = text.indexOf(' ', add) + 1;
            m_keyActions[{ key, event }] << text.mid(action);
            return {};
        }
    }
    return { false, "BADCOMMAND" };
}

QList<SimCommand> SimZaberChain::commands() const
{
    QMutexLocker locker(&m_lock);
    return m_commands;
}

QList<QByteArray> SimZaberChain::textsTo(int device) const
{
    QMutexLocker locker(&m_lock);
    QList<QByteArray> texts;
    for (const SimCommand& command : m_commands) {
        if (command.device == device)
            texts << command.text;
    }
    return texts;
}

void SimZaberChain::clearCommands()
{
    QMutexLocker locker(&m_lock);
    m_commands.clear();
}

void SimZaberChain::refuseCommandsStartingWith(const QByteArray& text)
{
    QMutexLocker locker(&m_lock);
    m_refused << text;
}

void SimZaberChain::setWarningFlag(int device, const QByteArray& flag)
{
    QMutexLocker locker(&m_lock);
    for (Device& d : m_devices) {
        if (d.setup.address == device)
            d.warning = flag;
    }
}

void SimZaberChain::setBusyPolls(int polls)
{
    QMutexLocker locker(&m_lock);
    m_busyPolls = polls;
}

void SimZaberChain::setSilent(bool silent)
{
    QMutexLocker locker(&m_lock);
    m_silent = silent;
}

SimStageAxis SimZaberChain::axis(int device, int axisNumber) const
{
    QMutexLocker locker(&m_lock);
    for (const Device& d : m_devices) {
        if (d.setup.address == device && axisNumber >= 1 && axisNumber <= d.axes.size())
            return d.axes.at(axisNumber - 1);
    }
    return {};
}

void SimZaberChain::setAxis(int device, int axisNumber, const SimStageAxis& axis)
{
    QMutexLocker locker(&m_lock);
    for (Device& d : m_devices) {
        if (d.setup.address == device && axisNumber >= 1 && axisNumber <= d.axes.size())
            d.axes[axisNumber - 1] = axis;
    }
}

SimJoystickAxis SimZaberChain::joystickAxis(int joystickAxis) const
{
    QMutexLocker locker(&m_lock);
    return m_joystickAxes.value(joystickAxis);
}

QList<QByteArray> SimZaberChain::keyActions(int key, int event) const
{
    QMutexLocker locker(&m_lock);
    return m_keyActions.value({ key, event });
}
