#pragma once

#include <QByteArray>

namespace nsFirmware {

// A command to an instrument's running application, in every family: 64
// bytes of 0xFF whose first bytes are the code, 0x00 and the extra bytes.
QByteArray applicationCommand(char code, const QByteArray& extra = {});

} // namespace nsFirmware
