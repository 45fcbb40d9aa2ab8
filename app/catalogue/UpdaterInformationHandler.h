#pragma once

#include "app/catalogue/UpdaterInformations.h"
#include "app/updater/DisplayTables.h"
#include "firmware/core/FirmwareTypes.h"

#include <QJsonObject>
#include <QList>
#include <QObject>

// The catalogue model: one record per program and per plugin, and per
// device type a list whose record i stands for device row i of that type.
class UpdaterInformationHandler : public QObject
{
    Q_OBJECT

public:
    UpdaterInformationHandler(const QString& acquisitionSoftwareVersion, const QString& memoryManagerVersion,
                              const QString& analysisSoftwareVersion, QObject* parent = nullptr);

    SoftwareInformation getSoftwareInformation(int id) const;
    PluginInformation getPluginInformation(int id) const;
    QList<FirmwareInformation> getFirmwareInformationList(int deviceType) const;

    void updateFirmwareInformation(QJsonObject root, int deviceType);
    void updateSoftwareInformation(QJsonObject root, int id);
    void updatePluginInformation(QJsonObject root, int id);

    void addFirmwareInformation(int deviceType, const QString& uid);
    void removeFirmwareInformation(const QString& uid);
    void setDeviceVersions(const nsFirmware::DeviceVersions& versions, const QString& uid);
    void setPluginInstalledVersion(const QString& version, int id);

    // The record that the catalogue entry keyed by the table row's name
    // fills: the one whose name equals the entry's "Name", else record 0.
    static int softwareIdentifierForEntry(const QJsonObject& root, int row);
    static int pluginIdentifierForEntry(const QJsonObject& root, int row);

private:
    void initializeSoftwareInformations(const QString& acquisitionSoftwareVersion, const QString& memoryManagerVersion,
                                        const QString& analysisSoftwareVersion);
    void initializeFirmwareInformations();
    void appendSoftwareInformation(const SoftwareInformation& information);
    void appendPluginInformation();
    void appendFirmwareTypeInformation(const FirmwareInformation& information);
    void appendDeviceFirmwareInformation(const FirmwareInformation& information);
    static void parseFirmwareVersions(FirmwareInformation& information, const QJsonObject& entry);
    static void parseFirmwareUrls(FirmwareInformation& information, const QJsonObject& entry);
    static void parseFirmwareFilters(FirmwareInformation& information, const QJsonObject& entry);

    QList<SoftwareInformation> m_softwareInformations;
    QList<PluginInformation> m_pluginInformations;
    QList<QList<FirmwareInformation>> m_firmwareInformations;
};
