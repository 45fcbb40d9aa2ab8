// A plugin whose name carries more than the table name.
#include "app/installed/AbstractPluginModuleFactory.h"

#include <QObject>

class TilmarPlugin : public QObject, public AbstractPluginModuleFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID AbstractPluginModuleFactory_iid)
    Q_INTERFACES(AbstractPluginModuleFactory)

public:
    QString pluginName() const override { return QStringLiteral("Tilmar Analyzer Pro"); }
    QString pluginVersion() const override { return QStringLiteral("1.4"); }
};

#include "TilmarPlugin.moc"
