#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"
#include "firmware/core/ApplicationCommand.h"

#include <QByteArray>
#include <QSharedPointer>
#include <QString>

// What the four bootloader-protocol communicators share beyond their base.
namespace BootloaderFamily {

using nsFirmware::applicationCommand;

// Reports versions for the replying device; the ones not read are "N/A".
void reportVersions(AbstractFirmwareCommunicator* communicator, const QSharedPointer<MovraDeviceInfo>& device,
                    const QString& motherboard, const QString& channel, const QString& bootloader);

} // namespace BootloaderFamily
