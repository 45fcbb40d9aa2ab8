#pragma once

#include "device/MovraDeviceInfo.h"
#include "firmware/core/ApplicationCommand.h"
#include "firmware/core/DeviceIdentifier.h"

#include <QByteArray>
#include <QSharedPointer>
#include <QString>

// The pure part of the motherboard, pulse-generator and light-source channel
// protocols: command bytes, reply fields and the type rules. No state.
namespace MotherboardFamily {

enum ApplicationCommand : char {
    AskBootloaderVersion = 1,
    ResetFromBlankBootloader = 2,
    ResetToBootloader = 6,
    AskFirmwareVersion = 7,
    AskBootloaderVersionReply = 16,
    AskMotherboardVersion = 21,
    AskChannelVersion = 22,
    ChannelErase = 24,
    ChannelEnterBootloader = 28,
    AskDriverMChannelVersion = 73,
    PrepareUpdate = 112,
};

using nsFirmware::applicationCommand;

// "a.b.c" of three reply bytes from index first, each a signed 8-bit
// number; null when the reply is too short.
QString threePartVersion(const QByteArray& reply, int first);

// What a motherboard drives, from its channel reply's bytes 2 and 3 (c1,
// c2); the device's name and release number come first.
nsUpdater::DeviceIdentifier channelDeviceType(const QString& name, quint16 release, qint8 c1, qint8 c2);
// The same from a whole reply 22 or 73; false when it is too short.
bool channelDeviceType(const QSharedPointer<MovraDeviceInfo>& device, const QByteArray& reply,
                       nsUpdater::DeviceIdentifier* type);

// A blank bootloader ("-1.-1", and for the pulse generators also "N/A")
// takes reset 2, every other one reset 6.
bool isBlankBootloader(const QString& bootloaderVersion, bool notAvailableIsBlank);

// The text after its first 'V'; the whole text when it holds none.
QString textAfterFirstV(const QByteArray& text);

// The text from just after the first 'V' of another text (the whole text
// when that one holds no 'V').
QString textAfterPositionOfFirstV(const QByteArray& text, const QByteArray& positionFrom);

bool hasDriverM(const QSharedPointer<MovraDeviceInfo>& device);

// The bootloader version of reply 1: bytes 2 and 3 from a device in its
// bootloader, else bytes 1 and 2; null when the reply is too short.
QString bootloaderVersion(const QSharedPointer<MovraDeviceInfo>& device, const QByteArray& reply);

} // namespace MotherboardFamily
