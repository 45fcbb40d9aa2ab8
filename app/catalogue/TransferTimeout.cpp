#include "app/catalogue/TransferTimeout.h"

#include <QSettings>

namespace nsUpdater {

int transferTimeoutSeconds()
{
    bool isNumber = false;
    const int seconds = QSettings().value(TransferTimeoutKey).toInt(&isNumber);
    // A day at most: the milliseconds must stay within an int.
    constexpr int Longest = 24 * 60 * 60;
    if (!isNumber || seconds <= 0 || seconds > Longest)
        return DefaultTransferTimeoutSeconds;
    return seconds;
}

} // namespace nsUpdater
