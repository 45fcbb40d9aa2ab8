#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"
#include "firmware/core/ApplicationCommand.h"

#include <QByteArray>
#include <QSharedPointer>
#include <QString>

// What the four bootloader-protocol communicators share beyond their base.
namespace BootloaderFamily {

using nsFirmware::applicationCommand;

// The device's CRC in a decoded reply (code, low byte, high byte); false
// when the reply is too short to hold one.
bool decodedCrc(const QByteArray& reply, quint16* crc);

} // namespace BootloaderFamily

namespace BootloaderFamily {

// Reports versions for the replying device; the ones not read are "N/A".
void reportVersions(AbstractFirmwareCommunicator* communicator, const QSharedPointer<MovraDeviceInfo>& device,
                    const QString& motherboard, const QString& channel, const QString& bootloader);

} // namespace BootloaderFamily
