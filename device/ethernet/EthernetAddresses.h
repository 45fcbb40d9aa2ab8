#pragma once

#include <QString>
#include <QtGlobal>

// The fixed addresses of the microscope link: the computer's end carries the
// host address, the instrument listens at the device address, both on one
// UDP port.
namespace EthernetAddresses {

inline const QString DeviceAddress = QStringLiteral("192.168.1.250");
inline const QString HostAddress = QStringLiteral("192.168.1.149");
constexpr quint16 Port = 8200;

} // namespace EthernetAddresses
