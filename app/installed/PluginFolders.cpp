#include "app/installed/PluginFolders.h"

#include <QDir>

#ifndef MOVRA_DEFAULT_INSTALL_ROOT
#define MOVRA_DEFAULT_INSTALL_ROOT "/opt/Movrane"
#endif

namespace nsUpdater {

QString installationRoot()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/Program Files/Movrane");
#else
    const QString configured = qEnvironmentVariable("MOVRA_INSTALL_ROOT");
    QString root = configured.isEmpty() ? QStringLiteral(MOVRA_DEFAULT_INSTALL_ROOT) : configured;
    while (root.size() > 1 && root.endsWith(QLatin1Char('/')))
        root.chop(1);
    return root;
#endif
}

QStringList acquisitionPluginFolders()
{
    const QString root = installationRoot();
    return { root + QStringLiteral("/MovraStudio/plugins/"), root + QStringLiteral("/Movra Tessaly/plugins/") };
}

} // namespace nsUpdater
