#pragma once

#include "device/CommunicatorFactory.h"
#include "tests/device/usb/sim/SimUsbBus.h"
#include "tests/support/UsbPlugged.h"
#include "tests/support/sim/SimInstrument.h"

#include <QSharedPointer>

// A simulated bootloader-family instrument on the simulated USB bus.
using UsbInstrument = UsbPlugged<sim::Instrument>;

// The program's transports with the USB one over the simulated bus; no
// camera or serial transport (the Ethernet one finds nothing outside a test's
// own network namespace).
class SimulatedUsbTransports : public CommunicatorFactory
{
public:
    explicit SimulatedUsbTransports(QSharedPointer<SimUsbBus> bus);
    QSharedPointer<AbstractCommunicator> createUSBCommunicator() override;
    // The machine's own serial ports stay out of the tests.
    QSharedPointer<AbstractCommunicator> createSerialCommunicator() override;
    // Nor its cameras.
    QSharedPointer<AbstractCommunicator> createTISCameraCommunicator() override;

private:
    QSharedPointer<SimUsbBus> m_bus;
};
