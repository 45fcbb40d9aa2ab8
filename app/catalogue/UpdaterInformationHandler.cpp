#include "app/catalogue/UpdaterInformationHandler.h"

#include "app/main/ApplicationIdentity.h"
#include "app/updater/DeviceTypeRules.h"
#include "app/updater/VersionComparison.h"
#include "firmware/core/ProgressMessages.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonValue>

namespace {

const char* const TranslationContext = "UpdaterInformationHandler";

// Keyed by software identifier; translated again each time a record is built.
const char* const SoftwareDescriptions[] = {
    QT_TRANSLATE_NOOP("UpdaterInformationHandler",
                      "Movra Tessaly acquires, displays and records the signals of Movrane instruments: light sources, "
                      "consoles, rotary joints, microscope drivers and cameras, with its analysis plugins."),
    QT_TRANSLATE_NOOP("UpdaterInformationHandler",
                      "Movra Maintenance Tool finds the connected Movrane instruments, keeps their firmware up to date "
                      "and updates the Movrane programs and plugins. It serves the instruments of both Movra Studio "
                      "and Movra Tessaly generations."),
    QT_TRANSLATE_NOOP("UpdaterInformationHandler",
                      "Movra Memory Manager reads and writes the EEPROM memory of Movrane instruments and keeps their "
                      "calibration data."),
    QT_TRANSLATE_NOOP("UpdaterInformationHandler",
                      "velim%1 analyses the recordings of Movra Tessaly: signal extraction, event alignment and "
                      "statistics. velim%1 runs beside the acquisition program or on its own."),
};

template <typename Key>
QString tableText(const QMap<Key, QString>& table, int row)
{
    return table.value(static_cast<Key>(row));
}

QString textAt(const QJsonArray& array, int index)
{
    return index >= 0 && index < array.size() ? array.at(index).toString() : QString();
}

// Elements of another type read as empty texts and keep their place: the
// devices tab picks download addresses by position.
QStringList texts(const QJsonValue& value)
{
    QStringList result;
    const QJsonArray array = value.toArray();
    for (const QJsonValue element : array)
        result.append(element.toString());
    return result;
}

template <typename Key>
int identifierForEntry(const QJsonObject& root, const QMap<Key, QString>& names, int row)
{
    const QString name = root.value(tableText(names, row)).toObject().value(QStringLiteral("Name")).toString();
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        if (it.value() == name)
            return it.key();
    }
    return 0;
}

// Stored untranslated, as the version comparison expects it; only display
// translates it.
QString missingVersionMarker()
{
    return nsUpdater::MissingVersionMarker;
}

} // namespace

UpdaterInformationHandler::UpdaterInformationHandler(const QString& acquisitionSoftwareVersion,
                                                     const QString& memoryManagerVersion,
                                                     const QString& analysisSoftwareVersion, QObject* parent)
    : QObject(parent)
{
    initializeSoftwareInformations(acquisitionSoftwareVersion, memoryManagerVersion, analysisSoftwareVersion);
    appendPluginInformation();
    initializeFirmwareInformations();
}

void UpdaterInformationHandler::initializeSoftwareInformations(const QString& acquisitionSoftwareVersion,
                                                               const QString& memoryManagerVersion,
                                                               const QString& analysisSoftwareVersion)
{
    const QString marker = missingVersionMarker();
    const int rows = SoftwareNames.size();
    for (int i = 0; i < rows; ++i) {
        SoftwareInformation information;
        information.id = i;
        information.name = tableText(SoftwareNames, i);
        switch (i) {
        case 0: information.installedVersion = acquisitionSoftwareVersion; break;
        case 1:
            // This program is always installed; its own version is the build's.
            information.installedVersion = nsUpdater::ApplicationVersion;
            break;
        case 2: information.installedVersion = memoryManagerVersion; break;
        case 3: information.installedVersion = analysisSoftwareVersion; break;
        default: information.installedVersion = marker; break;
        }
        information.stableVersion = marker;
        information.betaVersion = marker;
        information.date = marker;
        information.webPage = tableText(SoftwareWebPages, i);
        if (i < int(std::size(SoftwareDescriptions)))
            information.description = QCoreApplication::translate(TranslationContext, SoftwareDescriptions[i]);
        appendSoftwareInformation(information);
    }
}

