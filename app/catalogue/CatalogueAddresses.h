#pragma once

#include <QUrl>

namespace nsUpdater {

// The three catalogues on the maker's update server, which is the web host
// of the display tables.
QUrl firmwareCatalogueUrl();
QUrl softwareCatalogueUrl();
QUrl pluginCatalogueUrl();

} // namespace nsUpdater
