#pragma once

#include "device/usb/AbstractLibUSBBuffer.h"

// Below SuperSpeed every transfer is exactly one packet: data is padded with
// 0xEF and split into packets of the packet size.
class QLibUSBBuffer : public AbstractLibUSBBuffer
{
    Q_OBJECT

public:
    static constexpr char PadByte = char(0xEF);

    using AbstractLibUSBBuffer::AbstractLibUSBBuffer;

    void push(QByteArray data) override;
};
