#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/dialogs/ProgressDialog.h"
#include "app/main/MainWindow.h"
#include "app/updater/DeviceTypeRules.h"
#include "app/updater/DisplayTables.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "firmware/core/FirmwareTypes.h"
#include "tests/support/CatalogueServer.h"
#include "tests/support/WidgetFixtures.h"
#include "tests/support/WidgetTestEnvironment.h"

#include <QtTest>

#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTranslator>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>
#include <utility>

using nsUpdater::DeviceIdentifier;

namespace {

const QString FirmwareCataloguePath = QStringLiteral("downloads/.updates/firmwares/firmwares_admin.json");

// A firmware catalogue with one entry.
QByteArray firmwareCatalogue(int type, const QStringList& versions)
{
    QJsonObject entry;
    entry.insert(QStringLiteral("Version"), QJsonArray::fromStringList(versions));
    entry.insert(QStringLiteral("URLS"), QJsonArray::fromStringList({ QStringLiteral("https://x/a.hex") }));
    entry.insert(QStringLiteral("Filters"), QJsonArray::fromStringList({ QStringLiteral("a*.hex") }));
    QJsonObject root;
    root.insert(QStringLiteral("Firmwares"), QStringLiteral("test"));
    root.insert(QString::number(type), entry);
    return QJsonDocument(root).toJson();
}

// The program's French translation while it lives, as the language choice installs it.
class Language
{
public:
    explicit Language(const QString& language)
    {
        if (language == QLatin1String("fr"))
            m_installed = m_french.load(QStringLiteral(":/Languages/MovraMaintenanceTool_fr_CA.qm"))
                          && QCoreApplication::installTranslator(&m_french);
        else
            m_installed = true;
    }
    ~Language() { QCoreApplication::removeTranslator(&m_french); }
    bool installed() const { return m_installed; }

private:
    QTranslator m_french;
    bool m_installed = false;
};

int threadCount()
{
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return tasks.size();
}

} // namespace

class TestUpdaterWidget : public QObject
{
    Q_OBJECT

private:
    WidgetTestEnvironment m_environment;
    CatalogueServer m_server;

    void connectDevice(VEKUpdaterWidget& widget, int type, const QString& name, const QString& uid)
    {
        widget.onDeviceConnectionStatusReceived(static_cast<DeviceIdentifier>(type), name, uid, true);
    }
    void removeDevice(VEKUpdaterWidget& widget, int type, const QString& uid)
    {
        widget.onDeviceConnectionStatusReceived(static_cast<DeviceIdentifier>(type), QString(), uid, false);
    }
    // Asks the local server for the firmware catalogue and waits until the
    // type's first record holds the catalogue's first version.
    bool checkForUpdates(VEKUpdaterWidget& widget, int type, const QStringList& versions)
    {
        if (!m_server.writeFile(FirmwareCataloguePath, firmwareCatalogue(type, versions)))
            return false;
        Form(&widget).check->click();
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            const QList<FirmwareInformation> list = widget.informationHandler()->getFirmwareInformationList(type);
            if (!list.isEmpty() && list.first().motherboardAvailableVersion == versions.value(0))
                return true;
            QTest::qWait(20);
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_environment.setUp());
        QVERIFY(m_environment.provideScripts(QStringLiteral(MOVRA_SCRIPTS_FOLDER),
                                             { QStringLiteral("firmwares_admin.json"), QStringLiteral("softwares.json"),
                                               QStringLiteral("plugins.json") }));