void UpdaterInformationHandler::appendSoftwareInformation(const SoftwareInformation& information)
{
    m_softwareInformations.append(information);
}

void UpdaterInformationHandler::appendPluginInformation()
{
    const QString marker = missingVersionMarker();
    const int rows = PluginNames.size();
    for (int i = 0; i < rows; ++i) {
        PluginInformation information;
        information.id = i;
        information.name = tableText(PluginNames, i);
        information.installedVersion = marker;
        information.availableVersion = marker;
        information.date = marker;
        information.webPage = AcquisitionSoftwareWebPage;
        m_pluginInformations.append(information);
    }
}

void UpdaterInformationHandler::initializeFirmwareInformations()
{
    const QString marker = missingVersionMarker();
    for (const DeviceTypeRules::Row& rule : DeviceTypeRules::rows()) {
        FirmwareInformation information;
        information.deviceType = rule.type;
        information.name = DeviceTypeRules::displayName(rule.type);
        information.motherboardInstalledVersion = marker;
        information.motherboardAvailableVersion = marker;
        information.channelInstalledVersion = marker;
        information.channelAvailableVersion = marker;
        information.bootloaderVersion = marker;
        information.date = marker;
        information.webPage = DeviceTypeRules::webPage(rule.type);
        appendFirmwareTypeInformation(information);
    }
}

void UpdaterInformationHandler::appendFirmwareTypeInformation(const FirmwareInformation& information)
{
    m_firmwareInformations.append(QList<FirmwareInformation> { information });
}

void UpdaterInformationHandler::appendDeviceFirmwareInformation(const FirmwareInformation& information)
{
    m_firmwareInformations[information.deviceType].append(information);
}

SoftwareInformation UpdaterInformationHandler::getSoftwareInformation(int id) const
{
    for (const SoftwareInformation& information : m_softwareInformations) {
        if (information.id == id)
            return information;
    }
    return {};
}

PluginInformation UpdaterInformationHandler::getPluginInformation(int id) const
{
    for (const PluginInformation& information : m_pluginInformations) {
        if (information.id == id)
            return information;
    }
    return {};
}

QList<FirmwareInformation> UpdaterInformationHandler::getFirmwareInformationList(int deviceType) const
{
    for (const QList<FirmwareInformation>& list : m_firmwareInformations) {
        if (!list.isEmpty() && list.first().deviceType == deviceType)
            return list;
    }
    return {};
}

void UpdaterInformationHandler::addFirmwareInformation(int deviceType, const QString& uid)
{
    bool freeRecordFound = false;
    QString name;
    for (QList<FirmwareInformation>& list : m_firmwareInformations) {
        for (FirmwareInformation& information : list) {
            if (information.deviceType != deviceType)
                continue;
            if (information.uid.isEmpty()) {
                information.uid = uid;
                freeRecordFound = true;
            } else {
                name = information.name;
            }
        }
    }
    if (freeRecordFound)
        return;
    // A type outside the table has no list to grow.
    if (deviceType < 0 || deviceType >= m_firmwareInformations.size())
        return;

    const QString marker = missingVersionMarker();
    FirmwareInformation information;
    information.deviceType = deviceType;
    information.name = name;
    information.motherboardInstalledVersion = marker;
    information.motherboardAvailableVersion = marker;
    information.channelInstalledVersion = marker;
    information.channelAvailableVersion = marker;
    information.bootloaderVersion = marker;
    information.date = marker;
    information.webPage = marker;
    information.uid = uid;
    appendDeviceFirmwareInformation(information);
}

void UpdaterInformationHandler::removeFirmwareInformation(const QString& uid)
{
    const QString marker = missingVersionMarker();
    for (QList<FirmwareInformation>& list : m_firmwareInformations) {
        for (int i = 0; i < list.size();) {
            FirmwareInformation& information = list[i];
            if (information.uid != uid) {
                ++i;
                continue;
            }
            if (list.size() < 2) {
                // The type's last record becomes its template again.
                information.bootloaderVersion = marker;
                information.motherboardInstalledVersion = marker;
                information.channelInstalledVersion = marker;
                information.uid.clear();
                ++i;
            } else {
                list.removeAt(i);
            }
        }
    }
}

