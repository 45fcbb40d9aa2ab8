#include "tests/device/serial/sim/TestPortList.h"

#include <QMutexLocker>

QList<SerialPortDescription> TestPortList::availablePorts() const
{
    QMutexLocker locker(&m_lock);
    ++m_listings;
    return m_ports;
}

void TestPortList::plug(const SerialPortDescription& port)
{
    QMutexLocker locker(&m_lock);
    m_ports.append(port);
}

void TestPortList::unplug(const QString& portName)
{
    QMutexLocker locker(&m_lock);
    for (int i = m_ports.size() - 1; i >= 0; --i) {
        if (m_ports.at(i).portName == portName)
            m_ports.removeAt(i);
    }
}

int TestPortList::listings() const
{
    QMutexLocker locker(&m_lock);
    return m_listings;
}
