#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace sim {

// The register frames' check byte, as the driver's firmware computes it:
// CRC-8, polynomial x^8 + x^2 + x + 1, initial value 0, no reflection,
// bit by bit.
quint8 registerCrc(const QByteArray& bytes);

} // namespace sim
