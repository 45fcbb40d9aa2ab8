#pragma once

#include "tests/device/usb/sim/SimUsbBus.h"
#include "tests/firmware/microscope/sim/SimUsb3Microscope.h"
#include "tests/support/StepWait.h"

#include <QMutex>
#include <QSharedPointer>

#include <functional>

// A simulated USB 3 microscope driver plugged into the simulated bus at
// SuperSpeed: bulk OUT 0x01 and IN 0x81 with their companion descriptors.
// Its frames reach the driver's own parser; its replies come back on 0x81.
class UsbMicroscope
{
public:
    static constexpr quint16 VendorId = 0x04B4;
    static constexpr quint16 ProductId = 0x00F1;

    UsbMicroscope(QSharedPointer<SimUsbBus> bus, quint16 release,
                  const sim::Usb3Microscope::Versions& versions = sim::Usb3Microscope::Versions(), quint8 port = 3,
                  quint8 address = 7);
    ~UsbMicroscope();

    UsbMicroscope(const UsbMicroscope&) = delete;
    UsbMicroscope& operator=(const UsbMicroscope&) = delete;

    QString uid() const;
    // Bytes on its bulk IN endpoint that nothing asked for.
    void sendUnasked(const QByteArray& bytes);
    // Told the payload's first byte of each register write to the channel
    // before the driver answers it.
    void setOnChannelWrite(std::function<void(char code)> onWrite);
    // Runs the event loop until done() holds, asked after each frame the
    // driver took, or until timeoutMs have passed.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs) { return m_frames.waitUntil(done, timeoutMs); }
    // Runs f on the driver while its frames are held back.
    template <typename F>
    auto with(F f)
    {
        QMutexLocker locker(&m_lock);
        return f(m_driver);
    }

private:
    QSharedPointer<SimUsbBus> m_bus;
    QSharedPointer<SimUsbDevice> m_device;
    mutable QMutex m_lock;
    sim::Usb3Microscope m_driver;
    std::function<void(char)> m_onWrite;
    StepWait m_frames;
};
