#include "device/camera/library/DeviceListWatcher.h"

#include <chrono>

namespace DShowLib {

DeviceListWatcher::DeviceListWatcher(QSharedPointer<CameraBackend> backend, Notice notice)
    : m_backend(backend)
    , m_notice(std::move(notice))
{
    m_thread = std::thread([this] { watch(); });
}

DeviceListWatcher::~DeviceListWatcher()
{
    stop();
}

void DeviceListWatcher::stop()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void DeviceListWatcher::watch()
{
    // The first look only learns the list: the grabber makes its own first
    // pass, so there is nothing to announce yet.
    QList<CameraEntry> previous = m_backend->cameras();
    const auto interval = std::chrono::milliseconds(m_backend->watchIntervalMs());
    for (;;) {
        {
            std::unique_lock<std::mutex> guard(m_lock);
            if (m_wake.wait_for(guard, interval, [this] { return m_stopping; }))
                return;
        }
        const QList<CameraEntry> current = m_backend->cameras();
        if (current != previous) {
            previous = current;
            m_notice(current);
        }
    }
}

} // namespace DShowLib
