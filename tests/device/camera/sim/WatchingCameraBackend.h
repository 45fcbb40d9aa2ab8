#pragma once

#include "device/camera/library/CameraBackend.h"
#include "tests/device/camera/sim/WatchedCameraDevice.h"

#include <QMutex>
#include <QObject>
#include <QSharedPointer>
#include <QWeakPointer>

#include <atomic>

// Another camera stack (Aravis in the tests) seen from below the camera
// layer: counts the frames its streams deliver and the cameras left open.
class WatchingCameraBackend : public QObject, public DShowLib::CameraBackend
{
    Q_OBJECT

public:
    explicit WatchingCameraBackend(QSharedPointer<DShowLib::CameraBackend> inner);

    int frames() const { return m_frames; }
    int openCameras() const { return m_openCameras; }
    // The camera opened last, while it is open.
    QSharedPointer<WatchedCameraDevice> lastOpened() const;

    QList<DShowLib::CameraEntry> cameras() override;
    QSharedPointer<DShowLib::CameraDevice> open(const QString& id) override;
    int watchIntervalMs() const override;

signals:
    // From the stack's stream threads, with the running count.
    void frameDelivered(int count);

private:
    QSharedPointer<DShowLib::CameraBackend> m_inner;
    std::atomic<int> m_frames { 0 };
    std::atomic<int> m_openCameras { 0 };
    mutable QMutex m_lastLock;
    QWeakPointer<WatchedCameraDevice> m_last;
};
