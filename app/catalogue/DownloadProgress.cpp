#include "app/catalogue/DownloadProgress.h"

#include <limits>

namespace nsUpdater {

ProgressRange scaledDownloadProgress(qint64 bytesReceived, qint64 bytesTotal)
{
    constexpr qint64 limit = std::numeric_limits<int>::max();
    qint64 received = qMax<qint64>(bytesReceived, 0);
    qint64 total = bytesTotal < 0 ? -1 : bytesTotal;
    while (received > limit || total > limit) {
        received >>= 1;
        if (total > 0)
            total >>= 1;
    }
    return { int(received), int(total) };
}

} // namespace nsUpdater
