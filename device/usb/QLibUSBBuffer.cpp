#include "device/usb/QLibUSBBuffer.h"

void QLibUSBBuffer::push(QByteArray data)
{
    if (data.isEmpty() || m_packetSize == 0)
        return;
    const qsizetype remainder = data.size() % m_packetSize;
    if (remainder != 0)
        data.append(m_packetSize - remainder, PadByte);
    for (qsizetype offset = 0; offset < data.size(); offset += m_packetSize)
        m_queue.append(data.mid(offset, m_packetSize));
}
