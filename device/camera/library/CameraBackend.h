#pragma once

#include "device/camera/library/CameraDevice.h"
#include "device/camera/library/CameraEntry.h"

#include <QList>
#include <QSharedPointer>

namespace DShowLib {

// The camera stack under the library layer. Called from several threads at
// once (the list watcher, discovery and the camera handlers).
class CameraBackend
{
public:
    virtual ~CameraBackend();

    // Looks again for cameras and lists them.
    virtual QList<CameraEntry> cameras() = 0;
    // Null when the camera cannot be opened.
    virtual QSharedPointer<CameraDevice> open(const QString& id) = 0;
    // How often the layer looks at the list for changes.
    virtual int watchIntervalMs() const = 0;
};

// The production stack, which grabbers use unless another backend was set.
// The backend built into the library defines it: the layer itself knows
// only this interface.
QSharedPointer<CameraBackend> createProductionBackend();

} // namespace DShowLib
