#pragma once

#include "device/camera/library/CameraBackend.h"

#include <QHash>
#include <QMutex>

#include <array>

// The production camera stack: Aravis, for USB3 Vision and GigE Vision
// cameras. The environment variable MOVRA_CAMERA_INTERFACES, when set,
// names the Aravis interfaces to use, separated by commas (for example
// "Fake,GigEVision"); only then can Aravis's simulated camera ("Fake") be
// offered.
class AravisBackend : public DShowLib::CameraBackend
{
public:
    // The other transports' poll period: each look wakes a thread, and
    // GigE Vision's discovery sends on every network.
    static constexpr int WatchIntervalMs = 1500;
    static constexpr const char* InterfacesVariable = "MOVRA_CAMERA_INTERFACES";

    AravisBackend();

    QList<DShowLib::CameraEntry> cameras() override;
    QSharedPointer<DShowLib::CameraDevice> open(const QString& id) override;
    int watchIntervalMs() const override { return WatchIntervalMs; }

    // Up to four numbers read from a version text such as "1.2.3"; the rest 0.
    static std::array<int, 4> versionNumbers(const QString& text);

private:
    std::array<int, 4> driverVersion(const QString& id);

    // Aravis's device list is one for the process.
    QMutex m_lock;
    QHash<QString, std::array<int, 4>> m_driverVersions;
};
