#include "tests/device/serial/sim/PtyDevice.h"

#include <QMutexLocker>

#include <cerrno>
#include <poll.h>
#include <unistd.h>

PtyDevice::PtyDevice(QSharedPointer<TestPortList> ports, const SerialPortDescription& adapter)
    : m_ports(ports)
    , m_adapter(adapter)
{
}

PtyDevice::~PtyDevice()
{
    stop();
}

bool PtyDevice::start()
{
    {
        QMutexLocker locker(&m_lock);
        plugLocked();
        if (!m_pty)
            return false;
    }
    m_running = true;
    m_thread = std::thread([this] { run(); });
    return true;
}

void PtyDevice::stop()
{
    if (m_running.exchange(false) && m_thread.joinable())
        m_thread.join();
    QMutexLocker locker(&m_lock);
    if (m_pty) {
        m_ports->unplug(m_pty->slavePath());
        m_pty.reset();
    }
    m_comingBack = false;
}

void PtyDevice::plugLocked()
{
    auto pty = std::make_unique<PseudoTerminal>();
    if (!pty->isValid())
        return;
    m_pty = std::move(pty);
    SerialPortDescription port = m_adapter;
    port.portName = m_pty->slavePath();
    m_ports->plug(port);
}

QString PtyDevice::portName() const
{
    QMutexLocker locker(&m_lock);
    return m_pty ? m_pty->slavePath() : QString();
}

int PtyDevice::baudRate() const
{
    return lineSpeed();
}

int PtyDevice::lineSpeed() const
{
    QMutexLocker locker(&m_lock);
    return m_pty ? m_pty->baudRate() : 0;
}

QByteArray PtyDevice::received() const
{
    QMutexLocker locker(&m_lock);
    return m_received;
}

void PtyDevice::unplug()
{
    QMutexLocker locker(&m_lock);
    m_comingBack = false;
    m_pending.clear();
    if (m_pty) {
        m_ports->unplug(m_pty->slavePath());
        m_pty.reset();
    }
}

void PtyDevice::send(const QByteArray& bytes, int delayMs)
{
    QMutexLocker locker(&m_lock);
    m_pending.append({ Clock::now() + std::chrono::milliseconds(delayMs), bytes });
}

void PtyDevice::reenumerate(quint16 productId, int delayMs)
{
    QMutexLocker locker(&m_lock);
    m_pending.clear();
    if (m_pty) {
        m_ports->unplug(m_pty->slavePath());
        m_pty.reset();
    }
    m_adapter.productId = productId;
    m_comingBack = delayMs >= 0;
    m_backAt = Clock::now() + std::chrono::milliseconds(qMax(delayMs, 0));
}

void PtyDevice::run()
{
    while (m_running) {
        int fd = -1;
        {
            QMutexLocker locker(&m_lock);
            if (!m_pty && m_comingBack && Clock::now() >= m_backAt) {
                m_comingBack = false;
                plugLocked();
            }
            fd = m_pty ? m_pty->masterFd() : -1;
        }
        QByteArray chunk;
        if (fd >= 0) {
            pollfd p { fd, POLLIN, 0 };
            if (poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
                char buffer[4096];
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n > 0)
                    chunk = QByteArray(buffer, int(n));
            }
        } else {
            usleep(10000);
        }
        if (!chunk.isEmpty()) {
            {
                QMutexLocker locker(&m_lock);
                m_received.append(chunk);
            }
            onBytes(chunk);
            m_reads.stepped();
        }
        onTick();

        QMutexLocker locker(&m_lock);
        const Clock::time_point now = Clock::now();
        for (int i = 0; i < m_pending.size();) {
            if (m_pending.at(i).at > now || !m_pty) {
                ++i;
                continue;
            }
            const QByteArray bytes = m_pending.takeAt(i).bytes;
            qsizetype written = 0;
            while (written < bytes.size()) {
                const ssize_t n =
                    ::write(m_pty->masterFd(), bytes.constData() + written, size_t(bytes.size() - written));
                if (n > 0)
                    written += n;
                else if (n < 0 && errno == EINTR)
                    continue;
                else
                    break; // nobody reads: the rest is lost, as on a wire
            }
        }
    }
}
