// A Qt plugin of another interface with the same shape and a table name:
// only the interface id tells it apart.
#include <QObject>
#include <QString>
#include <QtPlugin>

class OtherModuleFactory
{
public:
    virtual ~OtherModuleFactory() = default;
    virtual QString pluginName() const = 0;
    virtual QString pluginVersion() const = 0;
};

#define OtherModuleFactory_iid "org.example.OtherModuleFactory/1.0"
Q_DECLARE_INTERFACE(OtherModuleFactory, OtherModuleFactory_iid)

class OtherInterfacePlugin : public QObject, public OtherModuleFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OtherModuleFactory_iid)
    Q_INTERFACES(OtherModuleFactory)

public:
    QString pluginName() const override { return QStringLiteral("Pracel Analyzer"); }
    QString pluginVersion() const override { return QStringLiteral("9.9"); }
};

#include "OtherInterfacePlugin.moc"
