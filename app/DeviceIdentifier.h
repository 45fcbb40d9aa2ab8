#pragma once

// Stand-in for the firmware engine's device-type enumeration, so that the
// display tables build on their own; every user of the device type includes
// this one header. To be replaced by the firmware engine's header.
namespace nsUpdater {

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