        QVERIFY(m_server.start(QStringLiteral(MOVRA_HTTPS_SERVER), QUrl(MovraWebHost).host()));
    }

    void init() { m_server.setReachable(true); }

    void setUpState()
    {
        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        QCOMPARE(widget.count(), 3);
        QCOMPARE(widget.currentIndex(), 0);
        QCOMPARE(form.tree->topLevelItemCount(), int(DeviceTypeRules::rows().size()));
        QStringList shown;
        QStringList names;
        for (int i = 0; i < form.tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = form.tree->topLevelItem(i);
            names.append(item->text(0));
            QCOMPARE(item->text(1), QStringLiteral("Not connected"));
            QCOMPARE(item->data(1, Qt::UserRole).toInt(), 0);
            QVERIFY(!item->icon(1).isNull());
            if (!item->isHidden())
                shown.append(item->text(0));
        }
        QStringList sorted = names;
        sorted.sort();
        QCOMPARE(names, sorted);
        // Each type's row by its name.
        const QList<std::pair<int, QString>> typeNames {
            { 0, "Assisted Rotary Joint" },
            { 1, "KZR410" },
            { 2, "NXLT" },
            { 3, "Bootloader" },
            { 4, "Camera" },
            { 5, "Channel(s)" },
            { 6, "Console" },
            { 7, "EEPROM Memory Manager" },
            { 8, "Electrophysiology Console" },
            { 9, "Fiber Photometry Console" },
            { 10, "GQZ" },
            { 11, "GQZ2" },
            { 12, "GQZ3" },
            { 13, "GQZ3 KAVOR" },
            { 14, "IMU" },
            { 15, "Light Source" },
            { 16, "KAVOR" },
            { 17, "Motherboard" },
            { 18, "TV720" },
            { 19, "HKTR" },
            { 20, "USB3 Driver" },
            { 21, "Sarvanti" },
            { 22, "YLQSA Gen2" },
            { 23, "KOTW Gen3" },
            { 24, "Zuvo Basestation" },
            { 25, "Sarvanti Gen2" },
        };
        QCOMPARE(typeNames.size(), form.tree->topLevelItemCount());
        for (const auto& [type, name] : typeNames)
            QCOMPARE(form.typeRow(type)->text(0), name);
        QCOMPARE(shown.size(), int(DeviceTypeRules::rows().size()) - 6);
        for (int type : { 3, 5, 6, 7, 17, 20 })
            QVERIFY(form.typeRow(type)->isHidden());
        QCOMPARE(widget.connectedDeviceCount(), 0);
        QVERIFY(!form.update->isEnabled());
        QVERIFY(!form.manual->isEnabled());
        QCOMPARE(form.status->text(), QStringLiteral("Update(s) not checked yet"));
        QVERIFY(form.boot->toPlainText().contains(QStringLiteral("Bootloader Version :")));
        QVERIFY(form.boot->toPlainText().contains(QStringLiteral("Installed: N/A")));
        QVERIFY(form.motherboard->toPlainText().contains(QStringLiteral("Available: N/A")));
        QVERIFY(form.description->toPlainText().contains(QStringLiteral("[No device selected]")));
        QVERIFY(form.description->openExternalLinks());
        QCOMPARE(widget.tabText(1), QStringLiteral("Plugins"));
        QCOMPARE(widget.tabText(2), QStringLiteral("Softwares"));
        auto* plugins = widget.findChild<QTreeWidget*>(QStringLiteral("treeWidget_plugin"));
        QCOMPARE(plugins->topLevelItemCount(), PluginNames.size());
        auto* softwares = widget.findChild<QTextBrowser*>(QStringLiteral("textBrowser_softwareVersion"));
        QVERIFY(softwares->toPlainText().contains(QStringLiteral("Beta: N/A")));
    }

    void deviceRows_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("uid");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("warning");
        QTest::addColumn<int>("counted");

        QTest::newRow("light source") << 15 << "LightSource"
                                      << "04D8-F57E-0103-05"
                                      << "LightSource (Port #3)" << false << 1;
        QTest::newRow("hex port") << 1 << "KZR410"
                                  << "04D8-F57E-0A1F-02"
                                  << "KZR410 (Port #31)" << false << 1;
        QTest::newRow("short uid") << 1 << "KZR410"
                                   << "04D8-F57E"
                                   << "KZR410 (Port #0)" << false << 1;
        QTest::newRow("no hex port") << 1 << "KZR410"
                                     << "04D8-F57E-01ZZ-05"
                                     << "KZR410 (Port #0)" << false << 1;
        QTest::newRow("channels") << 5 << "Channels"
                                  << "04D8-F57E-0102-05"
                                  << "FPGA (Port #2)" << false << 1;
        QTest::newRow("gqz") << 10 << "GQZ"
                             << "04D8-F57E-0104-05"
                             << "FPGA (Port #4)" << false << 1;
        QTest::newRow("gqz2") << 11 << "GQZ2"
                              << "04D8-F57E-0104-05"
                              << "FPGA (Port #4)" << false << 1;
        QTest::newRow("gqz3 bootloader") << 12 << "Bootloader"
                                         << "04D8-F57E-0104-05"
                                         << "FPGA (Port #4)" << true << 1;
        QTest::newRow("gqz3 named") << 12 << "GQZ3"
                                    << "04D8-F57E-0104-05"
                                    << "GQZ3 (Port #4)" << false << 1;
        QTest::newRow("gqz3 kavor bootloader") << 13 << "Bootloader"
                                               << "04D8-F57E-0104-05"
                                               << "FPGA (Port #4)" << true << 1;
        QTest::newRow("gqz3 kavor named") << 13 << "GQZ3 KAVOR"
                                          << "04D8-F57E-0104-05"
                                          << "GQZ3 KAVOR (Port #4)" << false << 1;
        QTest::newRow("bootloader") << 3 << "Bootloader"
                                    << "04D8-F57E-0101-05"
                                    << "Bootloader (Port #1)" << true << 1;
        QTest::newRow("fx3") << 20 << "Cypress FX3 USB"
                             << "04B4-00F3-0201-05"
                             << "Cypress FX3 USB (Port #1)" << true << 1;
        QTest::newRow("imu") << 14 << "IMU"
                             << "0403-6015-4142"
                             << "IMU" << false << 1;
        QTest::newRow("camera") << 4 << "DMK 33UX"
                                << "2A3B4C5D"
                                << "DMK 33UX (Port #0)" << false << 0;
    }

    void deviceRows()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QString, uid);
        QFETCH(QString, text);
        QFETCH(bool, warning);
        QFETCH(int, counted);

        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        connectDevice(widget, type, name, uid);
        QTreeWidgetItem* typeRow = form.typeRow(type);
        QCOMPARE(typeRow->childCount(), 1);
        QTreeWidgetItem* row = typeRow->child(0);
        QCOMPARE(row->text(0), text);
        QCOMPARE(row->data(0, Qt::UserRole).toInt(), -1);
        QCOMPARE(row->text(1), QStringLiteral("Connected"));
        QCOMPARE(row->data(1, Qt::UserRole).toInt(), 1);
        QCOMPARE(!row->icon(0).isNull(), warning);
        QCOMPARE(typeRow->text(1), QStringLiteral("Connected"));
        QVERIFY(typeRow->isExpanded());
        QCOMPARE(widget.connectedDeviceCount(), counted);
        QCOMPARE(widget.informationHandler()->getFirmwareInformationList(type).first().uid, uid);

        // A second notice of the same device adds nothing.
        connectDevice(widget, type, name, uid);
        QCOMPARE(typeRow->childCount(), 1);
        QCOMPARE(widget.connectedDeviceCount(), counted);

        removeDevice(widget, type, uid);
        QCOMPARE(typeRow->childCount(), 0);
        QCOMPARE(typeRow->text(1), QStringLiteral("Not connected"));
        QCOMPARE(widget.connectedDeviceCount(), 0);
        QVERIFY(widget.informationHandler()->getFirmwareInformationList(type).first().uid.isEmpty());
    }

    void counterAndRemovals()
    {
        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        const QString first = QStringLiteral("04D8-F57E-0101-05");
        const QString second = QStringLiteral("04D8-F57E-0102-06");
        connectDevice(widget, 15, QStringLiteral("LightSource"), first);
        connectDevice(widget, 15, QStringLiteral("LightSource"), second);
        connectDevice(widget, 4, QStringLiteral("Camera"), QStringLiteral("11223344"));
        QCOMPARE(widget.connectedDeviceCount(), 2);
        QTreeWidgetItem* lights = form.typeRow(15);
        QCOMPARE(lights->childCount(), 2);

        // Unknown uids, an empty one included, change nothing at all.
        for (const QString& uid : { QStringLiteral("04D8-F57E-0109-09"), QString() }) {
            removeDevice(widget, 15, uid);
            QCOMPARE(lights->childCount(), 2);
            QCOMPARE(lights->text(1), QStringLiteral("Connected"));
            QCOMPARE(widget.connectedDeviceCount(), 2);
            const QList<FirmwareInformation> records = widget.informationHandler()->getFirmwareInformationList(15);
            QCOMPARE(records.size(), 2);
            QCOMPARE(records.at(0).uid, first);
            QCOMPARE(records.at(1).uid, second);
        }

        // The first goes: the second keeps its row, now at index 0, with its record.
        form.tree->setCurrentItem(lights->child(1));
        removeDevice(widget, 15, first);
        QCOMPARE(lights->childCount(), 1);
        QCOMPARE(lights->child(0)->text(0), QStringLiteral("LightSource (Port #2)"));
        QCOMPARE(lights->text(1), QStringLiteral("Not connected"));
        QCOMPARE(lights->child(0)->text(1), QStringLiteral("Connected"));
        QCOMPARE(widget.connectedDeviceCount(), 1);
        QCOMPARE(widget.informationHandler()->getFirmwareInformationList(15).first().uid, second);
        QVERIFY(form.tree->selectedItems().isEmpty());

        // Cameras never move the counter.
        removeDevice(widget, 4, QStringLiteral("11223344"));
        QCOMPARE(form.typeRow(4)->childCount(), 0);
        QCOMPARE(widget.connectedDeviceCount(), 1);

        // A device that comes back gets a new row at the end.
        connectDevice(widget, 15, QStringLiteral("LightSource"), first);
        QCOMPARE(lights->childCount(), 2);
        QCOMPARE(lights->child(1)->text(0), QStringLiteral("LightSource (Port #1)"));
        QCOMPARE(widget.informationHandler()->getFirmwareInformationList(15).at(1).uid, first);
        QCOMPARE(widget.connectedDeviceCount(), 2);
    }

    void deviceTypedAnewLeavesEveryRow()
    {
        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        const QString uid = QStringLiteral("04D8-F57E-0101-05");
        const QString other = QStringLiteral("04D8-F57E-0102-05");
        connectDevice(widget, 17, QStringLiteral("Motherboard"), other);
        connectDevice(widget, 17, QStringLiteral("Motherboard"), uid);
        connectDevice(widget, 15, QStringLiteral("LightSource"), uid);
        QCOMPARE(widget.connectedDeviceCount(), 3);
        removeDevice(widget, 15, uid);
        QCOMPARE(form.typeRow(15)->childCount(), 0);
        QCOMPARE(form.typeRow(17)->childCount(), 1);
        QCOMPARE(form.typeRow(17)->child(0)->text(0), QStringLiteral("Motherboard (Port #2)"));
        QCOMPARE(widget.informationHandler()->getFirmwareInformationList(17).size(), 1);
        QCOMPARE(widget.informationHandler()->getFirmwareInformationList(17).first().uid, other);
        QCOMPARE(widget.connectedDeviceCount(), 1);
    }

    void unknownTypeIsIgnored()
    {
        VEKUpdaterWidget widget(noTransports());
        connectDevice(widget, 255, QStringLiteral("Odd"), QStringLiteral("04D8-F57E-0101-05"));
        QCOMPARE(widget.connectedDeviceCount(), 0);
    }

    void installedVersionReports_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("rowShown");
        QTest::newRow("bootloader") << 3 << true;
        QTest::newRow("channels") << 5 << true;
        QTest::newRow("memory manager") << 7 << true;
        QTest::newRow("motherboard") << 17 << true;
        QTest::newRow("usb3 driver") << 20 << false;
        QTest::newRow("console") << 6 << false;
        QTest::newRow("light source") << 15 << true;
    }

    void installedVersionReports()
    {
        QFETCH(int, type);
        QFETCH(bool, rowShown);
        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        QSignalSpy messages(&widget, &VEKUpdaterWidget::sendMessageToStatusBar);
        auto infos = QSharedPointer<nsUpdater::DeviceCommunicationInfo>::create();
        infos->deviceType = type;
        infos->motherboardVersion = QStringLiteral("1.2");
        infos->channelVersion = QStringLiteral("3.4");
        infos->bootloaderVersion = QStringLiteral("0.9");
        infos->name = QStringLiteral("Device");
        infos->uid = QStringLiteral("04D8-F57E-0101-05");
        widget.onDeviceVersionReceived(infos);
        infos->motherboardVersion = QStringLiteral("1.3");
        widget.onDeviceVersionReceived(infos);

        QTreeWidgetItem* row = form.typeRow(type);
        QCOMPARE(!row->isHidden(), rowShown);
        QCOMPARE(row->childCount(), 1);
        const FirmwareInformation record = widget.informationHandler()->getFirmwareInformationList(type).first();
        QCOMPARE(record.uid, infos->uid);
        QCOMPARE(record.motherboardInstalledVersion, QStringLiteral("1.3"));
        QCOMPARE(record.channelInstalledVersion, QStringLiteral("3.4"));
        QCOMPARE(record.bootloaderVersion, QStringLiteral("0.9"));
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages.last().at(0).toString(), QStringLiteral("Movra device initialized"));
        QCOMPARE(messages.last().at(1).toInt(), 1500);
        QCOMPARE(widget.connectedDeviceCount(), 1);
    }

    void versionReportWithoutRowChangesNothing()
    {
        VEKUpdaterWidget widget(noTransports());
        QSignalSpy messages(&widget, &VEKUpdaterWidget::sendMessageToStatusBar);
        const QString uid = QStringLiteral("04D8-F57E-0101-05");
        connectDevice(widget, 15, QStringLiteral("LightSource"), uid);
        auto infos = QSharedPointer<nsUpdater::DeviceCommunicationInfo>::create();
        infos->deviceType = 99;
        infos->motherboardVersion = QStringLiteral("7.7");
        infos->name = QStringLiteral("Odd");
        infos->uid = uid;
        widget.onDeviceVersionReceived(infos);
        widget.onDeviceVersionReceived({});
        QCOMPARE(widget.informationHandler()->getFirmwareInformationList(15).first().motherboardInstalledVersion,
                 QStringLiteral("N/A"));
        QCOMPARE(messages.size(), 0);
        QCOMPARE(widget.connectedDeviceCount(), 1);
    }

    void itemStatusSlots_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<int>("type");
        QTest::newRow("bootloader") << "onSetBootloaderItemStatusReceived" << 3;
        QTest::newRow("channels") << "onSetChannelsItemStatusReceived" << 5;
        QTest::newRow("memory manager") << "onSetMemoryManagerItemStatusReceived" << 7;
        QTest::newRow("motherboard") << "onSetMotherboardItemStatusReceived" << 17;
        QTest::newRow("usb3") << "onSetUSB3CommunicationItemStatusReceived" << 20;
    }

    void itemStatusSlots()
    {
        QFETCH(QString, slot);
        QFETCH(int, type);
        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        QTreeWidgetItem* row = form.typeRow(type);
        QVERIFY(row->isHidden());
        QVERIFY(QMetaObject::invokeMethod(&widget, slot.toLatin1().constData(), Q_ARG(bool, false)));
        QVERIFY(!row->isHidden());
        // Hidden again even with a device under it.
        connectDevice(widget, type, QStringLiteral("Device"), QStringLiteral("04D8-F57E-0101-05"));
        QVERIFY(QMetaObject::invokeMethod(&widget, slot.toLatin1().constData(), Q_ARG(bool, true)));
        QVERIFY(row->isHidden());
        QCOMPARE(row->childCount(), 1);
        // No other type row moved.
        int hidden = 0;
        for (int i = 0; i < form.tree->topLevelItemCount(); ++i)
            hidden += form.tree->topLevelItem(i)->isHidden() ? 1 : 0;
        QCOMPARE(hidden, 6);
    }

    void f7TogglesManualButton()
    {
        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QVERIFY(form.manual->isVisible());
        QTest::keyClick(&widget, Qt::Key_F7);
        QVERIFY(!form.manual->isVisible());
        QTest::keyClick(&widget, Qt::Key_A);
        QVERIFY(!form.manual->isVisible());
        QTest::keyClick(&widget, Qt::Key_F7);
        QVERIFY(form.manual->isVisible());
        QVERIFY(!form.manual->isEnabled());
    }

    void panes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("installed"); // motherboard, channel, bootloader
        QTest::addColumn<QStringList>("available"); // empty: no catalogue
        QTest::addColumn<bool>("checked");          // the catalogue came from "Check for server updates"
        QTest::addColumn<bool>("typeRow");          // select the type row, not the device row
        QTest::addColumn<QString>("panes");
        QTest::addColumn<bool>("update");
        QTest::addColumn<bool>("manual");
        QTest::addColumn<QString>("status");    // empty: hidden
        QTest::addColumn<QStringList>("texts"); // pane texts expected, "B:", "M:", "C:", "D:" prefixed

        const QStringList none;
        const QString fresh = QStringLiteral("New version(s) available");
        const QString upToDate = QStringLiteral("Already up-to-date");
        const QString notChecked = QStringLiteral("Update(s) not checked yet");

        QTest::newRow("light source newer")
            << 15 << "LightSource" << QStringList { "1.0", "1.0", "1.2" } << QStringList { "1.1", "1.0" } << true
            << false << "BMC" << true << true << fresh
            << QStringList { "M:Installed: 1.0", "M:Available: 1.1", "B:Installed: 1.2", "D:light-source driver" };
        QTest::newRow("light source up to date")
            << 15 << "LightSource" << QStringList { "1.1", "1.0", "1.2" } << QStringList { "1.1", "1.0" } << true
            << false << "BMC" << false << true << upToDate << QStringList { "M:Available: 1.1" };
        QTest::newRow("channel newer") << 15 << "LightSource" << QStringList { "1.1", "1.0", "1.2" }
                                       << QStringList { "1.1", "1.3" } << true << false << "BMC" << true << true
                                       << fresh << QStringList { "C:Available: 1.3" };
        QTest::newRow("not checked") << 15 << "LightSource" << QStringList { "1.0", "1.0", "1.2" } << none << false
                                     << false << "BMC" << false << false << notChecked
                                     << QStringList { "M:Available: N/A" };
        QTest::newRow("catalogue not asked for")
            << 15 << "LightSource" << QStringList { "1.0", "1.0", "1.2" } << QStringList { "1.1", "1.0" } << false
            << false << "BMC" << true << false << fresh << QStringList {};
        QTest::newRow("light source not hktr4")
            << 15 << "LightSource" << QStringList { "1.0", "1.5", "1.2" } << QStringList { "1.1", "1.0" } << true
            << false << "BMC" << true << true << fresh << QStringList { "D:light-source driver" };
        QTest::newRow("hktr4 deprecated")
            << 19 << "HKTR4" << QStringList { "1.0", "2.3", "1.0" } << QStringList { "2.0" } << true << false << "M"
            << false << false << fresh << QStringList { "D:deprecated", "D:https://www.movrane.com" };
        QTest::newRow("hktr4 current") << 19 << "HKTR4" << QStringList { "1.0", "3.1", "1.0" } << QStringList { "2.0" }
                                       << true << false << "M" << true << true << fresh
                                       << QStringList { "D:pulse generator" };
        QTest::newRow("hktr8 channel 2") << 19 << "HKTR8" << QStringList { "1.0", "2.1", "1.0" }
                                         << QStringList { "2.0" } << true << false << "M" << true << true << fresh
                                         << QStringList { "D:pulse generator" };
        QTest::newRow("bootloader") << 3 << "Bootloader" << QStringList { "N/A", "N/A", "1.3" } << none << false
                                    << false << "B" << false << true << upToDate
                                    << QStringList { "B:Installed: 1.3", "D:only update it manually" };
        QTest::newRow("usb3 unchecked") << 20 << "USB3 Communication" << QStringList { "N/A", "N/A", "N/A" } << none
                                        << false << false << "B" << false << false << upToDate
                                        << QStringList { "B:Available: N/A", "D:USB3 communication" };
        QTest::newRow("usb3 checked") << 20 << "USB3 Communication" << QStringList { "N/A", "N/A", "N/A" }
                                      << QStringList { "1.2" } << true << false << "B" << true << true << fresh
                                      << QStringList { "B:Available: 1.2" };
        QTest::newRow("sarvanti disk") << 21 << "Sarvanti Disk" << QStringList { "1.5", "N/A", "N/A" }
                                       << QStringList { "1.5", "1.7" } << true << false << "M" << true << true << fresh
                                       << QStringList { "M:Available: 1.7", "D:alternative planes" };
        QTest::newRow("sarvanti") << 21 << "Sarvanti" << QStringList { "1.5", "N/A", "N/A" }
                                  << QStringList { "1.5", "1.7" } << true << false << "M" << false << true << upToDate
                                  << QStringList { "M:Available: 1.5" };
        QTest::newRow("ylqsa") << 22 << "YLQSA Gen2" << QStringList { "1.0", "N/A", "N/A" } << none << false << false
                               << "M" << false << true << notChecked << QStringList { "D:mini cube" };
        QTest::newRow("imu") << 14 << "IMU" << QStringList { "1.0", "N/A", "2.0" } << none << false << false << "BM"
                             << false << false << notChecked
                             << QStringList { "M:Firmware Version", "B:Installed: 2.0", "D:inertial sensor" };
        QTest::newRow("zuvo") << 24 << "Zuvo" << QStringList { "1.0", "N/A", "2.0" } << none << false << false << "BM"
                              << false << false << notChecked << QStringList { "M:Firmware Version", "D:base station" };
        QTest::newRow("gqz3") << 12 << "Bootloader" << QStringList { "1.0", "1.0", "N/A" }
                              << QStringList { "1.0", "1.1" } << true << false << "MC" << true << true << fresh
                              << QStringList { "D:third-generation" };
        QTest::newRow("tv720") << 18 << "TV720" << QStringList { "1.0", "N/A", "N/A" } << none << false << false << "M"
                               << false << false << notChecked
                               << QStringList { "D:TV720 console",
                                                "D:Connect only one port, USB3 or USB2, at a time." };
        QTest::newRow("electrophysiology")
            << 8 << "Console" << QStringList { "1.0", "1.0", "N/A" } << none << false << false << "MC" << false << false
            << notChecked << QStringList { "D:acquisition console" };
        QTest::newRow("motherboard") << 17 << "Motherboard" << QStringList { "1.0", "N/A", "0.9" }
                                     << QStringList { "1.1" } << false << false << "BM" << true << true << fresh
                                     << QStringList { "D:only have one motherboard", "B:Installed: 0.9" };
        QTest::newRow("channels") << 5 << "Channels" << QStringList { "N/A", "1.0", "0.9" } << none << false << false
                                  << "B" << false << false << notChecked
                                  << QStringList { "D:updating from channels", "D:N/A" };
        QTest::newRow("camera") << 4 << "Camera" << QStringList {} << none << false << false << "B" << true << false
                                << upToDate
                                << QStringList { "B:Camera Informations", "B:Serial Number: N/A", "D:camera vendor" };
        QTest::newRow("type row") << 15 << "LightSource" << QStringList { "1.0", "1.0", "1.2" }
                                  << QStringList { "1.1", "1.0" } << true << true << "" << false << false << ""
                                  << QStringList { "D:light-source driver", "D:products/light-source",
                                                   "M:Installed: N/A", "M:Available: 1.1" };
    }

    void panes()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QStringList, installed);
        QFETCH(QStringList, available);
        QFETCH(bool, checked);
        QFETCH(bool, typeRow);
        QFETCH(QString, panes);
        QFETCH(bool, update);
        QFETCH(bool, manual);
        QFETCH(QString, status);
        QFETCH(QStringList, texts);

        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        const QString uid = QStringLiteral("04D8-F57E-0101-05");
        connectDevice(widget, type, name, uid);
        if (installed.size() == 3)
            widget.informationHandler()->setDeviceVersions(
                nsFirmware::DeviceVersions { installed.at(0), installed.at(1), installed.at(2) }, uid);
        if (checked)
            QVERIFY(checkForUpdates(widget, type, available));
        else if (!available.isEmpty())
            widget.onNetworkReplyReceived(QJsonDocument::fromJson(firmwareCatalogue(type, available)));

        QTreeWidgetItem* row = typeRow ? form.typeRow(type) : form.typeRow(type)->child(0);
        form.tree->setCurrentItem(row);
        QCOMPARE(form.tree->currentItem(), row);

        QCOMPARE(form.visiblePanes(), panes);
        QCOMPARE(form.update->isEnabled(), update);
        QCOMPARE(form.manual->isEnabled(), manual);
        QCOMPARE(form.status->isHidden(), status.isEmpty());
        if (!status.isEmpty())
            QCOMPARE(form.status->text(), status);
        for (const QString& expected : texts) {
            const QTextBrowser* pane = expected.startsWith(QLatin1String("B:"))   ? form.boot
                                       : expected.startsWith(QLatin1String("M:")) ? form.motherboard
                                       : expected.startsWith(QLatin1String("C:")) ? form.channel
                                                                                  : form.description;
            const QString text = expected.mid(2);
            const QString shown = pane == form.description ? pane->toHtml() + pane->toPlainText() : pane->toPlainText();
            QVERIFY2(shown.contains(text), qPrintable(text + QStringLiteral(" not in ") + pane->toPlainText()));
        }
    }

    // The description pane of a device row: its type's description and the
    // link to the type's product page (empty: the site root; "-": no link).
    void descriptionPane_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("page");

        QTest::newRow("joint") << 0 << "HLX58"
                               << "assisted rotary joint follows"
                               << "assisted-rotary-joint";
        QTest::newRow("KZR410") << 1 << "KZR410"
                                << "fiber photometry system combines"
                                << "kzr410";
        QTest::newRow("NXLT") << 2 << "NXLT"
                              << "NXLT fiber photometry driver"
                              << "nxlt";
        QTest::newRow("camera") << 4 << "DMK"
                                << "behaviour camera records"
                                << "cameras";
        QTest::newRow("console") << 6 << "Console"
                                 << ""
                                 << "-";
        QTest::newRow("memory manager") << 7 << "EEPROM"
                                        << "EEPROM memory manager reads"
                                        << "";
        QTest::newRow("electrophysiology") << 8 << "EP Console"
                                           << "acquisition console records"
                                           << "electrophysiology-console";
        QTest::newRow("photometry console") << 9 << "FP Console"
                                            << "console drives the channel modules"
                                            << "fiber-photometry-console";
        QTest::newRow("GQZ") << 10 << "GQZ"
                             << "one-colour microscope driver"
                             << "gqz";
        QTest::newRow("GQZ2") << 11 << "GQZ2"
                              << "two-colour microscope driver"
                              << "gqz2";
        QTest::newRow("GQZ3") << 12 << "GQZ3"
                              << "third-generation microscope driver"
                              << "gqz3";
        QTest::newRow("GQZ3 KAVOR") << 13 << "GQZ3 KAVOR"
                                    << "third-generation microscope driver"
                                    << "gqz3";
        QTest::newRow("IMU") << 14 << "IMU"
                             << "inertial sensor module"
                             << "";
        QTest::newRow("light source") << 15 << "LightSource"
                                      << "light-source driver powers"
                                      << "light-source";
        QTest::newRow("KAVOR") << 16 << "KAVOR"
                               << "KAVOR light source delivers"
                               << "kavor";
        QTest::newRow("TV720") << 18 << "TV720"
                               << "TV720 console acquires"
                               << "tv720";
        QTest::newRow("HKTR") << 19 << "HKTR8"
                              << "pulse generator produces"
                              << "hktr";
        QTest::newRow("Sarvanti") << 21 << "Sarvanti"
                                  << "alternative planes"
                                  << "sarvanti";
        QTest::newRow("YLQSA") << 22 << "YLQSA Gen2"
                               << "YLQSA mini cube"
                               << "";
        QTest::newRow("KOTW") << 23 << "KOTW Gen3"
                              << "KOTW Gen3 fiber photometry driver"
                              << "kotw-gen3";
        QTest::newRow("Zuvo") << 24 << "Zuvo"
                              << "Zuvo base station"
                              << "";
        QTest::newRow("Sarvanti Gen2") << 25 << "Sarvanti Gen2"
                                       << "alternative planes"
                                       << "sarvanti";
    }

    void descriptionPane()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QString, description);
        QFETCH(QString, page);

        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        connectDevice(widget, type, name, QStringLiteral("04D8-F57E-0101-05"));
        form.typeRow(type)->setHidden(false);
        form.tree->setCurrentItem(form.typeRow(type)->child(0));
        const QString shown = form.description->toPlainText();
        QVERIFY2(shown.contains(description), qPrintable(shown));
        const QString products = MovraWebHost + QStringLiteral("/collections/hardware/products/");
        if (page == QLatin1String("-")) {
            QVERIFY2(!shown.contains(MovraWebHost), qPrintable(shown));
        } else if (page.isEmpty()) {
            QVERIFY2(shown.contains(MovraWebHost), qPrintable(shown));
            QVERIFY2(!shown.contains(products), qPrintable(shown));
        } else {
            // The link's text is its address: the page is the whole address.
            const QRegularExpression link(QRegularExpression::escape(products + page) + QStringLiteral("(\\s|$)"));
            QVERIFY2(shown.contains(link), qPrintable(shown));
        }
    }

    // The deprecated-driver check of the types that have it: a device named
    // HKTR4 whose installed channel version begins with the type's threshold
    // digit gets the deprecated notice and no update; one digit off, or a
    // type without the check, the usual description.
    void deprecatedCheckByType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("channel");
        QTest::addColumn<bool>("deprecated");

        const QList<std::pair<int, int>> thresholds { { 2, 2 }, { 8, 1 }, { 9, 1 }, { 15, 1 }, { 16, 1 }, { 19, 2 } };
        for (const auto& [type, digit] : thresholds) {
            QTest::addRow("type %d, channel %d", type, digit) << type << QStringLiteral("%1.3").arg(digit) << true;
            QTest::addRow("type %d, channel %d", type, digit + 1)
                << type << QStringLiteral("%1.3").arg(digit + 1) << false;
        }
        for (int type : { 1, 23 }) {
            QTest::addRow("type %d, channel 1", type) << type << "1.3" << false;
            QTest::addRow("type %d, channel 2", type) << type << "2.3" << false;
        }
    }

    void deprecatedCheckByType()
    {
        QFETCH(int, type);
        QFETCH(QString, channel);
        QFETCH(bool, deprecated);

        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        const QString uid = QStringLiteral("04D8-F57E-0101-05");
        connectDevice(widget, type, QStringLiteral("HKTR4"), uid);
        widget.informationHandler()->setDeviceVersions(
            nsFirmware::DeviceVersions { QStringLiteral("1.0"), channel, QStringLiteral("1.0") }, uid);
        widget.onNetworkReplyReceived(QJsonDocument::fromJson(firmwareCatalogue(type, { QStringLiteral("2.0") })));
        form.tree->setCurrentItem(form.typeRow(type)->child(0));
        QCOMPARE(form.description->toPlainText().contains(QStringLiteral("deprecated")), deprecated);
        QCOMPARE(form.update->isEnabled(), !deprecated);
    }

    void selectionStartsFromTheTemplates()
    {
        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        connectDevice(widget, 14, QStringLiteral("IMU"), QStringLiteral("0403-6015-4142"));
        connectDevice(widget, 15, QStringLiteral("LightSource"), QStringLiteral("04D8-F57E-0101-05"));
        form.tree->setCurrentItem(form.typeRow(14)->child(0));
        QVERIFY(form.motherboard->toPlainText().contains(QStringLiteral("Firmware Version")));
        form.tree->setCurrentItem(form.typeRow(15)->child(0));
        QVERIFY(form.motherboard->toPlainText().contains(QStringLiteral("Motherboard Version")));
        QVERIFY(!form.description->toPlainText().contains(QStringLiteral("inertial")));
    }

    // The status line's rules and the panes' headings give the same answers
    // in every language; only the words differ.
    void statusAndHeadingsInBothLanguages_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        // Motherboard, channel, bootloader, as the firmware updater stores them.
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("available"); // empty: no catalogue
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("texts");  // "B:", "M:" prefixed: in that pane
        QTest::addColumn<QStringList>("absent"); // the same, not there

        struct Words
        {
            const char* language;
            QString upToDate, fresh, notChecked, camera, serial, firmware, available, bootloaderHeading,
                motherboardHeading;
        };
        const QList<Words> languages {
            { "en", "Already up-to-date", "New version(s) available", "Update(s) not checked yet",
              "Camera Informations Version :", "Serial Number: N/A", "Firmware Version :", "Available: N/A",
              "Bootloader Version", "Motherboard Version" },
            { "fr", QStringLiteral("Déjà à jour"), "Nouvelle version disponible",
              QStringLiteral("Mises à jour non vérifiées"), QStringLiteral("Informations de la caméra :"),
              QStringLiteral("Numéro de série: N/D"), "Version du micrologiciel :", "Disponible: N/D",
              QStringLiteral("Version d’amorçage"), QStringLiteral("Version carte mère") },
        };
        const QStringList none;
        for (const Words& w : languages) {
            QTest::addRow("%s, unread channel, same motherboard", w.language)
                << w.language << 1 << "KZR410" << QStringList { "9.9", "N/A", "N/A" } << QStringList { "9.9" }
                << w.upToDate << none << none;
            QTest::addRow("%s, newer motherboard", w.language)
                << w.language << 1 << "KZR410" << QStringList { "9.9", "N/A", "N/A" } << QStringList { "10.0" }
                << w.fresh << none << none;
            QTest::addRow("%s, no catalogue", w.language)
                << w.language << 1 << "KZR410" << QStringList { "9.9", "N/A", "N/A" } << none << w.notChecked << none
                << none;
            QTest::addRow("%s, camera", w.language)
                << w.language << 4 << "DMK" << QStringList() << none << w.upToDate
                << QStringList { "B:" + w.camera, "B:" + w.serial } << QStringList { "B:" + w.bootloaderHeading };
            QTest::addRow("%s, IMU", w.language)
                << w.language << 14 << "IMU" << QStringList { "1.0", "N/A", "2.0" } << none << w.notChecked
                << QStringList { "M:" + w.firmware } << QStringList { "M:" + w.motherboardHeading };
            QTest::addRow("%s, base station", w.language)
                << w.language << 24 << "Zuvo" << QStringList { "1.0", "N/A", "2.0" } << none << w.notChecked
                << QStringList { "M:" + w.firmware } << QStringList { "M:" + w.motherboardHeading };
            QTest::addRow("%s, USB3 driver", w.language)
                << w.language << 20 << "USB3 Communication" << QStringList { "N/A", "N/A", "N/A" } << none << w.upToDate
                << QStringList { "B:" + w.available } << none;
        }
    }

    void statusAndHeadingsInBothLanguages()
    {
        QFETCH(QString, language);
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QStringList, installed);
        QFETCH(QStringList, available);
        QFETCH(QString, status);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, absent);

        const Language chosen(language);
        QVERIFY(chosen.installed());
        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        const QString uid = QStringLiteral("04D8-F57E-0101-05");
        if (installed.isEmpty()) {
            connectDevice(widget, type, name, uid);
        } else {
            auto infos = QSharedPointer<nsUpdater::DeviceCommunicationInfo>::create();
            infos->deviceType = type;
            infos->motherboardVersion = installed.at(0);
            infos->channelVersion = installed.at(1);
            infos->bootloaderVersion = installed.at(2);
            infos->name = name;
            infos->uid = uid;
            widget.onDeviceVersionReceived(infos);
        }
        if (!available.isEmpty())
            widget.onNetworkReplyReceived(QJsonDocument::fromJson(firmwareCatalogue(type, available)));
        form.typeRow(type)->setHidden(false);
        form.tree->setCurrentItem(form.typeRow(type)->child(0));

        QCOMPARE(form.status->text(), status);
        const auto paneOf = [&form](const QString& expected) {
            return expected.startsWith(QLatin1String("B:")) ? form.boot : form.motherboard;
        };
        for (const QString& expected : texts)
            QVERIFY2(paneOf(expected)->toPlainText().contains(expected.mid(2)),
                     qPrintable(expected.mid(2) + QStringLiteral(" not in ") + paneOf(expected)->toPlainText()));
        for (const QString& unexpected : absent)
            QVERIFY2(!paneOf(unexpected)->toPlainText().contains(unexpected.mid(2)),
                     qPrintable(unexpected.mid(2) + QStringLiteral(" in ") + paneOf(unexpected)->toPlainText()));
    }

    void engineNoticesAsBoxes_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("English") << "en"
                                 << "Wrong port detected"
                                 << "A Movra device has been found but the wrong port has been detected. Please "
                                    "change it to a USB3 port on your computer";
        QTest::newRow("French") << "fr"
                                << "Mauvais port détecté"
                                << "Un appareil Movra a été trouvé, mais le mauvais port a été détecté. Veuillez le "
                                   "brancher sur un port USB3 de votre ordinateur";
    }

    // What the firmware engine tells the user, the widget shows as a box.
    void engineNoticesAsBoxes()
    {
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QString, text);
        const Language chosen(language);
        QVERIFY(chosen.installed());
        auto machine = QSharedPointer<FakeMachine>::create(FakeMachine::Usb);
        VEKUpdaterWidget widget(machine);
        DialogAnswerer user({ QStringLiteral("OK") });
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        user.onShown = [&icon](const DialogAnswerer::Seen&) {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                icon = box->icon();
        };
        // A third-generation microscope driver on a plain USB port.
        machine->plug(FakeDevice::onUsb(0x0EB9, 0x00F1, 8, QStringLiteral("Microscope"), QStringLiteral("SN-0001"), 4,
                                        CommType::USB));
        QVERIFY(waitForBox(user, { text }, 10000));
        QCOMPARE(user.seen.size(), 1);
        QCOMPARE(user.seen.first().title, title);
        QCOMPARE(user.seen.first().buttons, QStringList { QStringLiteral("OK") });
        QCOMPARE(icon, QMessageBox::Warning);
    }

    void catalogueTextsStayText()
    {
        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        const QString uid = QStringLiteral("04D8-F57E-0101-05");
        connectDevice(widget, 15, QStringLiteral("LightSource"), uid);
        widget.onNetworkReplyReceived(
            QJsonDocument::fromJson(firmwareCatalogue(15, { QStringLiteral("<b>1.%2</b>"), QStringLiteral("%1") })));
        form.tree->setCurrentItem(form.typeRow(15)->child(0));
        QVERIFY2(form.motherboard->toPlainText().contains(QStringLiteral("Available: <b>1.%2</b>")),
                 qPrintable(form.motherboard->toPlainText()));
        QVERIFY(form.channel->toPlainText().contains(QStringLiteral("Available: %1")));
    }

    void rowWithoutRecordDisablesUpdates()
    {
        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        const QString uid = QStringLiteral("04D8-F57E-0101-05");
        connectDevice(widget, 22, QStringLiteral("YLQSA Gen2"), uid);
        connectDevice(widget, 22, QStringLiteral("YLQSA Gen2"), QStringLiteral("04D8-F57E-0102-05"));
        widget.informationHandler()->removeFirmwareInformation(QStringLiteral("04D8-F57E-0102-05"));
        form.tree->setCurrentItem(form.typeRow(22)->child(1));
        QVERIFY(!form.update->isEnabled());
        QVERIFY(!form.manual->isEnabled());
        QVERIFY(form.motherboard->toPlainText().contains(QStringLiteral("Installed: N/A")));
        // Clearing the current row runs nothing.
        form.tree->setCurrentItem(nullptr);
    }

    void catalogueFromServerRefreshesSelection()
    {
        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        const QString uid = QStringLiteral("04D8-F57E-0101-05");
        connectDevice(widget, 1, QStringLiteral("KZR410"), uid);
        widget.informationHandler()->setDeviceVersions(
            nsFirmware::DeviceVersions { QStringLiteral("1.0"), QStringLiteral("N/A"), QStringLiteral("1.0") }, uid);
        form.tree->setCurrentItem(form.typeRow(1)->child(0));
        QVERIFY(!form.update->isEnabled());
        QCOMPARE(form.status->text(), QStringLiteral("Update(s) not checked yet"));

        const QStringList before = m_server.tunnelRequests();
        QVERIFY(m_server.writeFile(FirmwareCataloguePath, firmwareCatalogue(1, { QStringLiteral("1.3") })));
        form.check->click();
        QTRY_VERIFY_WITH_TIMEOUT(form.update->isEnabled(), 10000);
        QCOMPARE(form.status->text(), QStringLiteral("New version(s) available"));
        QVERIFY(form.manual->isEnabled());
        QVERIFY(form.motherboard->toPlainText().contains(QStringLiteral("Available: 1.3")));
        const QStringList requests = m_server.tunnelRequests().mid(before.size());
        QCOMPARE(requests, QStringList { QUrl(MovraWebHost).host() + QStringLiteral(":443") });
    }

    void catalogueWithoutSelectionLeavesPanes()
    {
        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        const QString description = form.description->toHtml();
        widget.onNetworkReplyReceived(QJsonDocument::fromJson(firmwareCatalogue(1, { QStringLiteral("1.3") })));
        QCOMPARE(widget.informationHandler()->getFirmwareInformationList(1).first().motherboardAvailableVersion,
                 QStringLiteral("1.3"));
        QCOMPARE(form.description->toHtml(), description);
    }

    void documentWithSeveralMarkers()
    {
        VEKUpdaterWidget widget(noTransports());
        QJsonObject root = QJsonDocument::fromJson(firmwareCatalogue(1, { QStringLiteral("1.3") })).object();
        root.insert(QStringLiteral("Softwares"), 1);
        root.insert(QStringLiteral("Plugins"), 1);
        root.insert(SoftwareNames.value(nsUpdater::MovraTessaly),
                    QJsonObject { { QStringLiteral("Name"), SoftwareNames.value(nsUpdater::MovraTessaly) },
                                  { QStringLiteral("Version"), QStringLiteral("5.3") } });
        root.insert(PluginNames.value(nsUpdater::OrvexAnalyzer),
                    QJsonObject { { QStringLiteral("Name"), PluginNames.value(nsUpdater::OrvexAnalyzer) },
                                  { QStringLiteral("Version"), QStringLiteral("2.4") } });
        root.insert(QStringLiteral("17"),
                    QJsonObject { { QStringLiteral("URLS"), QJsonArray { QStringLiteral("https://x/ls.hex") } } });
        widget.onNetworkReplyReceived(QJsonDocument(root));
        const auto model = widget.informationHandler();
        QCOMPARE(model->getFirmwareInformationList(1).first().motherboardAvailableVersion, QStringLiteral("1.3"));
        QCOMPARE(model->getSoftwareInformation(nsUpdater::MovraTessaly).stableVersion, QStringLiteral("5.3"));
        QCOMPARE(model->getPluginInformation(nsUpdater::OrvexAnalyzer).availableVersion, QStringLiteral("2.4"));

        // No marker: nothing is applied.
        VEKUpdaterWidget other(noTransports());
        root.remove(QStringLiteral("Firmwares"));
        root.remove(QStringLiteral("Softwares"));
        root.remove(QStringLiteral("Plugins"));
        other.onNetworkReplyReceived(QJsonDocument(root));
        QCOMPARE(other.informationHandler()->getFirmwareInformationList(1).first().motherboardAvailableVersion,
                 QStringLiteral("N/A"));
        QCOMPARE(other.informationHandler()->getSoftwareInformation(nsUpdater::MovraTessaly).stableVersion,
                 QStringLiteral("N/A"));
    }

    void unreachableServerFallsBackToLocalCatalogues_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("notice");
        QTest::newRow("en") << "en"
                            << "The update server could not be reached: the versions shown are those of the "
                               "program's local copies of the catalogues.";
        QTest::newRow("fr") << "fr"
                            << QStringLiteral("Le serveur de mises à jour est injoignable : les versions affichées "
                                              "sont celles des copies locales des catalogues du programme.");
    }

    void unreachableServerFallsBackToLocalCatalogues()
    {
        QFETCH(QString, language);
        QFETCH(QString, notice);
        const Language chosen(language);
        QVERIFY(chosen.installed());
        m_server.setReachable(false);
        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        QSignalSpy messages(&widget, &VEKUpdaterWidget::sendMessageToStatusBar);
        const QString uid = QStringLiteral("04D8-F57E-0101-05");
        connectDevice(widget, 1, QStringLiteral("KZR410"), uid);
        widget.informationHandler()->setDeviceVersions(
            nsFirmware::DeviceVersions { QStringLiteral("1.0"), QStringLiteral("N/A"), QStringLiteral("1.0") }, uid);
        form.tree->setCurrentItem(form.typeRow(1)->child(0));
        form.check->click();
        // The copy in scripts/ offers 1.4, and the software and plugin copies come too.
        QTRY_VERIFY_WITH_TIMEOUT(form.update->isEnabled(), 10000);
        QVERIFY(form.motherboard->toPlainText().contains(QStringLiteral(": 1.4")));
        QTRY_VERIFY(widget.informationHandler()->getSoftwareInformation(nsUpdater::MovraTessaly).stableVersion
                    != QStringLiteral("N/A"));
        QVERIFY(!messages.isEmpty());
        QCOMPARE(messages.first().at(1).toInt(), 5000);
        // The status bar then keeps saying where the versions come from.
        QVERIFY(SignalWait([&] { return !messages.isEmpty() && messages.last().at(0).toString() == notice; })
                    .on(&widget, &VEKUpdaterWidget::sendMessageToStatusBar)
                    .wait(10000));
        QCOMPARE(messages.last().at(1).toInt(), 0);
    }

    void networkErrorReachesStatusBar()
    {
        VEKUpdaterWidget widget(noTransports());
        QSignalSpy messages(&widget, &VEKUpdaterWidget::sendMessageToStatusBar);
        widget.onNetworkReplyInfosReceived(QStringLiteral("Host unreachable"));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().at(0).toString(), QStringLiteral("Network Error : Host unreachable"));
        QCOMPARE(messages.first().at(1).toInt(), 5000);
    }

    void pluginDownloadReenablesClosing()
    {
        VEKUpdaterWidget widget(noTransports());
        QSignalSpy closeLock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        widget.onNetworkReplyDownloadDoneReceived(QStringLiteral("OrvexAnalyzer.dll"));
        QCOMPARE(closeLock.size(), 1);
        QCOMPARE(closeLock.first().at(0).toBool(), false);
    }

    void downloadProgressShowsTheDialog()
    {
        VEKUpdaterWidget widget(noTransports());
        ProgressDialog* dialog = progressDialog();
        QVERIFY(dialog);
        QVERIFY(!dialog->isVisible());
        QSignalSpy closeLock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        // Above 2 GiB: narrowed so that the bar keeps the ratio.
        widget.onNetworkReplyDownloadProgressReceived(3000000000LL, 6000000000LL);
        QVERIFY(dialog->isVisible());
        auto* bar = dialog->findChild<QProgressBar*>(QStringLiteral("progressBar"));
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(double(bar->value()) / bar->maximum(), 0.5);
        widget.onNetworkReplyDownloadProgressReceived(6000000000LL, 6000000000LL);
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(closeLock.size(), 1);
        QCOMPARE(closeLock.first().at(0).toBool(), true);

        // The shown dialog is closed and emptied when the file is in, though
        // it is not the active window here.
        dialog->appendDetailsInformation(QStringLiteral("Please be patient..."));
        QVERIFY(!dialog->isActiveWindow());
        widget.onNetworkReplyDownloadDoneReceived(QStringLiteral("OrvexAnalyzer.dll"));
        QVERIFY(!dialog->isVisible());
        auto* details = dialog->findChild<QTextBrowser*>(QStringLiteral("textBrowser"));
        QVERIFY(details);
        QVERIFY(details->toPlainText().isEmpty());
        QCOMPARE(closeLock.size(), 2);
        QCOMPARE(closeLock.last().at(0).toBool(), false);
    }

    void downloadDoneLeavesHiddenDialogAlone()
    {
        VEKUpdaterWidget widget(noTransports());
        ProgressDialog* dialog = progressDialog();
        dialog->appendDetailsInformation(QStringLiteral("kept"));
        widget.onNetworkReplyDownloadDoneReceived(QStringLiteral("OrvexAnalyzer.dll"));
        QVERIFY(!dialog->isVisible());
        QVERIFY(dialog->findChild<QTextBrowser*>(QStringLiteral("textBrowser"))
                    ->toPlainText()
                    .contains(QStringLiteral("kept")));
    }

    void mainWindowHoldsTheWidget()
    {
        MainWindow window;
        auto* container = window.findChild<QVBoxLayout*>(QStringLiteral("viewContainer"));
        QVERIFY(container);
        auto* widget = qobject_cast<VEKUpdaterWidget*>(container->itemAt(0)->widget());
        QVERIFY(widget);
        widget->onNetworkReplyInfosReceived(QStringLiteral("refused"));
        QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("Network Error : refused"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        widget->onNetworkReplyDownloadProgressReceived(10, 100);
        QVERIFY(!window.close());
        widget->onNetworkReplyDownloadDoneReceived(QStringLiteral("OrvexAnalyzer.dll"));
        QVERIFY(window.close());
    }

    void downloadedInstallerRuns()
    {
        VEKUpdaterWidget widget(noTransports());
        QSignalSpy closeLock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        const QString folder = QDir::homePath() + QStringLiteral("/downloads/");
        QVERIFY(QDir().mkpath(folder));
        const QString ran = m_environment.filePath(QStringLiteral("installer-ran"));
        QFile installer(folder + QStringLiteral("MovraTessaly_Setup_5.3.exe"));
        QVERIFY(installer.open(QIODevice::WriteOnly));
        installer.write("#!/bin/sh\ntouch '" + ran.toLocal8Bit() + "'\n");
        installer.close();
        widget.onNetworkReplyDownloadDoneReceived(QStringLiteral("MovraTessaly_Setup_5.3.exe"));
        QCOMPARE(closeLock.size(), 1);
        QCOMPARE(closeLock.first().at(0).toBool(), false);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ran), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!installer.exists(), 10000);
    }

    void destructionJoinsCatalogueThread()
    {
        // Helper threads of earlier tests (process reapers, pools) may still
        // be ending: count once the number has held still for a while.
        int before = threadCount();
        for (int stable = 0; stable < 5;) {
            QTest::qWait(100);
            const int now = threadCount();
            stable = now == before ? stable + 1 : 0;
            before = now;
        }
        {
            VEKUpdaterWidget widget(noTransports());
            QCOMPARE(threadCount(), before + 1);
        }
        // A joined QThread's system thread leaves the task list a moment
        // after wait() returns.
        QTRY_COMPARE_WITH_TIMEOUT(threadCount(), before, 10000);

        // With a request still running on a slow server.
        QVERIFY(m_server.writeFile(FirmwareCataloguePath, firmwareCatalogue(1, { QStringLiteral("1.3") })));
        {
            VEKUpdaterWidget widget(noTransports());
            emit widget.sendRequestToNetwork(
                QUrl(MovraWebHost + QStringLiteral("/") + FirmwareCataloguePath + QStringLiteral("?delay=3000")), true);
            QTest::qWait(200);
        }
        QTRY_COMPARE(threadCount(), before);
    }
};

QTEST_MAIN(TestUpdaterWidget)
#include "tst_updaterwidget.moc"
