#pragma once

#include <QString>
#include <QtPlugin>

// The interface that the acquisition program's plugins implement, as far as
// this program uses it: each plugin tells its name and its version.
class AbstractPluginModuleFactory
{
public:
    virtual ~AbstractPluginModuleFactory() = default;

    virtual QString pluginName() const = 0;
    virtual QString pluginVersion() const = 0;
};

#define AbstractPluginModuleFactory_iid "com.movrane.MovraTessaly.AbstractPluginModuleFactory/1.0"
Q_DECLARE_INTERFACE(AbstractPluginModuleFactory, AbstractPluginModuleFactory_iid)
