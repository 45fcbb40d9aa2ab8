#pragma once

#include "device/camera/library/CameraBackend.h"

#include <QSharedPointer>

namespace DShowLib {

// First and last call of each thread that uses the library.
bool InitLibrary(int apartment);
void ExitLibrary();

// The backend that grabbers made from now on use; the Aravis backend unless
// one was set. Tests set a scripted one.
QSharedPointer<CameraBackend> cameraBackend();
void setCameraBackend(QSharedPointer<CameraBackend> backend);

} // namespace DShowLib
