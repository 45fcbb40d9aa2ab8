#pragma once

#include "firmware/core/FirmwareTypes.h"

#include <QByteArray>

// The version codes of the drivers reached through register frames (the
// USB 3 microscope drivers, their channels and the consoles on the FX3
// bridge): written to ask for a version, and byte 0 of the reply that
// carries it.
namespace RegisterVersionCode {

constexpr char MotherboardVersion = 21;
constexpr char ChannelVersion = 22;
constexpr char BootloaderVersion = 23;

// The versions of a channel reply (22: b2.b3.b4) or a channel bootloader
// reply (23: b2.b4), the others "N/A"; false for any other reply or one too
// short.
bool channelVersions(const QByteArray& reply, nsFirmware::DeviceVersions* versions);

} // namespace RegisterVersionCode
