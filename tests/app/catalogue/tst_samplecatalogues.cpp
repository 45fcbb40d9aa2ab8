#include "app/catalogue/CatalogueAddresses.h"
#include "app/catalogue/NetworkCommunicator.h"
#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/updater/DeviceTypeRules.h"
#include "app/updater/VersionComparison.h"

#include <QtTest>

#include <QJsonDocument>

// The catalogues shipped in scripts/ are what the program shows without a
// network, so each must parse and fill every record it is meant to fill.
class TestSampleCatalogues : public QObject
{
    Q_OBJECT

private:
    static QJsonObject load(const QString& name, const QString& marker)
    {
        QFile file(QStringLiteral(MOVRA_SCRIPTS_FOLDER "/") + name);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
        if (error.error != QJsonParseError::NoError || !document.object().contains(marker))
            return {};
        return document.object();
    }

    static void checkUrls(const QStringList& urls, bool firmwareOrInstaller)
    {
        for (const QString& address : urls) {
            const QUrl url(address);
            QVERIFY2(url.isValid() && url.scheme() == QLatin1String("https"), qPrintable(address));
            QVERIFY2(address.startsWith(MovraWebHost + QStringLiteral("/downloads/.updates/")), qPrintable(address));
            const QString fileName = url.fileName();
            QVERIFY2(NetworkCommunicator::isAcceptableFileName(fileName), qPrintable(address));
            QVERIFY2(NetworkCommunicator::isFirmwareOrInstallerName(fileName) == firmwareOrInstaller,
                     qPrintable(address));
        }
    }

private slots:
    void serverAddressesNameTheLocalCopies()
    {
        const QList<QUrl> addresses { nsUpdater::firmwareCatalogueUrl(), nsUpdater::softwareCatalogueUrl(),
                                      nsUpdater::pluginCatalogueUrl() };
        const QStringList localCopies { "firmwares_admin.json", "softwares.json", "plugins.json" };
        for (int i = 0; i < addresses.size(); ++i) {
            QCOMPARE(addresses.at(i).scheme(), QStringLiteral("https"));
            QVERIFY(addresses.at(i).toString().startsWith(MovraWebHost + QStringLiteral("/downloads/.updates/")));
            QCOMPARE(addresses.at(i).fileName(), localCopies.at(i));
        }
    }

    void firmwareCatalogueCoversEveryDeviceType()
    {
        const QJsonObject root = load(QStringLiteral("firmwares_admin.json"), QStringLiteral("Firmwares"));
        QVERIFY(!root.isEmpty());
        UpdaterInformationHandler model { QString(), QString(), QString() };
        const QString marker = QString(nsUpdater::MissingVersionMarker);
        for (const DeviceTypeRules::Row& rule : DeviceTypeRules::rows()) {
            const int type = rule.type;
            QVERIFY2(root.value(QString::number(type)).isObject(), rule.displayName);
            model.updateFirmwareInformation(root, type);
            const FirmwareInformation record = model.getFirmwareInformationList(type).first();
            checkUrls(record.urls, true);
            if (type == 4) {
                QCOMPARE(record.urls, QStringList());
                continue;
            }
            QVERIFY2(!record.urls.isEmpty(), rule.displayName);
            if (type == 3 || type == 5)
                continue;
            QVERIFY2(!record.motherboardAvailableVersion.isEmpty() && record.motherboardAvailableVersion != marker,
                     rule.displayName);
            QVERIFY2(!record.date.isEmpty() && record.date != marker, rule.displayName);
            QVERIFY2(!record.filters.isEmpty(), rule.displayName);
        }
        // The light-source and console motherboard addresses.
        QCOMPARE(model.getFirmwareInformationList(17).first().urls.size(), 2);
    }

    void softwareCatalogueCoversEveryProgram()
    {
        const QJsonObject root = load(QStringLiteral("softwares.json"), QStringLiteral("Softwares"));
        QVERIFY(!root.isEmpty());
        UpdaterInformationHandler model { QString(), QString(), QString() };
        for (auto it = SoftwareNames.cbegin(); it != SoftwareNames.cend(); ++it) {
            QCOMPARE(UpdaterInformationHandler::softwareIdentifierForEntry(root, it.key()), it.key());
            model.updateSoftwareInformation(root, it.key());
            const SoftwareInformation record = model.getSoftwareInformation(it.key());
            QVERIFY2(!record.stableVersion.isEmpty()
                         && record.stableVersion != QString(nsUpdater::MissingVersionMarker),
                     qPrintable(it.value()));
            QVERIFY2(!record.urls.isEmpty(), qPrintable(it.value()));
            checkUrls(record.urls, true);
        }
        const SoftwareInformation analysis = model.getSoftwareInformation(3);
        QVERIFY(!analysis.betaVersion.isEmpty());
        QCOMPARE(analysis.urls.size(), 2);
    }

    void pluginCatalogueCoversEveryPlugin()
    {
        const QJsonObject root = load(QStringLiteral("plugins.json"), QStringLiteral("Plugins"));
        QVERIFY(!root.isEmpty());
        UpdaterInformationHandler model { QString(), QString(), QString() };
        for (auto it = PluginNames.cbegin(); it != PluginNames.cend(); ++it) {
            QCOMPARE(UpdaterInformationHandler::pluginIdentifierForEntry(root, it.key()), it.key());
            model.updatePluginInformation(root, it.key());
            const PluginInformation record = model.getPluginInformation(it.key());
            QVERIFY2(!record.availableVersion.isEmpty(), qPrintable(it.value()));
            QVERIFY2(!record.urls.isEmpty(), qPrintable(it.value()));
            checkUrls(record.urls, false);
        }
    }
};

QTEST_GUILESS_MAIN(TestSampleCatalogues)
#include "tst_samplecatalogues.moc"
