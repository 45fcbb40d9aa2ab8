#pragma once
// Temporary stand-ins for the firmware engine's version triple and shared
// texts until its own units are in; removed then.

#include <QString>

namespace nsFirmware {
struct DeviceVersions
{
    QString motherboardVersion;
    QString channelVersion;
    QString bootloaderVersion;
};
}
namespace ProgressMessages {
inline const QString BlankBootloaderVersion = QStringLiteral("-1.-1");
inline const QString DefaultBootloaderVersion = QStringLiteral("2.0");
}
