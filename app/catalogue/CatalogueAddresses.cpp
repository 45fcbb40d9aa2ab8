#include "app/catalogue/CatalogueAddresses.h"

#include "app/updater/DisplayTables.h"

namespace nsUpdater {

QUrl firmwareCatalogueUrl()
{
    return QUrl(MovraWebHost + QStringLiteral("/downloads/.updates/firmwares/firmwares_admin.json"));
}

QUrl softwareCatalogueUrl()
{
    return QUrl(MovraWebHost + QStringLiteral("/downloads/.updates/softwares/softwares.json"));
}

QUrl pluginCatalogueUrl()
{
    return QUrl(MovraWebHost + QStringLiteral("/downloads/.updates/plugins/plugins.json"));
}

} // namespace nsUpdater
