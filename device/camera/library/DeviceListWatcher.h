#pragma once

#include "device/camera/library/CameraBackend.h"

#include <QSharedPointer>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace DShowLib {

// Looks at the backend's camera list on a thread of its own and calls back
// whenever the list differs from the previous look.
class DeviceListWatcher
{
public:
    using Notice = std::function<void(const QList<CameraEntry>&)>;

    DeviceListWatcher(QSharedPointer<CameraBackend> backend, Notice notice);
    ~DeviceListWatcher();

    DeviceListWatcher(const DeviceListWatcher&) = delete;
    DeviceListWatcher& operator=(const DeviceListWatcher&) = delete;

    // Returns once the thread has ended; no notice comes after it.
    void stop();

private:
    void watch();

    QSharedPointer<CameraBackend> m_backend;
    Notice m_notice;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace DShowLib
