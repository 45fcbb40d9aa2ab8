#include "device/camera/library/CameraLibrary.h"

#include <QMutex>
#include <QMutexLocker>

namespace DShowLib {

namespace {

QMutex& backendLock()
{
    static QMutex lock;
    return lock;
}

QSharedPointer<CameraBackend>& currentBackend()
{
    static QSharedPointer<CameraBackend> backend;
    return backend;
}

} // namespace

bool InitLibrary(int)
{
    cameraBackend();
    return true;
}

// Cameras may still be closed after the last thread ended, so the backend
// stays until the program ends.
void ExitLibrary()
{
}

QSharedPointer<CameraBackend> cameraBackend()
{
    QMutexLocker locker(&backendLock());
    if (!currentBackend())
        currentBackend() = createProductionBackend();
    return currentBackend();
}

void setCameraBackend(QSharedPointer<CameraBackend> backend)
{
    QMutexLocker locker(&backendLock());
    currentBackend() = backend;
}

} // namespace DShowLib