void UpdaterInformationHandler::setDeviceVersions(const nsFirmware::DeviceVersions& versions, const QString& uid)
{
    for (QList<FirmwareInformation>& list : m_firmwareInformations) {
        for (FirmwareInformation& information : list) {
            if (information.uid != uid)
                continue;
            information.motherboardInstalledVersion = versions.motherboardVersion;
            information.channelInstalledVersion = versions.channelVersion;
            // A bootloader that reports no version is the one that cannot be asked.
            information.bootloaderVersion = versions.bootloaderVersion.contains(ProgressMessages::BlankVersion)
                                                ? ProgressMessages::DefaultBootloaderVersion
                                                : versions.bootloaderVersion;
            break;
        }
    }
}

void UpdaterInformationHandler::setPluginInstalledVersion(const QString& version, int id)
{
    for (PluginInformation& information : m_pluginInformations) {
        if (information.id == id)
            information.installedVersion = version;
    }
}

void UpdaterInformationHandler::parseFirmwareVersions(FirmwareInformation& information, const QJsonObject& entry)
{
    const QJsonArray versions = entry.value(QStringLiteral("Version")).toArray();
    information.motherboardAvailableVersion = textAt(versions, 0);
    if (versions.size() > 1)
        information.channelAvailableVersion = textAt(versions, 1);
    information.date = entry.value(QStringLiteral("Date")).toString();
}

void UpdaterInformationHandler::parseFirmwareUrls(FirmwareInformation& information, const QJsonObject& entry)
{
    information.urls = texts(entry.value(QStringLiteral("URLS")));
}

void UpdaterInformationHandler::parseFirmwareFilters(FirmwareInformation& information, const QJsonObject& entry)
{
    information.filters = texts(entry.value(QStringLiteral("Filters")));
}

void UpdaterInformationHandler::updateFirmwareInformation(QJsonObject root, int deviceType)
{
    const QJsonObject entry = root.value(QString::number(deviceType)).toObject();
    // The bootloader, camera and channel entries carry addresses only.
    const bool urlsOnly = deviceType == 3 || deviceType == 4 || deviceType == 5;
    for (QList<FirmwareInformation>& list : m_firmwareInformations) {
        for (FirmwareInformation& information : list) {
            if (information.deviceType != deviceType)
                continue;
            if (urlsOnly) {
                parseFirmwareUrls(information, entry);
            } else {
                parseFirmwareVersions(information, entry);
                parseFirmwareUrls(information, entry);
                parseFirmwareFilters(information, entry);
            }
        }
    }
}

void UpdaterInformationHandler::updateSoftwareInformation(QJsonObject root, int id)
{
    for (SoftwareInformation& information : m_softwareInformations) {
        if (information.id != id)
            continue;
        const QJsonObject entry = root.value(information.name).toObject();
        const QJsonValue version = entry.value(QStringLiteral("Version"));
        if (id == 3) {
            const QJsonArray versions = version.toArray();
            const QString stable = textAt(versions, 0);
            information.stableVersion = stable.isEmpty() ? missingVersionMarker() : stable;
            information.betaVersion = textAt(versions, 1);
        } else {
            information.stableVersion = version.toString();
        }
        information.date = entry.value(QStringLiteral("Date")).toString();
        information.urls = texts(entry.value(QStringLiteral("URLS")));
    }
}

void UpdaterInformationHandler::updatePluginInformation(QJsonObject root, int id)
{
    for (PluginInformation& information : m_pluginInformations) {
        if (information.id != id)
            continue;
        const QJsonObject entry = root.value(information.name).toObject();
        information.availableVersion = entry.value(QStringLiteral("Version")).toString();
        information.date = entry.value(QStringLiteral("Date")).toString();
        information.urls = texts(entry.value(QStringLiteral("URLS")));
    }
}

int UpdaterInformationHandler::softwareIdentifierForEntry(const QJsonObject& root, int row)
{
    return identifierForEntry(root, SoftwareNames, row);
}

int UpdaterInformationHandler::pluginIdentifierForEntry(const QJsonObject& root, int row)
{
    return identifierForEntry(root, PluginNames, row);
}
