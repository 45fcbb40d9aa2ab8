#include "tests/device/camera/sim/ScriptedCameraBackend.h"

#include <QMutexLocker>

DShowLib::CameraEntry ScriptedCameraBackend::camera(const QString& model, const QString& serial,
                                                    std::array<int, 4> driverVersion)
{
    DShowLib::CameraEntry entry;
    entry.id = model + QLatin1Char('-') + serial;
    entry.model = model;
    entry.serial = serial;
    entry.driverVersion = driverVersion;
    return entry;
}

void ScriptedCameraBackend::setCameras(const QList<DShowLib::CameraEntry>& cameras)
{
    QMutexLocker locker(&m_lock);
    m_cameras = cameras;
}

int ScriptedCameraBackend::looksFrom(QThread* thread) const
{
    QMutexLocker locker(&m_lock);
    return int(m_lookers.count(thread));
}

QList<DShowLib::CameraEntry> ScriptedCameraBackend::cameras()
{
    QMutexLocker locker(&m_lock);
    m_lookers.append(QThread::currentThread());
    return m_cameras;
}

void ScriptedCameraBackend::setDevice(const QString& id, QSharedPointer<ScriptedCameraDevice> device)
{
    QMutexLocker locker(&m_lock);
    m_devices.insert(id, device);
}

QStringList ScriptedCameraBackend::opened() const
{
    QMutexLocker locker(&m_lock);
    return m_opened;
}

QSharedPointer<DShowLib::CameraDevice> ScriptedCameraBackend::open(const QString& id)
{
    QMutexLocker locker(&m_lock);
    m_opened << id;
    return m_devices.value(id);
}
