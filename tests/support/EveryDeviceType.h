#pragma once

#include "firmware/core/DeviceIdentifier.h"

#include <QList>

namespace TestDeviceTypes {

// Whether the value names a device type. The switch lists every enumerator
// and has no default, so a new type that is not added here fails the build.
#pragma GCC diagnostic push
#pragma GCC diagnostic error "-Wswitch"
inline bool isDeviceType(int value)
{
    using namespace nsUpdater;
    switch (DeviceIdentifier(value)) {
    case AssistedRotaryJoint:
    case KZR410:
    case NXLT:
    case Bootloader:
    case Camera:
    case Channels:
    case Console:
    case EEPROMMemoryManager:
    case ElectrophysiologyConsole:
    case FiberPhotometryConsole:
    case GQZ:
    case GQZ2:
    case GQZ3:
    case GQZ3KAVOR:
    case IMU:
    case LightSource:
    case KAVOR:
    case Motherboard:
    case TV720:
    case HKTR:
    case USB3Driver:
    case Sarvanti:
    case YLQSAGen2:
    case KOTWGen3:
    case ZuvoBasestation:
    case SarvantiGen2: return true;
    }
    return false;
}
#pragma GCC diagnostic pop

// Far above the last type: the walk also finds a type whose value leaves a gap.
constexpr int LargestValueLookedAt = 1024;

inline QList<int> everyDeviceType()
{
    QList<int> types;
    for (int value = 0; value <= LargestValueLookedAt; ++value)
        if (isDeviceType(value))
            types.append(value);
    return types;
}

} // namespace TestDeviceTypes
