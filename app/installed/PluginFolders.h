#pragma once

#include <QString>
#include <QStringList>

namespace nsUpdater {

// Folder that holds the maker's installed programs. On Windows it is fixed;
// elsewhere the environment variable MOVRA_INSTALL_ROOT overrides the
// default chosen at build time (MOVRA_DEFAULT_INSTALL_ROOT).
QString installationRoot();

// The acquisition program's plugin folders, older program first, each with a
// trailing "/". Whether they exist is for the caller to find out.
QStringList acquisitionPluginFolders();

} // namespace nsUpdater
