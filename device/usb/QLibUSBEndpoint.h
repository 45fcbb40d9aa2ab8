#pragma once

#include "device/usb/AbstractLibUSBEndpoint.h"

// An endpoint of a device below SuperSpeed: one slot, one packet per transfer.
class QLibUSBEndpoint : public AbstractLibUSBEndpoint
{
    Q_OBJECT

public:
    static constexpr quint8 CommandEndpoint = 0x81;
    static constexpr quint16 BufferCapacity = 100;

    QLibUSBEndpoint(QSharedPointer<LibUSBApi> api, quint16 releaseNumber, const libusb_endpoint_descriptor& descriptor,
                    QObject* parent = nullptr);

protected:
    void processTransfer(libusb_transfer* transfer) override;
    void prepareTransfer(libusb_device_handle* deviceHandle) override;
    int transferLength() const override;
    char fillByte() const override;
};
