#pragma once

#include "device/usb/AbstractLibUSBEndpoint.h"

struct SuperSpeedCompanion
{
    quint8 burstSize = 0;
    quint8 attributes = 0;
    quint16 bytesPerInterval = 0;
};

// An endpoint of a SuperSpeed device: fifty armed transfers of 28 packets on
// IN endpoints, one slot that sends data as it is on OUT endpoints.
class QLibUSB3Endpoint : public AbstractLibUSBEndpoint
{
    Q_OBJECT

public:
    static constexpr quint8 CommandEndpoint = 0x81;
    static constexpr int SlotCount = 50;
    static constexpr int PacketsPerTransfer = 28;
    static constexpr quint16 OutBufferCapacity = 100;

    QLibUSB3Endpoint(QSharedPointer<LibUSBApi> api, quint16 releaseNumber, const libusb_endpoint_descriptor& descriptor,
                     const libusb_ss_endpoint_companion_descriptor& companion, QObject* parent = nullptr);

    SuperSpeedCompanion companion() const { return m_companion; }

protected:
    void processTransfer(libusb_transfer* transfer) override;
    void prepareTransfer(libusb_device_handle* deviceHandle) override;
    int transferLength() const override;
    char fillByte() const override;

private:
    SuperSpeedCompanion m_companion;
};
