#pragma once

#include "device/usb/AbstractLibUSBBuffer.h"

// At SuperSpeed a transfer carries the data as it is.
class QLibUSB3Buffer : public AbstractLibUSBBuffer
{
    Q_OBJECT

public:
    using AbstractLibUSBBuffer::AbstractLibUSBBuffer;

    void push(QByteArray data) override;
};
