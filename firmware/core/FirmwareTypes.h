#pragma once

#include "firmware/core/ProgressMessages.h"

#include <QMetaType>
#include <QString>

namespace nsFirmware {

// Installed versions of one device; a version that was not read is "N/A".
struct DeviceVersions
{
    QString motherboardVersion = ProgressMessages::NotAvailable;
    QString channelVersion = ProgressMessages::NotAvailable;
    QString bootloaderVersion = ProgressMessages::NotAvailable;
};

inline bool operator==(const DeviceVersions& a, const DeviceVersions& b)
{
    return a.motherboardVersion == b.motherboardVersion && a.channelVersion == b.channelVersion
           && a.bootloaderVersion == b.bootloaderVersion;
}

enum MessageStatus : int {
    InProgress = 0,
    Error = 1,
    Success = 2,
};

// The first payload byte of every bootloader packet; the channel forms add 22.
enum BootloaderCommand : char {
    ReadBootInfo = 1,
    EraseFlash = 2,
    ProgramFlash = 3,
    ReadCrc = 4,
    JumpToApplication = 5,
    ChannelReadBootInfo = 23,
    ChannelEraseFlash = 24,
    ChannelProgramFlash = 25,
    ChannelReadCrc = 26,
    ChannelJumpToApplication = 27,
    ChannelEnterBootloader = 28,
    ChannelCommand29 = 29,
    ChannelCommand30 = 30,
};

// Step codes of their own, beside the command codes, in step reports.
enum FirmwareResponseCode : char {
    ReconnectToBootloader = 'q',
    ExternalProgrammer = 'r',
};

// How the updater finds a device again once its update reset it.
enum class ReconnectRoute {
    BootloaderByUid,
    SerialBootloaderBySerialNumber,
    USB3Communicator,
};

} // namespace nsFirmware

Q_DECLARE_METATYPE(nsFirmware::DeviceVersions)
Q_DECLARE_METATYPE(nsFirmware::MessageStatus)
