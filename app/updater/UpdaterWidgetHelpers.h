#pragma once

// Small helpers shared by the source files of VEKUpdaterWidget; not for use
// elsewhere.

#include "app/catalogue/UpdaterInformations.h"
#include "app/updater/VersionComparison.h"
#include "firmware/core/ProgressMessages.h"

#include <QString>
#include <QStringList>

namespace nsUpdaterWidget {

// The glyph of the status icon of the trees' rows.
constexpr int StatusGlyph = 0xF111;
// Display time of the status-bar messages of the console-channel wait.
constexpr int StatusMessageMs = 5000;
// How long the console-channel wait lasts.
constexpr int ChannelWaitMs = 5000;

// A shared text of ProgressMessages, translated.
inline QString shared(const QString& text)
{
    return ProgressMessages::translated(text);
}

// The missing-version marker, translated.
inline QString marker()
{
    return shared(ProgressMessages::NotAvailable);
}

// Catalogue and device texts go into rich text: they must not add markup.
inline QString shown(const QString& version)
{
    return nsUpdater::displayVersion(version).toHtmlEscaped();
}

inline QString pageLink(const QString& page)
{
    return QStringLiteral("<a href=\"%1\" style=\"color: #4e9ccf;\">%1</a>").arg(page.toHtmlEscaped());
}

// Position -1 is the last entry; empty when there is none.
inline QString filterAt(const QStringList& filters, int position)
{
    if (filters.isEmpty())
        return QString();
    return position < 0 ? filters.last() : filters.value(position);
}

} // namespace nsUpdaterWidget
