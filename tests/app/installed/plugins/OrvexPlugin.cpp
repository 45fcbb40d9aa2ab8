// A plugin of the acquisition program whose name is a table name exactly.
#include "app/installed/AbstractPluginModuleFactory.h"

#include <QObject>

class OrvexPlugin : public QObject, public AbstractPluginModuleFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID AbstractPluginModuleFactory_iid)
    Q_INTERFACES(AbstractPluginModuleFactory)

public:
    QString pluginName() const override { return QStringLiteral("Orvex Analyzer"); }
    QString pluginVersion() const override { return QStringLiteral("2.1.0"); }
};

#include "OrvexPlugin.moc"
