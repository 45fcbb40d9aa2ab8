#pragma once

#include "device/AbstractGrabber.h"
#include "device/MovraDeviceInfo.h"
#include "device/serial/SerialPortLister.h"

#include <QByteArray>
#include <QMap>
#include <QSharedPointer>
#include <QString>

// Lists the serial ports every poll period, keeps those whose adapter ids
// are in its table and announces arrivals and removals, told apart by the
// uid made of the ids and the adapter's serial number.
class SerialGrabber : public AbstractGrabber
{
    Q_OBJECT

public:
    explicit SerialGrabber(QObject* parent = nullptr);
    // Ports come from lister, QSerialPortInfo by default.
    explicit SerialGrabber(QSharedPointer<SerialPortLister> lister, QObject* parent = nullptr);
    ~SerialGrabber() override;

    // The driver type an adapter stands for; false when it is not accepted.
    static bool acceptedAdapter(quint16 vendorId, quint16 productId, DriverType* driverType);
    static QSharedPointer<MovraDeviceInfo> createDeviceInfo(const SerialPortDescription& port);
    // Vendor id and product id, high byte first, then the serial-number text.
    static QByteArray makeDeviceKey(quint16 vendorId, quint16 productId, const QString& serialNumber);

protected slots:
    void refreshAvailableDevices() override;

private:
    QSharedPointer<SerialPortLister> m_lister;
    QMap<QSharedPointer<MovraDeviceInfo>, QString> m_knownDevices;
};
