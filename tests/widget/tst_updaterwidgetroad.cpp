#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "tests/firmware/fpga/UsbConsoleServicePort.h"
#include "tests/support/CatalogueServer.h"
#include "tests/support/RoadSupport.h"
#include "tests/support/SignalWait.h"
#include "tests/support/UsbMotherboard.h"
#include "tests/support/WidgetTestEnvironment.h"

#include <QtTest>

#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeWidget>

#include <memory>

// The widget over the real firmware updater, whose USB bus is the simulated
// one: instruments plugged there appear under their type's row, with their
// port, versions and connection status, and leave it when pulled out.
class TestUpdaterWidgetRoad : public QObject
{
    Q_OBJECT

private:
    WidgetTestEnvironment m_environment;
    CatalogueServer m_server;

    static QTreeWidgetItem* typeRow(QTreeWidget* tree, int type)
    {
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            if (tree->topLevelItem(i)->data(0, Qt::UserRole).toInt() == type)
                return tree->topLevelItem(i);
        }
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_environment.setUp());
        QVERIFY(m_server.start(QStringLiteral(MOVRA_HTTPS_SERVER), QUrl(MovraWebHost).host()));
    }

    void instrumentsComeAndGo()
    {
        auto bus = QSharedPointer<SimUsbBus>::create();
        auto joint = std::make_unique<UsbInstrument>(bus, road::profileOf(QStringLiteral("HLX58")), 2, 5);
        auto driver = std::make_unique<UsbInstrument>(bus, road::profileOf(QStringLiteral("NXLTV2")), 3, 6);
        {
            VEKUpdaterWidget widget(simulatedUsbTransports(bus).shared());
            QSignalSpy messages(&widget, &VEKUpdaterWidget::sendMessageToStatusBar);
            auto* tree = widget.findChild<QTreeWidget*>(QStringLiteral("treeWidget_device"));
            QTreeWidgetItem* joints = typeRow(tree, nsUpdater::AssistedRotaryJoint);
            QTreeWidgetItem* drivers = typeRow(tree, nsUpdater::KZR410);
            QTRY_VERIFY_WITH_TIMEOUT(joints->childCount() == 1 && drivers->childCount() == 1, road::FoundAndReadMs);

            QCOMPARE(joints->child(0)->text(0), joint->core().identity().product + QStringLiteral(" (Port #2)"));
            QCOMPARE(drivers->child(0)->text(0), driver->core().identity().product + QStringLiteral(" (Port #3)"));
            for (QTreeWidgetItem* row : { joints, drivers, joints->child(0), drivers->child(0) })
                QCOMPARE(row->text(1), QStringLiteral("Connected"));
            QCOMPARE(widget.connectedDeviceCount(), 2);
            const QList<FirmwareInformation> jointRecords =
                widget.informationHandler()->getFirmwareInformationList(nsUpdater::AssistedRotaryJoint);
            QCOMPARE(jointRecords.first().uid, joint->uid());
            QCOMPARE(jointRecords.first().motherboardInstalledVersion, QStringLiteral("2.5"));
            bool initialized = false;
            for (const QList<QVariant>& message : messages)
                initialized = initialized || message.at(0).toString() == QStringLiteral("Movra device initialized");
            QVERIFY(initialized);

            // The catalogue from the server: the joint has a newer firmware, the driver not.
            QJsonObject root { { QStringLiteral("Firmwares"), 1 },
                               { QStringLiteral("0"),
                                 QJsonObject { { QStringLiteral("Version"), QJsonArray { QStringLiteral("2.6") } } } },
                               { QStringLiteral("1"), QJsonObject { { QStringLiteral("Version"),
                                                                      QJsonArray { QStringLiteral("3.0") } } } } };
            QVERIFY(m_server.writeFile(QStringLiteral("downloads/.updates/firmwares/firmwares_admin.json"),
                                       QJsonDocument(root).toJson()));
            auto* update = widget.findChild<QPushButton*>(QStringLiteral("pb_updateDevice"));
            auto* status = widget.findChild<QLabel*>(QStringLiteral("lb_infoUpdateDevice"));
            auto* motherboard = widget.findChild<QTextBrowser*>(QStringLiteral("textBrowser_deviceMB"));
            tree->setCurrentItem(drivers->child(0));
            widget.findChild<QPushButton*>(QStringLiteral("pb_checkUpdateDevice"))->click();
            QTRY_VERIFY_WITH_TIMEOUT(motherboard->toPlainText().contains(QStringLiteral("Available: 3.0")), 10000);
            QVERIFY(motherboard->toPlainText().contains(QStringLiteral("Installed: 3.1")));
            QCOMPARE(status->text(), QStringLiteral("Already up-to-date"));
            QVERIFY(!update->isEnabled());
            tree->setCurrentItem(joints->child(0));
            QVERIFY(motherboard->toPlainText().contains(QStringLiteral("Available: 2.6")));
            QCOMPARE(status->text(), QStringLiteral("New version(s) available"));
            QVERIFY(update->isEnabled());

            // Pulled out: its row and record go, the other device keeps its own.
            driver->unplug();
            QTRY_COMPARE_WITH_TIMEOUT(drivers->childCount(), 0, 10000);
            QCOMPARE(drivers->text(1), QStringLiteral("Not connected"));
            QCOMPARE(widget.connectedDeviceCount(), 1);
            QCOMPARE(joints->childCount(), 1);
            QVERIFY(widget.informationHandler()->getFirmwareInformationList(nsUpdater::KZR410).first().uid.isEmpty());
            QCOMPARE(
                widget.informationHandler()->getFirmwareInformationList(nsUpdater::AssistedRotaryJoint).first().uid,
                joint->uid());
        }
        driver.reset();
        joint.reset();
    }

    // A light-source motherboard and a console on its service port found in
    // the same poll, in either order: every reply reaches both version
    // queries, and each family reads the other's bootloader reply in its own
    // layout. Each row still shows the versions its own device gave.
    void twoFamiliesInOneBurst_data()
    {
        QTest::addColumn<bool>("consoleFirst");
        QTest::newRow("light source first") << false;
        QTest::newRow("console first") << true;
    }

    void twoFamiliesInOneBurst()
    {
        QFETCH(bool, consoleFirst);
        auto bus = QSharedPointer<SimUsbBus>::create();
        std::unique_ptr<UsbMotherboard> lightSource;
        std::unique_ptr<UsbConsoleServicePort> console;
        // Both on the bus before the program looks: found in one poll, in
        // the bus's order.
        const auto plugLightSource = [&] {
            lightSource = std::make_unique<UsbMotherboard>(bus, sim::lightSourceMotherboard(3), 3, 5);
        };
        const auto plugConsole = [&] {
            console = std::make_unique<UsbConsoleServicePort>(bus, sim::ConsoleServicePortProfile(), 1, 3);
        };
        if (consoleFirst) {
            plugConsole();
            plugLightSource();
        } else {
            plugLightSource();
            plugConsole();
        }
        {
            VEKUpdaterWidget widget(simulatedUsbTransports(bus).shared());
            QSignalSpy messages(&widget, &VEKUpdaterWidget::sendMessageToStatusBar);
            auto* tree = widget.findChild<QTreeWidget*>(QStringLiteral("treeWidget_device"));
            auto* boot = widget.findChild<QTextBrowser*>(QStringLiteral("textBrowser_deviceBoot"));
            QTreeWidgetItem* lightSources = typeRow(tree, nsUpdater::LightSource);
            QTreeWidgetItem* channels = typeRow(tree, nsUpdater::Channels);
            const auto record = [&](int type) {
                return widget.informationHandler()->getFirmwareInformationList(type).value(0);
            };
            const QString initialized = QStringLiteral("Movra device initialized");
            QStringList seen;
            QVERIFY(SignalWait([&] {
                        seen.clear();
                        for (const QList<QVariant>& message : messages)
                            seen << message.at(0).toString();
                        return seen.count(initialized) == 2;
                    })
                        .on(&widget, &VEKUpdaterWidget::sendMessageToStatusBar)
                        .wait(road::FoundAndReadMs));
            QCOMPARE(lightSources->childCount(), 1);
            QCOMPARE(channels->childCount(), 1);
            // One burst: both were found before the first versions came.
            QCOMPARE(seen.indexOf(initialized), 2);
            QCOMPARE(seen.mid(0, 2), QStringList(2, road::FoundText));

            const FirmwareInformation lightSourceRecord = record(nsUpdater::LightSource);
            QCOMPARE(lightSourceRecord.uid, lightSource->uid());
            QCOMPARE((QStringList { lightSourceRecord.motherboardInstalledVersion,
                                    lightSourceRecord.channelInstalledVersion, lightSourceRecord.bootloaderVersion }),
                     (QStringList { "3.1.0", "4.1.0", "1.3" }));
            const FirmwareInformation channelsRecord = record(nsUpdater::Channels);
            QCOMPARE(channelsRecord.uid, console->uid());
            QCOMPARE(channelsRecord.bootloaderVersion, QStringLiteral("2.7"));

            tree->setCurrentItem(lightSources->child(0));
            QVERIFY2(boot->toPlainText().contains(QStringLiteral("Installed: 1.3")), qPrintable(boot->toPlainText()));
            tree->setCurrentItem(channels->child(0));
            QVERIFY2(boot->toPlainText().contains(QStringLiteral("Installed: 2.7")), qPrintable(boot->toPlainText()));
        }
        console.reset();
        lightSource.reset();
    }

    void bootloaderRowShownWhileOneIsThere()
    {
        auto bus = QSharedPointer<SimUsbBus>::create();
        auto bootloader = std::make_unique<UsbInstrument>(bus, road::profileOf(QStringLiteral("PIC32")), 4, 7);
        {
            VEKUpdaterWidget widget(simulatedUsbTransports(bus).shared());
            auto* tree = widget.findChild<QTreeWidget*>(QStringLiteral("treeWidget_device"));
            QTreeWidgetItem* rows = typeRow(tree, nsUpdater::Bootloader);
            QVERIFY(rows->isHidden());
            QTRY_COMPARE_WITH_TIMEOUT(rows->childCount(), 1, road::FoundAndReadMs);
            QVERIFY(!rows->isHidden());
            QCOMPARE(widget.connectedDeviceCount(), 1);
            tree->setCurrentItem(rows->child(0));
            QVERIFY(widget.findChild<QTextBrowser*>(QStringLiteral("textBrowser_deviceBoot"))
                        ->toPlainText()
                        .contains(QStringLiteral("Installed: 1.2")));
            QVERIFY(widget.findChild<QPushButton*>(QStringLiteral("pb_updateDeviceManually"))->isEnabled());
            bootloader->unplug();
            QTRY_COMPARE_WITH_TIMEOUT(rows->childCount(), 0, 10000);
            QCOMPARE(widget.connectedDeviceCount(), 0);
        }
        bootloader.reset();
    }
};

QTEST_MAIN(TestUpdaterWidgetRoad)
#include "tst_updaterwidgetroad.moc"
