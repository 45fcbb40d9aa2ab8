#include "app/catalogue/UpdaterInformationHandler.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        abort();
}

// Every type keeps a non-empty list of its own records, whatever arrived.
void checkLists(const UpdaterInformationHandler& model)
{
    for (int type = 0; type < 26; ++type) {
        const QList<FirmwareInformation> list = model.getFirmwareInformationList(type);
        check(!list.isEmpty());
        for (const FirmwareInformation& record : list)
            check(record.deviceType == type);
    }
    check(model.getFirmwareInformationList(26).isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size)));
    const QJsonObject root = document.object();

    UpdaterInformationHandler model(QStringLiteral("1.0"), QString(), QStringLiteral("N/A"));

    // The catalogue dispatch, as the widget runs it.
    for (int type = -1; type <= 26; ++type)
        model.updateFirmwareInformation(root, type);
    for (int row = 0; row < 4; ++row) {
        const int id = UpdaterInformationHandler::softwareIdentifierForEntry(root, row);
        check(id >= 0 && id < 4);
        model.updateSoftwareInformation(root, id);
        const int plugin = UpdaterInformationHandler::pluginIdentifierForEntry(root, row);
        check(plugin >= 0 && plugin < 4);
        model.updatePluginInformation(root, plugin);
    }
    checkLists(model);

    for (int type = 0; type < 26; ++type) {
        const QJsonArray urls = root.value(QString::number(type)).toObject().value(QStringLiteral("URLS")).toArray();
        check(model.getFirmwareInformationList(type).first().urls.size() == urls.size());
    }

    // Devices come and go with uids and types taken from the document.
    int count = 0;
    for (auto it = root.constBegin(); it != root.constEnd() && count < 32; ++it, ++count) {
        const int type = int(qHash(it.key()) % 28) - 1;
        model.addFirmwareInformation(type, it.key());
        const QJsonArray versions = it.value().toArray();
        model.setDeviceVersions({ versions.at(0).toString(), versions.at(1).toString(), versions.at(2).toString() },
                                it.key());
        model.setPluginInstalledVersion(it.key(), type % 5);
        for (int t = 0; t < 26; ++t)
            model.updateFirmwareInformation(root, t);
    }
    checkLists(model);
    count = 0;
    for (auto it = root.constBegin(); it != root.constEnd() && count < 32; ++it, ++count) {
        if (count % 2 == 0)
            model.removeFirmwareInformation(it.key());
    }
    checkLists(model);
    for (auto it = root.constBegin(); it != root.constEnd(); ++it)
        model.removeFirmwareInformation(it.key());
    checkLists(model);
    for (int type = 0; type < 26; ++type)
        check(model.getFirmwareInformationList(type).size() == 1);
    return 0;
}
