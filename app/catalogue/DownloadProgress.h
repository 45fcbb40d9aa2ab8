#pragma once

#include <QtGlobal>

namespace nsUpdater {

// A download's progress narrowed to the int range of a progress bar.
struct ProgressRange
{
    int value = 0;
    int maximum = 0;
};

// Halves both byte counts together until they fit in an int, so files above
// 2 GiB keep their ratio instead of wrapping. A negative total (unknown size)
// stays -1; a negative received count reads as 0.
ProgressRange scaledDownloadProgress(qint64 bytesReceived, qint64 bytesTotal);

} // namespace nsUpdater
