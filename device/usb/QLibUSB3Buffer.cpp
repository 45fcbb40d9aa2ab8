#include "device/usb/QLibUSB3Buffer.h"

void QLibUSB3Buffer::push(QByteArray data)
{
    if (data.isEmpty())
        return;
    m_queue.append(data);
}
