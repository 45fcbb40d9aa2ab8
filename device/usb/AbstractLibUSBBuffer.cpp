#include "device/usb/AbstractLibUSBBuffer.h"

AbstractLibUSBBuffer::AbstractLibUSBBuffer(quint16 packetSize, quint16 capacity, QObject* parent)
    : QObject(parent)
    , m_packetSize(packetSize)
    , m_capacity(capacity)
{
    // Room for capacity packets; one entry per byte of every packet would
    // reserve megabytes per SuperSpeed endpoint for nothing.
    m_queue.reserve(capacity);
}

QByteArray AbstractLibUSBBuffer::takeFirst()
{
    return m_queue.isEmpty() ? QByteArray() : m_queue.takeFirst();
}

unsigned char* AbstractLibUSBBuffer::frontData()
{
    return m_queue.isEmpty() ? nullptr : reinterpret_cast<unsigned char*>(m_queue.first().data());
}

int AbstractLibUSBBuffer::frontSize() const
{
    return m_queue.isEmpty() ? 0 : int(m_queue.first().size());
}

bool AbstractLibUSBBuffer::isEmpty() const
{
    return m_queue.isEmpty();
}

void AbstractLibUSBBuffer::clear()
{
    m_queue.clear();
}
