#include "device/usb/QLibUSBEndpoint.h"

#include "device/usb/QLibUSBBuffer.h"

QLibUSBEndpoint::QLibUSBEndpoint(QSharedPointer<LibUSBApi> api, quint16 releaseNumber,
                                 const libusb_endpoint_descriptor& descriptor, QObject* parent)
    : AbstractLibUSBEndpoint(api, releaseNumber, descriptor, parent)
{
    // Release 5 devices send 1024-byte packets on their data endpoints,
    // whatever their descriptors say.
    if (releaseNumber == 5 && m_description->address > CommandEndpoint)
        m_description->maxPacketSize = 1024;
    const quint16 packetSize = m_description->maxPacketSize;
    createSlots(1, 1, [packetSize] { return new QLibUSBBuffer(packetSize, BufferCapacity); });
}

int QLibUSBEndpoint::transferLength() const
{
    return m_description->maxPacketSize;
}

char QLibUSBEndpoint::fillByte() const
{
    return char(0x00);
}

void QLibUSBEndpoint::prepareTransfer(libusb_device_handle* deviceHandle)
{
    prepareSlot(m_ringPosition, deviceHandle, transferLength(), fillByte());
}

void QLibUSBEndpoint::processTransfer(libusb_transfer* transfer)
{
    const QByteArray data = takeTransferData(transfer);
    if (data.isEmpty() || transfer->status != LIBUSB_TRANSFER_COMPLETED)
        return;
    // The whole packet buffer goes on, as the device family expects it.
    if (m_description->address == CommandEndpoint)
        emit sendNewCommandReceivedFromDevice(data);
    else if (m_description->address > CommandEndpoint)
        emit sendNewDataReceivedFromDevice(data);
    write(QByteArray(m_description->maxPacketSize, QLibUSBBuffer::PadByte));
}
