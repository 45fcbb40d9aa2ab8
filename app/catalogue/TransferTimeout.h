#pragma once

#include <QString>

namespace nsUpdater {

// A transfer that receives nothing for this long fails like any network
// error, so that a server that hangs mid-body cannot hold a catalogue or a
// download for good. Kept in the user's settings beside the language.
inline const QString TransferTimeoutKey = QStringLiteral("TransferTimeoutSeconds");
constexpr int DefaultTransferTimeoutSeconds = 30;

// The stored value when it is a whole number of seconds above zero, else the
// default. Read at each request, so a change applies to the next transfer.
int transferTimeoutSeconds();

} // namespace nsUpdater
