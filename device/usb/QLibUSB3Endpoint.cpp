#include "device/usb/QLibUSB3Endpoint.h"

#include "device/usb/QLibUSB3Buffer.h"

QLibUSB3Endpoint::QLibUSB3Endpoint(QSharedPointer<LibUSBApi> api, quint16 releaseNumber,
                                   const libusb_endpoint_descriptor& descriptor,
                                   const libusb_ss_endpoint_companion_descriptor& companion, QObject* parent)
    : AbstractLibUSBEndpoint(api, releaseNumber, descriptor, parent)
{
    m_companion.burstSize = quint8(companion.bMaxBurst + 1);
    m_companion.attributes = companion.bmAttributes;
    m_companion.bytesPerInterval = companion.wBytesPerInterval;
    const quint16 packetSize = m_description->maxPacketSize;
    if (isIn()) {
        const quint16 transferSize = quint16(packetSize * PacketsPerTransfer);
        createSlots(SlotCount, SlotCount, [transferSize] { return new QLibUSB3Buffer(transferSize, 1); });
    } else {
        createSlots(SlotCount, 1, [packetSize] { return new QLibUSB3Buffer(packetSize, OutBufferCapacity); });
    }
}

int QLibUSB3Endpoint::transferLength() const
{
    return isIn() ? m_description->maxPacketSize * PacketsPerTransfer : m_description->maxPacketSize;
}

char QLibUSB3Endpoint::fillByte() const
{
    return char(0xEF);
}

void QLibUSB3Endpoint::prepareTransfer(libusb_device_handle* deviceHandle)
{
    prepareSlot(m_ringPosition, deviceHandle, transferLength(), fillByte());
}

void QLibUSB3Endpoint::processTransfer(libusb_transfer* transfer)
{
    const int index = slotOf(transfer);
    const QByteArray data = takeTransferData(transfer);
    if (data.isEmpty() || index < 0)
        return;
    if (m_description->address == CommandEndpoint) {
        const int length = qMin(transfer->actual_length, int(data.size()));
        emit sendNewUSB3CommandReceivedFromDevice(data.left(length), length);
    } else if (m_description->address > CommandEndpoint) {
        emit sendNewDataReceivedFromDevice(data);
    }
    requeueSlot(QByteArray(transferLength(), fillByte()), index);
}
