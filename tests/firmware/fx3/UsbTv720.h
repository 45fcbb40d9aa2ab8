#pragma once

#include "tests/device/usb/sim/SimUsbBus.h"
#include "tests/firmware/fx3/sim/SimFx3Bridge.h"

#include <QMutex>
#include <QSharedPointer>

#include <functional>

// A simulated TV720 console on the simulated bus at SuperSpeed: its version
// answered on the bulk endpoints (register read checked with its own CRC-8),
// its FX3 bridge answering the vendor control transfers.
class UsbTv720
{
public:
    UsbTv720(QSharedPointer<SimUsbBus> bus, char major, char minor, quint8 port = 4, quint8 address = 9);
    ~UsbTv720();

    UsbTv720(const UsbTv720&) = delete;
    UsbTv720& operator=(const UsbTv720&) = delete;

    QString uid() const;
    template <typename F>
    auto with(F f)
    {
        QMutexLocker locker(&m_lock);
        return f(m_bridge);
    }
    int rejectedFrames() const;
    // Bytes on its bulk IN endpoint that nothing asked for.
    void sendUnasked(const QByteArray& bytes);
    // Told the request of each control command before the bridge answers.
    void setOnCommand(std::function<void(quint8 request)> onCommand);

private:
    int control(const SimControlRequest& request, QByteArray& data);

    QSharedPointer<SimUsbBus> m_bus;
    QSharedPointer<SimUsbDevice> m_device;
    mutable QMutex m_lock;
    sim::Fx3Bridge m_bridge;
    QByteArray m_pendingData; // the OUT stage of a command, until its IN stage
    quint8 m_pendingRequest = 0;
    char m_major;
    char m_minor;
    int m_rejected = 0;
    std::function<void(quint8)> m_onCommand;
};
