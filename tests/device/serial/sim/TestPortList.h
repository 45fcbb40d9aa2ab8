#pragma once

#include "device/serial/SerialPortLister.h"

#include <QList>
#include <QMutex>
#include <QString>

// The ports a test shows the serial grabber: pseudo-terminals under the
// adapter ids the test chooses. Read in the grabber thread.
class TestPortList : public SerialPortLister
{
public:
    QList<SerialPortDescription> availablePorts() const override;

    void plug(const SerialPortDescription& port);
    void unplug(const QString& portName);
    int listings() const;

private:
    mutable QMutex m_lock;
    QList<SerialPortDescription> m_ports;
    mutable int m_listings = 0;
};
