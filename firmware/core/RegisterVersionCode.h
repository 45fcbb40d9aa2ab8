#pragma once

// The version codes of the drivers reached through register frames (the
// USB 3 microscope drivers, their channels and the consoles on the FX3
// bridge): written to ask for a version, and byte 0 of the reply that
// carries it.
namespace RegisterVersionCode {

constexpr char MotherboardVersion = 21;
constexpr char ChannelVersion = 22;
constexpr char BootloaderVersion = 23;

} // namespace RegisterVersionCode
