#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// One serial port as the operating system lists it, with the USB ids of the
// adapter behind it when it has them.
struct SerialPortDescription
{
    QString portName;
    bool hasVendorId = false;
    quint16 vendorId = 0;
    bool hasProductId = false;
    quint16 productId = 0;
    QString serialNumber;
};

// The serial grabber's view of the port list. This base reads
// QSerialPortInfo; tests list pseudo-terminals, which QSerialPortInfo never
// shows, under the adapter ids they choose. Called from the grabber thread.
class SerialPortLister
{
public:
    virtual ~SerialPortLister();

    virtual QList<SerialPortDescription> availablePorts() const;
};
