#pragma once

#include "tests/device/usb/sim/SimUsbBus.h"
#include "tests/support/TestTransports.h"
#include "tests/support/UsbPlugged.h"
#include "tests/support/sim/SimInstrument.h"

#include <QSharedPointer>

// A simulated bootloader-family instrument on the simulated USB bus.
using UsbInstrument = UsbPlugged<sim::Instrument>;

// The program's transports with the USB one over the simulated bus; the
// machine's own serial ports and cameras stay out of the tests (the Ethernet
// transport finds nothing outside a test's own network namespace).
TestTransports simulatedUsbTransports(QSharedPointer<SimUsbBus> bus);
