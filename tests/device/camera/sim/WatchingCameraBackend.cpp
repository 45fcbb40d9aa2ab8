#include "tests/device/camera/sim/WatchingCameraBackend.h"

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
    const auto watched = QSharedPointer<WatchedCameraDevice>::create(
        camera, [this] { emit frameDelivered(++m_frames); }, [this] { --m_openCameras; });
    QMutexLocker locker(&m_lastLock);
    m_last = watched;
    return watched;
}

QSharedPointer<WatchedCameraDevice> WatchingCameraBackend::lastOpened() const
{
    QMutexLocker locker(&m_lastLock);
    return m_last.toStrongRef();
}

int WatchingCameraBackend::watchIntervalMs() const
{
    return m_inner->watchIntervalMs();
}
