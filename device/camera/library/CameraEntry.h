#pragma once

#include <QString>

#include <array>

namespace DShowLib {

// One camera as a backend lists it. An empty serial text means the camera
// gives none; driver-version parts the camera does not report stay 0.
struct CameraEntry
{
    QString id;
    QString model;
    QString serial;
    std::array<int, 4> driverVersion {};

    bool operator==(const CameraEntry& other) const
    {
        return id == other.id && model == other.model && serial == other.serial && driverVersion == other.driverVersion;
    }
    bool operator!=(const CameraEntry& other) const { return !(*this == other); }
};

} // namespace DShowLib
