#pragma once

#include <QString>
#include <QStringList>

// The catalogue model's records; the tabs read copies of them.

// One program of the Softwares tab.
struct SoftwareInformation
{
    int id = -1;
    QString name;
    QString installedVersion;
    QString stableVersion;
    QString betaVersion;
    QString date;
    QStringList urls;
    QString webPage;
    QString description;
};

// One plugin of the Plugins tab.
struct PluginInformation
{
    int id = -1;
    QString name;
    QString installedVersion;
    QString availableVersion;
    QString date;
    QStringList urls;
    QString webPage;
};

// One device type's template, or one further connected device of that type.
struct FirmwareInformation
{
    int deviceType = -1;
    QString name;
    QString motherboardInstalledVersion;
    QString motherboardAvailableVersion;
    QString channelInstalledVersion;
    QString channelAvailableVersion;
    QString bootloaderVersion;
    QString date;
    QStringList urls;
    QStringList filters;
    QString webPage;
    QString uid;
};
