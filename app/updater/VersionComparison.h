#pragma once

#include <QLatin1String>
#include <QList>
#include <QString>

// Version texts are dotted decimal numbers ("1.2.5.0", "2.13", "3").
//
// A missing version (not read, not published) is stored as the fixed,
// untranslated MissingVersionMarker and compared against it; only
// displayVersion() translates it. So a record made before the interface
// language changed still compares the same way afterwards.
namespace nsUpdater {

// Constant-initialised, so it is usable by other constants made at static
// initialisation.
inline constexpr QLatin1String MissingVersionMarker("N/A");

// One entry per dot-separated part (empty parts kept); a part that is not a
// 32-bit decimal integer counts as 0.
QList<int> parseVersion(const QString& version);

// True when the available version is newer than the installed one: a missing
// available version never is, a missing installed version always is;
// otherwise numbers are compared over the shorter length (equal prefixes are
// equal).
bool isNewerVersion(const QString& installedVersion, const QString& availableVersion);

// The tab's status line for that pair, translated in the context
// "VEKUpdaterWidget".
QString updateStatusText(const QString& installedVersion, const QString& availableVersion);

// The version as shown to the user: the marker in the current language.
QString displayVersion(const QString& version);

} // namespace nsUpdater
