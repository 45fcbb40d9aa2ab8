#pragma once

#include "device/camera/aravis/GigEDiscoveryProbe.h"
#include "device/camera/library/CameraBackend.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMutex>

#include <array>
#include <memory>
#include <vector>

struct _ArvInterface;

// The production camera stack: Aravis, for USB3 Vision and GigE Vision
// cameras. The environment variable MOVRA_CAMERA_INTERFACES, when set,
// names the Aravis interfaces to use, separated by commas (for example
// "Fake,GigEVision"); only then can Aravis's simulated camera ("Fake") be
// offered.
//
// Aravis's GigE Vision discovery lists the interfaces and opens a socket on
// each at every look, which costs more than all the other transports' looks
// together while nothing changes. So the backend asks the cameras itself
// (GigEDiscoveryProbe) and has Aravis discover only when the answers
// changed, while its list disagrees with them, and once a minute in case a
// camera answers Aravis where the probe does not look.
class AravisBackend : public DShowLib::CameraBackend
{
public:
    // The other transports' poll period: each look wakes a thread, and
    // GigE Vision's discovery sends on every network.
    static constexpr int WatchIntervalMs = 1500;
    static constexpr const char* InterfacesVariable = "MOVRA_CAMERA_INTERFACES";
    static constexpr int RediscoverAfterMs = 60000;

    AravisBackend();

    QList<DShowLib::CameraEntry> cameras() override;
    QSharedPointer<DShowLib::CameraDevice> open(const QString& id) override;
    int watchIntervalMs() const override { return WatchIntervalMs; }

    // Up to four numbers read from a version text such as "1.2.3"; the rest 0.
    static std::array<int, 4> versionNumbers(const QString& text);

private:
    std::array<int, 4> driverVersion(const QString& id);
    // Brings Aravis's list up to date, given what the GigE cameras answered.
    void updateDeviceList(const GigEDiscoveryProbe::Answers& answers);

    // The interfaces Aravis lists from, each updated on its own; the GigE
    // Vision one only as said above. Any other interface makes every look
    // a whole Aravis update.
    std::vector<_ArvInterface*> m_interfaces;
    _ArvInterface* m_gigE = nullptr;
    bool m_otherInterfaces = false;

    // One look at a time: the probe and what the last discovery saw.
    QMutex m_lookLock;
    std::unique_ptr<GigEDiscoveryProbe> m_probe;
    GigEDiscoveryProbe::Answers m_answersAtDiscovery;
    QElapsedTimer m_sinceDiscovery;

    // Aravis's device list is one for the process.
    QMutex m_lock;
    QHash<QString, std::array<int, 4>> m_driverVersions;
};
