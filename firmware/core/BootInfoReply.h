#pragma once

#include "device/MovraDeviceInfo.h"
#include "firmware/core/FirmwareTypes.h"

#include <QByteArray>
#include <QSharedPointer>

// Reply 1 (boot info) of the bootloader protocol: the bootloader's version
// in two bytes, wherever the family's framing leaves them. No state.
namespace BootInfoReply {

// Where the version starts in a reply passed through removeBootloaderPrefix:
// byte 2 from a device in its bootloader, else byte 1.
int prefixedVersionIndex(const QSharedPointer<MovraDeviceInfo>& device);

// The versions of a boot-info reply whose version is bytes first and
// first + 1, each a signed 8-bit number: the bootloader's, the others
// "N/A"; false for any other reply or one too short.
bool versions(const QByteArray& reply, int first, nsFirmware::DeviceVersions* versions);

} // namespace BootInfoReply
