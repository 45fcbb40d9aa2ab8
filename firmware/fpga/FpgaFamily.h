#pragma once

#include "device/MovraDeviceInfo.h"

#include <QByteArray>
#include <QSharedPointer>

// What the FPGA communicators (console channels, one- and two-colour
// microscopes) share: their growing frames and the preparation of replies.
namespace FpgaFamily {

// Device types whose replies the microscope classes take.
bool isMicroscopeReplyType(int deviceType);

// SOH, the escaped payload and its CRC-16 (low byte first), EOT.
QByteArray frame(const QByteArray& payload);

// The console's own prefix rules: a bootloader without release 2 puts one
// byte before the code, sometimes a DLE too, and may escape byte 3.
QByteArray prepareConsoleReply(const QSharedPointer<MovraDeviceInfo>& device, QByteArray reply);

} // namespace FpgaFamily
