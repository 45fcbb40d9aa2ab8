#pragma once

#include <QtGlobal>

// What the device's CRC is compared with: the CRC-16 of the image range, its
// length in bytes and its start as the device counts addresses.
struct FirmwareImageInformation
{
    quint16 crc = 0;
    quint32 length = 0;
    quint32 startAddress = 0;
};

inline bool operator==(const FirmwareImageInformation& a, const FirmwareImageInformation& b)
{
    return a.crc == b.crc && a.length == b.length && a.startAddress == b.startAddress;
}
