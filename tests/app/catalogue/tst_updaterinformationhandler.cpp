#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/updater/DeviceTypeRules.h"
#include "app/updater/VersionComparison.h"

#include <QtTest>

#include <QJsonDocument>
#include <QTranslator>

namespace {

const QString Marker = QStringLiteral("N/A");

QJsonObject object(const char* json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad test JSON: %s", json);
    return document.object();
}

QVariantMap fields(const FirmwareInformation& r)
{
    return { { "deviceType", r.deviceType },
             { "name", r.name },
             { "motherboardInstalledVersion", r.motherboardInstalledVersion },
             { "motherboardAvailableVersion", r.motherboardAvailableVersion },
             { "channelInstalledVersion", r.channelInstalledVersion },
             { "channelAvailableVersion", r.channelAvailableVersion },
             { "bootloaderVersion", r.bootloaderVersion },
             { "date", r.date },
             { "urls", r.urls },
             { "filters", r.filters },
             { "webPage", r.webPage },
             { "uid", r.uid } };
}

QVariantMap fields(const SoftwareInformation& r)
{
    return { { "id", r.id },
             { "name", r.name },
             { "installedVersion", r.installedVersion },
             { "stableVersion", r.stableVersion },
             { "betaVersion", r.betaVersion },
             { "date", r.date },
             { "urls", r.urls },
             { "webPage", r.webPage } };
}

QVariantMap fields(const PluginInformation& r)
{
    return { { "id", r.id },
             { "name", r.name },
             { "installedVersion", r.installedVersion },
             { "availableVersion", r.availableVersion },
             { "date", r.date },
             { "urls", r.urls },
             { "webPage", r.webPage } };
}

// Only the fields the row names are compared.
bool matches(const QVariantMap& actual, const QVariantMap& expected, QString* mismatch)
{
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QVariant value = actual.value(it.key());
        const bool same = it.value().typeId() == QMetaType::QStringList
                              ? value.toStringList() == it.value().toStringList()
                              : value == it.value();
        if (!same) {
            *mismatch = QStringLiteral("%1: got \"%2\", expected \"%3\"")
                            .arg(it.key(), value.toStringList().join(QLatin1Char('|')),
                                 it.value().toStringList().join(QLatin1Char('|')));
            return false;
        }
    }
    return true;
}

QStringList uids(const QList<FirmwareInformation>& list)
{
    QStringList result;
    for (const FirmwareInformation& information : list)
        result.append(information.uid);
    return result;
}

