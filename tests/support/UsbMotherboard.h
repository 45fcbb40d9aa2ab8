#pragma once

#include "tests/support/UsbPlugged.h"
#include "tests/support/sim/SimMotherboard.h"

// A simulated motherboard or pulse generator on the simulated USB bus: a new
// enumeration as its other face on reset and jump. Its channel modules never
// leave its connection.
using UsbMotherboard = UsbPlugged<sim::Motherboard>;
