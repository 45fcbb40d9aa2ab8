#include "tests/device/camera/sim/WatchingCameraBackend.h"

#include "tests/device/camera/sim/WatchedCameraDevice.h"

WatchingCameraBackend::WatchingCameraBackend(QSharedPointer<DShowLib::CameraBackend> inner)
    : m_inner(inner)
{
}

QList<DShowLib::CameraEntry> WatchingCameraBackend::cameras()
{
    return m_inner->cameras();
}

// The backend outlives every camera it opened: the camera layer keeps it
// until the program ends.
QSharedPointer<DShowLib::CameraDevice> WatchingCameraBackend::open(const QString& id)
{
    const QSharedPointer<DShowLib::CameraDevice> camera = m_inner->open(id);
    if (!camera)
        return {};
    ++m_openCameras;
    return QSharedPointer<WatchedCameraDevice>::create(
        camera, [this] { emit frameDelivered(++m_frames); }, [this] { --m_openCameras; });
}

int WatchingCameraBackend::watchIntervalMs() const
{
    return m_inner->watchIntervalMs();
}
