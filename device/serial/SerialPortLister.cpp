#include "device/serial/SerialPortLister.h"

#include <QSerialPortInfo>

SerialPortLister::~SerialPortLister() = default;

QList<SerialPortDescription> SerialPortLister::availablePorts() const
{
    QList<SerialPortDescription> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        SerialPortDescription port;
        port.portName = info.portName();
        port.hasVendorId = info.hasVendorIdentifier();
        port.vendorId = info.vendorIdentifier();
        port.hasProductId = info.hasProductIdentifier();
        port.productId = info.productIdentifier();
        port.serialNumber = info.serialNumber();
        ports.append(port);
    }
    return ports;
}
