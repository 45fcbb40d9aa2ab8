#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
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

// The serial grabber's view of the port list: the USB serial adapters
// (ttyUSB, ttyACM) as QSerialPortInfo describes them. QSerialPortInfo walks
// every terminal the system has, so on Linux this base looks only where the
// kernel shows USB serial terminals and asks QSerialPortInfo again only
// when their set changed. Tests list pseudo-terminals, which QSerialPortInfo
// never shows, under the adapter ids they choose. Called from the grabber
// thread.
class SerialPortLister
{
public:
    virtual ~SerialPortLister();

    virtual QList<SerialPortDescription> availablePorts() const;

private:
    // A USB serial terminal as the kernel shows it: its name and the inode
    // of its device folder, which is new whenever the device is.
    struct Terminal
    {
        QByteArray name;
        quint64 inode = 0;
        bool operator==(const Terminal& other) const { return name == other.name && inode == other.inode; }
    };

    static QList<Terminal> usbSerialTerminals(bool* readable);
    static QList<SerialPortDescription> describedPorts(bool usbSerialOnly);
    static bool describesAll(const QList<SerialPortDescription>& ports, const QList<Terminal>& terminals);

    mutable QMutex m_lock;
    mutable bool m_hasLooked = false;
    mutable QList<Terminal> m_terminals;
    mutable QList<SerialPortDescription> m_ports;
};
