#pragma once

#include "device/AbstractGrabber.h"
#include "device/usb/LibUSBApi.h"

#include <QByteArray>
#include <QList>
#include <QSharedPointer>

// Lists the USB devices every poll period, keeps those of the accepted
// vendor and product ids and announces arrivals and removals, which it
// tells apart by the device's location key.
class USBGrabber : public AbstractGrabber
{
    Q_OBJECT

public:
    static constexpr int StringBufferSize = 64;

    explicit USBGrabber(QObject* parent = nullptr);
    explicit USBGrabber(QSharedPointer<LibUSBApi> api, QObject* parent = nullptr);
    ~USBGrabber() override;

    static bool isSupportedDevice(quint16 vendorId, quint16 productId);
    // Vendor id, product id (high byte first), bus, port and address.
    static QByteArray usbLocationBytes(LibUSBApi& api, libusb_device* device,
                                       const libusb_device_descriptor& descriptor);
    QSharedPointer<MovraDeviceInfo> createDeviceInfo(libusb_device* device, const libusb_device_descriptor& descriptor);

protected slots:
    void refreshAvailableDevices() override;

private:
    QString readString(libusb_device_handle* handle, quint8 index);

    QSharedPointer<LibUSBApi> m_api;
    bool m_contextReady = false;
    QList<QSharedPointer<MovraDeviceInfo>> m_knownDevices;
};
