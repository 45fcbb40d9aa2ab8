#pragma once

#include "device/serial/SerialPortLister.h"
#include "tests/device/serial/sim/PseudoTerminal.h"
#include "tests/device/serial/sim/TestPortList.h"
#include "tests/support/StepWait.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QSharedPointer>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

// A simulated serial device on the master side of a pseudo-terminal, run
// by a thread of its own. A subclass answers what it reads; it may leave
// the port list and come back on a new pseudo-terminal, as a USB adapter
// does when its device resets.
class PtyDevice
{
public:
    PtyDevice(QSharedPointer<TestPortList> ports, const SerialPortDescription& adapter);
    virtual ~PtyDevice();
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    // Plugs the device in and starts answering; false without a pty.
    bool start();
    // Subclasses stop in their destructor, before their members go.
    void stop();

    // The port name the program sees now (empty while unplugged).
    QString portName() const;
    int baudRate() const;
    // Everything read so far, in order.
    QByteArray received() const;
    // Pulled out by the test.
    void unplug();
    // Runs the event loop until done() holds, asked after each read of the
    // bytes the program wrote, or until timeoutMs have passed.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs) { return m_reads.waitUntil(done, timeoutMs); }

protected:
    using Clock = std::chrono::steady_clock;

    // In the device thread: bytes the program wrote.
    virtual void onBytes(const QByteArray& bytes) = 0;
    // In the device thread, every 10 ms.
    virtual void onTick() { }

    // From the device thread: bytes for the program, after delayMs.
    void send(const QByteArray& bytes, int delayMs = 0);
    // From the device thread: off the list now, back with another
    // adapter product id on a new pty after delayMs (never when negative).
    void reenumerate(quint16 productId, int delayMs);
    int lineSpeed() const;

private:
    void run();
    void plugLocked();

    struct Pending
    {
        Clock::time_point at;
        QByteArray bytes;
    };

    QSharedPointer<TestPortList> m_ports;
    mutable QMutex m_lock;
    SerialPortDescription m_adapter;
    std::unique_ptr<PseudoTerminal> m_pty;
    QByteArray m_received;
    QList<Pending> m_pending;
    bool m_comingBack = false;
    Clock::time_point m_backAt;
    std::atomic<bool> m_running { false };
    StepWait m_reads;
    std::thread m_thread;
};