// Gives "N/A" another text, as a loaded translation would.
class MarkerTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (qstrcmp(context, "ProgressDialog") == 0 && qstrcmp(sourceText, "N/A") == 0)
            return QStringLiteral("n/d");
        return {};
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class TestUpdaterInformationHandler : public QObject
{
    Q_OBJECT

private:
    static UpdaterInformationHandler* makeModel(QObject* parent)
    {
        return new UpdaterInformationHandler(QStringLiteral("4.2.0.1"), QStringLiteral("2.1"), QStringLiteral("0.9"),
                                             parent);
    }

private slots:
    void construction()
    {
        QObject owner;
        const UpdaterInformationHandler* model = makeModel(&owner);
        QCOMPARE(model->parent(), &owner);

        const QStringList installed { "4.2.0.1", "", "2.1", "0.9" };
        for (int id = 0; id < 4; ++id) {
            const SoftwareInformation software = model->getSoftwareInformation(id);
            QCOMPARE(software.id, id);
            QCOMPARE(software.name, SoftwareNames.value(nsUpdater::SoftwareIdentifier(id)));
            if (id != 1)
                QCOMPARE(software.installedVersion, installed.at(id));
            QCOMPARE(software.stableVersion, Marker);
            QCOMPARE(software.betaVersion, Marker);
            QCOMPARE(software.date, Marker);
            QCOMPARE(software.urls, QStringList());
            QCOMPARE(software.webPage, SoftwareWebPages.value(nsUpdater::SoftwareIdentifier(id)));
            QVERIFY(!software.description.isEmpty());
        }
        QVERIFY(!model->getSoftwareInformation(1).installedVersion.isEmpty());
        QCOMPARE(model->getSoftwareInformation(3).description.count(QStringLiteral("velim%1")), 2);

        for (int id = 0; id < 4; ++id) {
            const PluginInformation plugin = model->getPluginInformation(id);
            QCOMPARE(plugin.id, id);
            QCOMPARE(plugin.name, PluginNames.value(nsUpdater::PluginIdentifier(id)));
            QCOMPARE(plugin.installedVersion, Marker);
            QCOMPARE(plugin.availableVersion, Marker);
            QCOMPARE(plugin.date, Marker);
            QCOMPARE(plugin.webPage, AcquisitionSoftwareWebPage);
        }

        for (int type = 0; type < 26; ++type) {
            const QList<FirmwareInformation> list = model->getFirmwareInformationList(type);
            QCOMPARE(list.size(), 1);
            const FirmwareInformation& record = list.first();
            QCOMPARE(record.deviceType, type);
            QCOMPARE(record.name, DeviceTypeRules::displayName(type));
            for (const QString& version : { record.motherboardInstalledVersion, record.motherboardAvailableVersion,
                                            record.channelInstalledVersion, record.channelAvailableVersion,
                                            record.bootloaderVersion, record.date })
                QCOMPARE(version, Marker);
            QCOMPARE(record.urls, QStringList());
            QCOMPARE(record.filters, QStringList());
            QCOMPARE(record.webPage, DeviceTypeRules::webPage(type));
            QCOMPARE(record.uid, QString());
        }
    }

    void unknownIdentifiersGiveDefaultRecords()
    {
        const QScopedPointer<UpdaterInformationHandler> model(makeModel(nullptr));
        QCOMPARE(fields(model->getSoftwareInformation(4)), fields(SoftwareInformation()));
        QCOMPARE(fields(model->getPluginInformation(-1)), fields(PluginInformation()));
        QCOMPARE(model->getFirmwareInformationList(26).size(), 0);
        QCOMPARE(model->getSoftwareInformation(4).name, QString());
        QCOMPARE(model->getPluginInformation(-1).urls, QStringList());
    }

    void markerIsStoredUntranslated()
    {
        // Records made under another language still compare against the marker.
        MarkerTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        const QScopedPointer<UpdaterInformationHandler> model(makeModel(nullptr));
        const SoftwareInformation software = model->getSoftwareInformation(0);
        QCOMPARE(nsUpdater::displayVersion(software.stableVersion), QStringLiteral("n/d"));
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(software.stableVersion, Marker);
        QCOMPARE(model->getPluginInformation(2).availableVersion, Marker);
        QCOMPARE(model->getFirmwareInformationList(7).first().bootloaderVersion, Marker);
        QVERIFY(!nsUpdater::isNewerVersion(QStringLiteral("1.0"), software.stableVersion));
    }

    void catalogueFormats_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QVariantMap>("expected");

        const QStringList none;
        // Firmware catalogue.
        QTest::newRow("firmware: full entry")
            << "firmware" << 1
            << QByteArray(
                   R"({"Firmwares":0,"1":{"Version":["1.2","3.4"],"Date":"2025-03-01","URLS":["u1","u2"],"Filters":["f*.hex"]}})")
            << QVariantMap { { "motherboardAvailableVersion", "1.2" },
                             { "channelAvailableVersion", "3.4" },
                             { "date", "2025-03-01" },
                             { "urls", QStringList { "u1", "u2" } },
                             { "filters", QStringList { "f*.hex" } },
                             { "motherboardInstalledVersion", Marker },
                             { "webPage", DeviceTypeRules::webPage(1) } };
        QTest::newRow("firmware: one version keeps the channel's")
            << "firmware" << 15 << QByteArray(R"({"15":{"Version":["1.2"]}})")
            << QVariantMap { { "motherboardAvailableVersion", "1.2" }, { "channelAvailableVersion", Marker } };
        QTest::newRow("firmware: missing entry") << "firmware" << 1 << QByteArray(R"({"Firmwares":0})")
                                                 << QVariantMap { { "motherboardAvailableVersion", "" },
                                                                  { "channelAvailableVersion", Marker },
                                                                  { "date", "" },
                                                                  { "urls", none },
                                                                  { "filters", none } };
        QTest::newRow("firmware: entry not an object")
            << "firmware" << 2 << QByteArray(R"({"2":["1.0"]})")
            << QVariantMap { { "motherboardAvailableVersion", "" }, { "date", "" }, { "urls", none } };
        QTest::newRow("firmware: Version a text")
            << "firmware" << 2 << QByteArray(R"({"2":{"Version":"1.0","Date":"d"}})")
            << QVariantMap { { "motherboardAvailableVersion", "" },
                             { "channelAvailableVersion", Marker },
                             { "date", "d" } };
        QTest::newRow("firmware: Version numbers")
            << "firmware" << 2 << QByteArray(R"({"2":{"Version":[1.2, 3]}})")
            << QVariantMap { { "motherboardAvailableVersion", "" }, { "channelAvailableVersion", "" } };
        QTest::newRow("firmware: wrong-typed members")
            << "firmware" << 19 << QByteArray(R"({"19":{"Date":20250301,"URLS":"u1","Filters":{"a":"b"}}})")
            << QVariantMap { { "date", "" }, { "urls", none }, { "filters", none } };
        QTest::newRow("firmware: a wrong-typed address keeps its place")
            << "firmware" << 21 << QByteArray(R"({"21":{"URLS":["first",7,null,"last"]}})")
            << QVariantMap { { "urls", QStringList { "first", "", "", "last" } } };
        for (int type : { 3, 4, 5 }) {
            QTest::addRow("firmware: type %d reads its addresses only", type)
                << "firmware" << type
                << QString(R"({"%1":{"Version":["9","9"],"Date":"d","URLS":["b"],"Filters":["x"]}})").arg(type).toUtf8()
                << QVariantMap { { "motherboardAvailableVersion", Marker },
                                 { "channelAvailableVersion", Marker },
                                 { "date", Marker },
                                 { "urls", QStringList { "b" } },
                                 { "filters", none } };
        }
        QTest::newRow("firmware: type 5 missing entry")
            << "firmware" << 5 << QByteArray("{}")
            << QVariantMap { { "motherboardAvailableVersion", Marker }, { "date", Marker }, { "urls", none } };
        QTest::newRow("firmware: entry keys are decimal")
            << "firmware" << 10
            << QByteArray(R"({"0x0A":{"Version":["1"]},"010":{"Version":["2"]},"10":{"Version":["3"]}})")
            << QVariantMap { { "motherboardAvailableVersion", "3" } };

        // Software catalogue.
        QTest::newRow("software: full entry")
            << "software" << 0
            << QByteArray(
                   R"({"Softwares":0,"Movra Tessaly":{"Name":"Movra Tessaly","Version":"5.1","Date":"d","URLS":["s.exe"]}})")
            << QVariantMap { { "stableVersion", "5.1" },
                             { "betaVersion", Marker },
                             { "date", "d" },
                             { "urls", QStringList { "s.exe" } },
                             { "installedVersion", "4.2.0.1" } };
        QTest::newRow("software: Version an array for a one-version program")
            << "software" << 2 << QByteArray(R"({"Movra Memory Manager":{"Version":["1.0","2.0"]}})")
            << QVariantMap { { "stableVersion", "" }, { "betaVersion", Marker } };
        QTest::newRow("software: missing entry")
            << "software" << 1 << QByteArray(R"({"Softwares":0})")
            << QVariantMap { { "stableVersion", "" }, { "date", "" }, { "urls", none } };
        QTest::newRow("software: analysis program, stable and beta")
            << "software" << 3 << QByteArray(R"({"velim":{"Version":["1.0","1.1"],"URLS":["stable.exe","beta.exe"]}})")
            << QVariantMap { { "stableVersion", "1.0" },
                             { "betaVersion", "1.1" },
                             { "urls", QStringList { "stable.exe", "beta.exe" } } };
        QTest::newRow("software: analysis program, empty stable")
            << "software" << 3 << QByteArray(R"({"velim":{"Version":["","1.1"]}})")
            << QVariantMap { { "stableVersion", Marker }, { "betaVersion", "1.1" } };
        QTest::newRow("software: analysis program, no beta")
            << "software" << 3 << QByteArray(R"({"velim":{"Version":["1.0"]}})")
            << QVariantMap { { "stableVersion", "1.0" }, { "betaVersion", "" } };
        QTest::newRow("software: analysis program, Version a text")
            << "software" << 3 << QByteArray(R"({"velim":{"Version":"1.0"}})")
            << QVariantMap { { "stableVersion", Marker }, { "betaVersion", "" } };

        // Plugin catalogue.
        QTest::newRow("plugin: full entry")
            << "plugin" << 0
            << QByteArray(
                   R"({"Plugins":0,"Orvex Analyzer":{"Name":"Orvex Analyzer","Version":"2.3","Date":"d","URLS":["a.dll","b.dll"]}})")
            << QVariantMap { { "availableVersion", "2.3" },
                             { "date", "d" },
                             { "urls", QStringList { "a.dll", "b.dll" } },
                             { "installedVersion", Marker } };
        QTest::newRow("plugin: wrong-typed members")
            << "plugin" << 3 << QByteArray(R"({"Movra File Editor":{"Version":2.3,"Date":[],"URLS":{}}})")
            << QVariantMap { { "availableVersion", "" }, { "date", "" }, { "urls", none } };
        QTest::newRow("plugin: missing entry")
            << "plugin" << 1 << QByteArray(R"({"Plugins":0})")
            << QVariantMap { { "availableVersion", "" }, { "date", "" }, { "urls", none } };
    }

    void catalogueFormats()
    {
        QFETCH(QString, kind);
        QFETCH(int, id);
        QFETCH(QByteArray, json);
        QFETCH(QVariantMap, expected);

        const QScopedPointer<UpdaterInformationHandler> model(makeModel(nullptr));
        const QJsonObject root = object(json.constData());
        QVariantMap actual;
        if (kind == QLatin1String("firmware")) {
            model->updateFirmwareInformation(root, id);
            actual = fields(model->getFirmwareInformationList(id).first());
        } else if (kind == QLatin1String("software")) {
            model->updateSoftwareInformation(root, id);
            actual = fields(model->getSoftwareInformation(id));
        } else {
            model->updatePluginInformation(root, id);
            actual = fields(model->getPluginInformation(id));
        }
        QString mismatch;
        QVERIFY2(matches(actual, expected, &mismatch), qPrintable(mismatch));
    }

    void catalogueArrivingAgainOverwrites()
    {
        const QScopedPointer<UpdaterInformationHandler> model(makeModel(nullptr));
        model->updateFirmwareInformation(object(R"({"17":{"Version":["1","2"],"URLS":["a","b"]}})"), 17);
        model->updateFirmwareInformation(object(R"({"17":{"Version":["3"],"URLS":["c"]}})"), 17);
        const FirmwareInformation record = model->getFirmwareInformationList(17).first();
        QCOMPARE(record.motherboardAvailableVersion, QStringLiteral("3"));
        QCOMPARE(record.channelAvailableVersion, QStringLiteral("2"));
        QCOMPARE(record.urls, QStringList { "c" });
        // Other types stay untouched.
        QCOMPARE(model->getFirmwareInformationList(16).first().motherboardAvailableVersion, Marker);
    }

    void entryNameRule_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("expected");

        QTest::newRow("software: own name") << "software" << QByteArray(R"({"velim":{"Name":"velim"}})") << 3 << 3;
        QTest::newRow("software: Name selects another record")
            << "software" << QByteArray(R"({"Movra Maintenance Tool":{"Name":"Movra Memory Manager"}})") << 1 << 2;
        QTest::newRow("software: unknown Name") << "software" << QByteArray(R"({"velim":{"Name":"Velim"}})") << 3 << 0;
        QTest::newRow("software: no Name") << "software" << QByteArray(R"({"velim":{"Version":["1"]}})") << 3 << 0;
        QTest::newRow("software: Name not a text") << "software" << QByteArray(R"({"velim":{"Name":3}})") << 3 << 0;
        QTest::newRow("software: no entry") << "software" << QByteArray(R"({"Softwares":0})") << 2 << 0;
        QTest::newRow("plugin: own name")
            << "plugin" << QByteArray(R"({"Movra File Editor":{"Name":"Movra File Editor"}})") << 3 << 3;
        QTest::newRow("plugin: letter case differs")
            << "plugin" << QByteArray(R"({"Pracel Analyzer":{"Name":"pracel analyzer"}})") << 2 << 0;
        QTest::newRow("plugin: Name of another plugin")
            << "plugin" << QByteArray(R"({"Tilmar Analyzer":{"Name":"Pracel Analyzer"}})") << 1 << 2;
        QTest::newRow("plugin: table row outside the table")
            << "plugin" << QByteArray(R"({"":{"Name":"Tilmar Analyzer"}})") << 9 << 1;
    }

    void entryNameRule()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, json);
        QFETCH(int, row);
        QFETCH(int, expected);
        const QJsonObject root = object(json.constData());
        const int id = kind == QLatin1String("software")
                           ? UpdaterInformationHandler::softwareIdentifierForEntry(root, row)
                           : UpdaterInformationHandler::pluginIdentifierForEntry(root, row);
        QCOMPARE(id, expected);
    }

    void unmatchedPluginNameRefreshesPluginZeroFromItsOwnEntry()
    {
        const QScopedPointer<UpdaterInformationHandler> model(makeModel(nullptr));
        const QJsonObject root = object(R"({"Plugins":0,
            "Orvex Analyzer":{"Name":"Orvex Analyzer","Version":"1.0"},
            "Tilmar Analyzer":{"Name":"Unknown","Version":"9.9"}})");
        const int id = UpdaterInformationHandler::pluginIdentifierForEntry(root, 1);
        QCOMPARE(id, 0);
        model->updatePluginInformation(root, id);
        QCOMPARE(model->getPluginInformation(0).availableVersion, QStringLiteral("1.0"));
        QCOMPARE(model->getPluginInformation(1).availableVersion, Marker);
    }

    void devicesKeepRowOrder()
    {
        const QScopedPointer<UpdaterInformationHandler> model(makeModel(nullptr));
        const QJsonObject catalogue =
            object(R"({"12":{"Version":["3.1","2.2"],"Date":"d","URLS":["mb.hex","ch.hex"],"Filters":["f"]}})");
        model->updateFirmwareInformation(catalogue, 12);

        model->addFirmwareInformation(12, QStringLiteral("04D8-F57E-0103-05"));
        QList<FirmwareInformation> list = model->getFirmwareInformationList(12);
        QCOMPARE(uids(list), QStringList { "04D8-F57E-0103-05" });
        QCOMPARE(list.first().webPage, DeviceTypeRules::webPage(12));

        model->addFirmwareInformation(12, QStringLiteral("04D8-F57E-0104-06"));
        list = model->getFirmwareInformationList(12);
        QCOMPARE(uids(list), QStringList({ "04D8-F57E-0103-05", "04D8-F57E-0104-06" }));
        const FirmwareInformation second = list.at(1);
        QString mismatch;
        QVERIFY2(matches(fields(second),
                         { { "deviceType", 12 },
                           { "name", "GQZ3" },
                           { "motherboardAvailableVersion", Marker },
                           { "channelAvailableVersion", Marker },
                           { "date", Marker },
                           { "webPage", Marker },
                           { "urls", QStringList() },
                           { "filters", QStringList() },
                           { "bootloaderVersion", Marker } },
                         &mismatch),
                 qPrintable(mismatch));

        // The next catalogue fills the new record too.
        model->updateFirmwareInformation(catalogue, 12);
        QCOMPARE(model->getFirmwareInformationList(12).at(1).urls, QStringList({ "mb.hex", "ch.hex" }));

        model->addFirmwareInformation(12, QStringLiteral("04D8-F57E-0105-07"));
        model->addFirmwareInformation(13, QStringLiteral("other type"));
        model->removeFirmwareInformation(QStringLiteral("04D8-F57E-0104-06"));
        QCOMPARE(uids(model->getFirmwareInformationList(12)),
                 QStringList({ "04D8-F57E-0103-05", "04D8-F57E-0105-07" }));
        QCOMPARE(uids(model->getFirmwareInformationList(13)), QStringList { "other type" });

        // Uids compare exactly.
        model->removeFirmwareInformation(QStringLiteral("04d8-f57e-0103-05"));
        model->removeFirmwareInformation(QStringLiteral("not attached"));
        QCOMPARE(uids(model->getFirmwareInformationList(12)),
                 QStringList({ "04D8-F57E-0103-05", "04D8-F57E-0105-07" }));

        model->removeFirmwareInformation(QStringLiteral("04D8-F57E-0103-05"));
        QCOMPARE(uids(model->getFirmwareInformationList(12)), QStringList { "04D8-F57E-0105-07" });

        // The last device of a type leaves the catalogue data behind.
        model->updateFirmwareInformation(catalogue, 12);
        model->setDeviceVersions({ QStringLiteral("3.0"), QStringLiteral("2.0"), QStringLiteral("1.4") },
                                 QStringLiteral("04D8-F57E-0105-07"));
        model->removeFirmwareInformation(QStringLiteral("04D8-F57E-0105-07"));
        list = model->getFirmwareInformationList(12);
        QCOMPARE(list.size(), 1);
        QVERIFY2(matches(fields(list.first()),
                         { { "uid", "" },
                           { "motherboardInstalledVersion", Marker },
                           { "channelInstalledVersion", Marker },
                           { "bootloaderVersion", Marker },
                           { "motherboardAvailableVersion", "3.1" },
                           { "urls", QStringList({ "mb.hex", "ch.hex" }) } },
                         &mismatch),
                 qPrintable(mismatch));

        // And the next device takes the template again.
        model->addFirmwareInformation(12, QStringLiteral("again"));
        QCOMPARE(uids(model->getFirmwareInformationList(12)), QStringList { "again" });
    }

    void deviceTypeOutsideTheTableIsIgnored()
    {
        const QScopedPointer<UpdaterInformationHandler> model(makeModel(nullptr));
        model->addFirmwareInformation(26, QStringLiteral("x"));
        model->addFirmwareInformation(-1, QStringLiteral("y"));
        model->updateFirmwareInformation(object(R"({"26":{"URLS":["a"]}})"), 26);
        QCOMPARE(model->getFirmwareInformationList(26).size(), 0);
        QCOMPARE(model->getFirmwareInformationList(-1).size(), 0);
        for (int type = 0; type < 26; ++type)
            QCOMPARE(uids(model->getFirmwareInformationList(type)), QStringList { "" });
    }

    void deviceVersions_data()
    {
        QTest::addColumn<QString>("bootloader");
        QTest::addColumn<QString>("stored");
        QTest::newRow("blank bootloader") << "-1.-1"
                                          << "2.0";
        QTest::newRow("contains the blank text") << "v-1.-1 (blank)"
                                                 << "2.0";
        QTest::newRow("a version") << "1.3"
                                   << "1.3";
        QTest::newRow("not quite blank") << "-1.1"
                                         << "-1.1";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("marker") << "N/A"
                                << "N/A";
    }

    void deviceVersions()
    {
        QFETCH(QString, bootloader);
        QFETCH(QString, stored);
        const QScopedPointer<UpdaterInformationHandler> model(makeModel(nullptr));
        model->addFirmwareInformation(17, QStringLiteral("uid-1"));
        model->addFirmwareInformation(17, QStringLiteral("uid-2"));
        model->setDeviceVersions({ QStringLiteral("5.1"), QStringLiteral("6.2"), bootloader }, QStringLiteral("uid-2"));
        const QList<FirmwareInformation> list = model->getFirmwareInformationList(17);
        QCOMPARE(list.at(0).motherboardInstalledVersion, Marker);
        QCOMPARE(list.at(0).bootloaderVersion, Marker);
        QCOMPARE(list.at(1).motherboardInstalledVersion, QStringLiteral("5.1"));
        QCOMPARE(list.at(1).channelInstalledVersion, QStringLiteral("6.2"));
        QCOMPARE(list.at(1).bootloaderVersion, stored);
    }

    void pluginInstalledVersion()
    {
        const QScopedPointer<UpdaterInformationHandler> model(makeModel(nullptr));
        model->setPluginInstalledVersion(QStringLiteral("1.2.3"), 2);
        model->setPluginInstalledVersion(QStringLiteral("7"), 9);
        QCOMPARE(model->getPluginInformation(2).installedVersion, QStringLiteral("1.2.3"));
        for (int id : { 0, 1, 3 })
            QCOMPARE(model->getPluginInformation(id).installedVersion, Marker);
    }
};

QTEST_GUILESS_MAIN(TestUpdaterInformationHandler)
#include "tst_updaterinformationhandler.moc"
