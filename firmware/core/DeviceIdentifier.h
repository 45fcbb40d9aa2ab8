#pragma once

#include <QMetaType>

namespace nsUpdater {

// The device type as the firmware engine and the updater see it. It selects
// the firmware communicator, the tree row and the catalogue entry.
enum DeviceIdentifier : int {
    AssistedRotaryJoint = 0,
    KZR410 = 1,
    NXLT = 2,
    Bootloader = 3,
    Camera = 4,
    Channels = 5,
    Console = 6,
    EEPROMMemoryManager = 7,
    ElectrophysiologyConsole = 8,
    FiberPhotometryConsole = 9,
    GQZ = 10,
    GQZ2 = 11,
    GQZ3 = 12,
    GQZ3KAVOR = 13,
    IMU = 14,
    LightSource = 15,
    KAVOR = 16,
    Motherboard = 17,
    TV720 = 18,
    HKTR = 19,
    USB3Driver = 20,
    Sarvanti = 21,
    YLQSAGen2 = 22,
    KOTWGen3 = 23,
    ZuvoBasestation = 24,
    SarvantiGen2 = 25,
};

} // namespace nsUpdater

Q_DECLARE_METATYPE(nsUpdater::DeviceIdentifier)
