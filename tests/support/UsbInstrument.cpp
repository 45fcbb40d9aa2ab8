#include "tests/support/UsbInstrument.h"

TestTransports simulatedUsbTransports(QSharedPointer<SimUsbBus> bus)
{
    return TestTransports().usbOver(bus).without(TestTransports::Serial).without(TestTransports::Camera);
}
