#include "tests/support/UsbInstrument.h"

#include "device/usb/USBCommunicator.h"

SimulatedUsbTransports::SimulatedUsbTransports(QSharedPointer<SimUsbBus> bus)
    : m_bus(bus)
{
}

QSharedPointer<AbstractCommunicator> SimulatedUsbTransports::createUSBCommunicator()
{
    return QSharedPointer<USBCommunicator>::create(m_bus);
}

QSharedPointer<AbstractCommunicator> SimulatedUsbTransports::createSerialCommunicator()
{
    return {};
}

QSharedPointer<AbstractCommunicator> SimulatedUsbTransports::createTISCameraCommunicator()
{
    return {};
}
