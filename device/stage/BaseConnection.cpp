#include "device/stage/BaseConnection.h"

#include "device/stage/Device.h"
#include "device/stage/MotionLibException.h"
#include "device/stage/UnitConverter.h"

#include <algorithm>

namespace zaber {
namespace motion {
namespace ascii {

BaseConnection::BaseConnection(QSharedPointer<AsciiSerialLink> link)
    : m_link(link)
{
}

QSharedPointer<AsciiSerialLink> BaseConnection::link() const
{
    if (!m_link)
        throw MotionLibException(QStringLiteral("the connection is not open"));
    return m_link;
}

Response BaseConnection::genericCommand(const std::string& command, int device, int axis, bool checkErrors,
                                        int timeout) const
{
    const QByteArray text = QByteArray::fromStdString(command);
    const Response reply = link()->request(device, axis, text, timeout);
    if (checkErrors)
        reply.check(text);
    return reply;
}

std::vector<int> BaseConnection::homeAll(bool waitUntilIdle) const
{
    const QSharedPointer<AsciiSerialLink> chain = link();
    std::vector<int> homed;
    for (const Response& reply : chain->broadcast("home")) {
        if (reply.isRejected() && reply.data() == "BADCOMMAND")
            continue;
        reply.check("home");
        homed.push_back(reply.deviceAddress());
    }
    if (homed.empty())
        throw MotionLibException(QStringLiteral("no device of the chain can home"));
    if (waitUntilIdle) {
        for (const int address : homed)
            chain->waitUntilIdle(address, 0);
    }
    return homed;
}

std::vector<Device> BaseConnection::detectDevices(bool identifyDevices) const
{
    const QSharedPointer<AsciiSerialLink> chain = link();
    std::vector<Device> devices;
    for (const Response& reply : chain->broadcast("get deviceid")) {
        reply.check("get deviceid");
        bool ok = false;
        const int deviceId = reply.data().toInt(&ok);
        if (!ok) {
            throw MotionLibException(QStringLiteral("device %1 gave no device id: %2")
                                         .arg(reply.deviceAddress())
                                         .arg(QString::fromLatin1(reply.data())));
        }
        const UnitConverter converter =
            identifyDevices ? UnitConverter(UnitConverter::stepsPerMillimetre(deviceId)) : UnitConverter();
        devices.emplace_back(chain.toWeakRef(), reply.deviceAddress(), deviceId, converter);
    }
    std::stable_sort(devices.begin(), devices.end(),
                     [](const Device& a, const Device& b) { return a.getDeviceAddress() < b.getDeviceAddress(); });
    return devices;
}

} // namespace ascii
} // namespace motion
} // namespace zaber
