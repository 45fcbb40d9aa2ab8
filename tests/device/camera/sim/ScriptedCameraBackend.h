#pragma once

#include "device/camera/library/CameraBackend.h"
#include "tests/device/camera/sim/ScriptedCameraDevice.h"

#include <QList>
#include <QMap>
#include <QMutex>
#include <QThread>

// A camera stack whose list the test sets at chosen moments, from any
// thread. Remembers which threads looked at the list.
class ScriptedCameraBackend : public DShowLib::CameraBackend
{
public:
    static constexpr int ScriptedWatchIntervalMs = 10;

    static DShowLib::CameraEntry camera(const QString& model, const QString& serial,
                                        std::array<int, 4> driverVersion = {});

    void setCameras(const QList<DShowLib::CameraEntry>& cameras);
    // The camera a listed entry's id opens; a listed camera without one
    // cannot be opened.
    void setDevice(const QString& id, QSharedPointer<ScriptedCameraDevice> device);
    QStringList opened() const;

    // How many looks came from the given thread.
    int looksFrom(QThread* thread) const;

    QList<DShowLib::CameraEntry> cameras() override;
    QSharedPointer<DShowLib::CameraDevice> open(const QString& id) override;
    int watchIntervalMs() const override { return ScriptedWatchIntervalMs; }

private:
    mutable QMutex m_lock;
    QList<DShowLib::CameraEntry> m_cameras;
    QList<QThread*> m_lookers;
    QMap<QString, QSharedPointer<ScriptedCameraDevice>> m_devices;
    QStringList m_opened;
};
