#pragma once

namespace nsFirmware {

// Answer of the device-family question before a console or light-source update.
enum class ButtonIdentifier : int {
    LightSourceButton = 0,
    KAVORButton = 1,
    ElectrophyButton = 2,
    PhotometryButton = 3,
    MicroscopeButton = 4,
    CancelButton = 5
};

// Answer of the stable-or-beta question before a program is installed.
enum class SoftwareButtonIdentifier : int {
    StableButton = 0,
    BetaButton = 1,
    CancelButton = 2
};

} // namespace nsFirmware
