#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "firmware/core/FirmwareTypes.h"
#include "tests/support/WidgetFixtures.h"
#include "tests/support/WidgetTestEnvironment.h"

#include <QtTest>

#include <QDesktopServices>
#include <QJsonArray>
#include <QJsonObject>
#include <QProgressBar>
#include <QStandardPaths>

using nsUpdater::DeviceIdentifier;

namespace {

// Every address of the test catalogue is on the loopback interface, so a
// download the widget asks for goes nowhere else.
QString url(int type, int position)
{
    return QStringLiteral("https://127.0.0.1:9/fw/T%1_%2.hex").arg(type).arg(position);
}

QString filter(int type, int position)
{
    return QStringLiteral("T%1_f%2*.hex").arg(type).arg(position);
}

// Five addresses and three filters for every device type; entry "17" also
// gives the two motherboard addresses.
QJsonDocument catalogue()
{
    QJsonObject root { { QStringLiteral("Firmwares"), 1 } };
    for (int type = 0; type <= 25; ++type) {
        QJsonArray urls;
        for (int i = 0; i < 5; ++i)
            urls.append(url(type, i));
        QJsonArray filters;
        for (int i = 0; i < 3; ++i)
            filters.append(filter(type, i));
        root.insert(QString::number(type),
                    QJsonObject { { QStringLiteral("Version"), QJsonArray { QStringLiteral("9.9") } },
                                  { QStringLiteral("URLS"), urls },
                                  { QStringLiteral("Filters"), filters } });
    }
    return QJsonDocument(root);
}

const QString WrongPort = QStringLiteral("<b>Device not connected to the correct port.</b>");

} // namespace

// The firmware update from the Devices tab, driven through the widget's
// slots and dialogs without any transport: which address or file filters
// each device type ends with, the result boxes and the close lock.
class TestFirmwareUpdateFlow : public QObject
{
    Q_OBJECT

private:
    WidgetTestEnvironment m_environment;
    UrlCatcher m_pages;

    // A widget with the catalogue and one device of the type, selected.
    static QTreeWidgetItem* selectDevice(VEKUpdaterWidget& widget, int type, const QString& name, const QString& uid)
    {
        widget.onNetworkReplyReceived(catalogue());
        widget.onDeviceConnectionStatusReceived(static_cast<DeviceIdentifier>(type), name, uid, true);
        Form form(&widget);
        QTreeWidgetItem* typeRow = form.typeRow(type);
        typeRow->setHidden(false);
        QTreeWidgetItem* row = typeRow->child(typeRow->childCount() - 1);
        form.tree->setCurrentItem(row);
        return row;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_environment.setUp());
        // The file dialogs start there; a folder that is missing would not be taken.
        QVERIFY(m_environment.makeDesktopFolder());
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_pages, "openUrl");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_pages, "openUrl");
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }

    void serverAddress_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("uid");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("address"); // empty: nothing is downloaded

        const QString usb = QStringLiteral("04D8-F57E-0102-05");
        // No device listed by the firmware updater: the joint's product id is not 0xF676.
        QTest::newRow("joint") << 0 << "HLX58" << usb << QStringList() << url(0, 4);
        QTest::newRow("KZR410") << 1 << "KZR410" << usb << QStringList() << url(1, 0);
        QTest::newRow("zuvo") << 24 << "Zuvo" << usb << QStringList() << url(24, 0);
        QTest::newRow("bootloader, GQZ3 KAVOR")
            << 3 << "Bootloader" << usb << QStringList { "GQZ3 KAVOR" } << url(3, 1);
        QTest::newRow("USB3, GQZ3") << 20 << "FX3" << usb << QStringList { "GQZ3" } << url(20, 0);
        QTest::newRow("USB3, TV720") << 20 << "FX3" << usb << QStringList { "TV720" } << url(20, 4);
        QTest::newRow("USB3, cancel") << 20 << "FX3" << usb << QStringList { "Cancel" } << QString();
        QTest::newRow("channels, photometry") << 5 << "Channels" << usb << QStringList { "Photometry" } << url(5, 1);
        QTest::newRow("channels, microscope") << 5 << "Channels" << usb << QStringList { "Microscope" } << url(5, 4);
        QTest::newRow("channels, cancel") << 5 << "Channels" << usb << QStringList { "Cancel" } << QString();
        QTest::newRow("memory manager") << 7 << "EEPROM" << usb << QStringList() << url(7, 4);
        QTest::newRow("light source") << 15 << "LightSource" << usb << QStringList() << url(15, 4);
        QTest::newRow("GQZ") << 10 << "GQZ" << usb << QStringList { "OK" } << QString();
        QTest::newRow("GQZ2 over the network") << 11 << "GQZ2"
                                               << "192.168.1.20" << QStringList { "OK" } << QString();
        QTest::newRow("GQZ2 over USB") << 11 << "GQZ2" << usb << QStringList() << url(11, 0);
        QTest::newRow("GQZ3, motherboard") << 12 << "GQZ3" << usb << QStringList { "Motherboard" } << url(12, 0);
        QTest::newRow("GQZ3, channels") << 12 << "GQZ3" << usb << QStringList { "Channels" } << url(12, 4);
        QTest::newRow("GQZ3 KAVOR, cancel") << 13 << "GQZ3 KAVOR" << usb << QStringList { "Cancel" } << QString();
        QTest::newRow("KAVOR, motherboard") << 16 << "KAVOR" << usb << QStringList { "Motherboard" } << url(16, 0);
        QTest::newRow("KAVOR, channels") << 16 << "KAVOR" << usb << QStringList { "Channels" } << url(16, 3);
        QTest::newRow("console, motherboard")
            << 8 << "EP Console" << usb << QStringList { "Motherboard" } << url(17, 1);
        QTest::newRow("console, cancel") << 9 << "FP Console" << usb << QStringList { "Cancel" } << QString();
        QTest::newRow("motherboard, console")
            << 17 << "Motherboard" << usb << QStringList { "Motherboard", "Console (1st Gen.)" } << url(17, 1);
        QTest::newRow("motherboard, light source")
            << 17 << "Motherboard" << usb << QStringList { "Motherboard", "LightSource (1st Gen.)" } << url(17, 0);
        QTest::newRow("motherboard, which device cancelled")
            << 17 << "Motherboard" << usb << QStringList { "Motherboard", "Cancel" } << QString();
        QTest::newRow("motherboard channels, KAVOR")
            << 17 << "Motherboard" << usb << QStringList { "Channels", "KAVOR (2nd Gen.)" } << url(16, 4);
        QTest::newRow("motherboard channels, light source")
            << 17 << "Motherboard" << usb << QStringList { "Channels", "LightSource (1st Gen.)" } << url(15, 4);
        QTest::newRow("motherboard channels, cancel")
            << 17 << "Motherboard" << usb << QStringList { "Channels", "Cancel" } << QString();
        QTest::newRow("motherboard, cancel") << 17 << "Motherboard" << usb << QStringList { "Cancel" } << QString();
        QTest::newRow("TV720") << 18 << "TV720" << usb << QStringList() << url(18, 0);
        QTest::newRow("HKTR8") << 19 << "HKTR8" << usb << QStringList() << url(19, 0);
        QTest::newRow("HKTR4") << 19 << "HKTR4" << usb << QStringList() << url(19, 1);
        QTest::newRow("HKTR neither") << 19 << "HKTR2" << usb << QStringList() << QString();
        QTest::newRow("Sarvanti motor") << 21 << "Sarvanti Motor" << usb << QStringList() << url(21, 4);
        QTest::newRow("Sarvanti") << 21 << "Sarvanti" << usb << QStringList() << url(21, 0);
        QTest::newRow("Sarvanti Gen2 disk") << 25 << "Sarvanti Disk" << usb << QStringList() << url(25, 4);
    }

    void serverAddress()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QString, uid);
        QFETCH(QStringList, answers);
        QFETCH(QString, address);

        VEKUpdaterWidget widget(noTransports());
        selectDevice(widget, type, name, uid);
        QSignalSpy requests(&widget, &VEKUpdaterWidget::sendRequestToNetwork);
        DialogAnswerer user(answers);
        widget.onUpdateDeviceClicked();
        QCOMPARE(user.seen.size(), answers.size());
        QVERIFY(user.remaining().isEmpty());
        if (answers.value(0) == QLatin1String("OK"))
            QCOMPARE(user.seen.first().text, WrongPort);
        if (address.isEmpty()) {
            QCOMPARE(requests.size(), 0);
            return;
        }
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().at(0).toUrl().toString(), address);
        QCOMPARE(requests.first().at(1).toBool(), false);
        ProgressDialog* dialog = progressDialog();
        QVERIFY(dialog);
        const QString file = QUrl(address).fileName();
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("lb_updating"))->text(),
                 QStringLiteral("<b>Downloading</b> [%1]").arg(file));
        QVERIFY(dialog->findChild<QTextBrowser*>(QStringLiteral("textBrowser"))->toPlainText().contains(address));
        // Shown with the first progress report only.
        QVERIFY(!dialog->isVisible());
    }

    void cameraOpensVendorPage()
    {
        VEKUpdaterWidget widget(noTransports());
        widget.onNetworkReplyReceived(catalogue());
        widget.onDeviceConnectionStatusReceived(nsUpdater::KZR410, QStringLiteral("KZR410"),
                                                QStringLiteral("04D8-F57E-0102-05"), true);
        selectDevice(widget, nsUpdater::Camera, QStringLiteral("DMK"), QStringLiteral("12345678"));
        QCOMPARE(widget.connectedDeviceCount(), 1);
        QSignalSpy requests(&widget, &VEKUpdaterWidget::sendRequestToNetwork);
        QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        m_pages.opened.clear();
        widget.onUpdateDeviceClicked();
        QCOMPARE(m_pages.opened.size(), 1);
        QCOMPARE(m_pages.opened.first().scheme(), QStringLiteral("https"));
        QCOMPARE(m_pages.opened.first().path(), QStringLiteral("/support/downloads-for-windows/"));
        QCOMPARE(requests.size(), 0);
        QCOMPARE(lock.size(), 0);
        QVERIFY(!progressDialog() || !progressDialog()->isVisible());
    }

    // A camera's manual update, reached through the slot (its button is
    // disabled), offers every file: the dialog has no filter.
    void cameraManualDialogWithoutFilters()
    {
        VEKUpdaterWidget widget(noTransports());
        widget.onDeviceConnectionStatusReceived(nsUpdater::KZR410, QStringLiteral("KZR410"),
                                                QStringLiteral("04D8-F57E-0102-05"), true);
        selectDevice(widget, nsUpdater::Camera, QStringLiteral("DMK"), QStringLiteral("12345678"));
        DialogAnswerer user({ QStringLiteral("reject") });
        widget.onUpdateDeviceManuallyClicked();
        QCOMPARE(user.seen.size(), 1);
        QCOMPARE(user.seen.first().kind, QStringLiteral("file"));
        QCOMPARE(user.seen.first().nameFilters, QFileDialog().nameFilters());
    }

    // No browser to open the page: the status bar gives its address instead.
    void cameraPageWithoutBrowser()
    {
        VEKUpdaterWidget widget(noTransports());
        widget.onDeviceConnectionStatusReceived(nsUpdater::KZR410, QStringLiteral("KZR410"),
                                                QStringLiteral("04D8-F57E-0102-05"), true);
        selectDevice(widget, nsUpdater::Camera, QStringLiteral("DMK"), QStringLiteral("12345678"));
        QSignalSpy messages(&widget, &VEKUpdaterWidget::sendMessageToStatusBar);
        QSignalSpy requests(&widget, &VEKUpdaterWidget::sendRequestToNetwork);
        // A handler that cannot take the page, as a desktop without a browser.
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_pages, "noBrowser");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("invokeMethod.*noBrowser")));
        widget.onUpdateDeviceClicked();
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_pages, "openUrl");
        QCOMPARE(messages.size(), 1);
        const QString message = messages.first().at(0).toString();
        QVERIFY2(message.startsWith(QStringLiteral("The page https://")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("/support/downloads-for-windows/ could not be opened")),
                 qPrintable(message));
        QCOMPARE(messages.first().at(1).toInt(), 0);
        QCOMPARE(requests.size(), 0);
    }

    // Rules that look at the device the firmware updater lists: a joint with
    // the first product id of its bootloader takes the first address and
    // filter; a PIC32 bootloader is offered the files of the types that boot
    // from it.
    void listedDevice_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("productId");
        QTest::addColumn<int>("release");
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("address"); // empty: "Update from server" is not tried
        QTest::addColumn<QStringList>("filters");

        QTest::newRow("joint, first bootloader id")
            << 0 << 0xF676 << 6 << "Assisted Rotary Joint" << url(0, 0) << QStringList { filter(0, 0) };
        QTest::newRow("PIC32 bootloader")
            << 3 << 0xF333 << 1 << "Movra Bootloader" << QString()
            << QStringList { "Movra-KZR410_Firmware_V*.hex", "Movra-KOTW_Gen3_Firmware_V*.hex",
                             "Movra-Sarvanti_Gen2_Driver_Firmware_V*.hex" };
    }

    void listedDevice()
    {
        QFETCH(int, type);
        QFETCH(int, productId);
        QFETCH(int, release);
        QFETCH(QString, product);
        QFETCH(QString, address);
        QFETCH(QStringList, filters);

        auto machine = QSharedPointer<FakeMachine>::create(FakeMachine::Usb);
        VEKUpdaterWidget widget(machine);
        Form form(&widget);
        machine->plug(FakeDevice::onUsb(0x04D8, quint16(productId), quint16(release), product, QString(), 5));
        QTreeWidgetItem* typeRow = form.typeRow(type);
        QVERIFY(waitForDevices(form, typeRow, 1, 10000));
        widget.onNetworkReplyReceived(catalogue());
        typeRow->setHidden(false);
        form.tree->setCurrentItem(typeRow->child(0));

        {
            DialogAnswerer user({ QStringLiteral("reject") });
            widget.onUpdateDeviceManuallyClicked();
            QCOMPARE(user.seen.size(), 1);
            QCOMPARE(user.seen.first().kind, QStringLiteral("file"));
            QCOMPARE(user.seen.first().nameFilters, filters);
        }
        if (address.isEmpty())
            return;
        QSignalSpy requests(&widget, &VEKUpdaterWidget::sendRequestToNetwork);
        DialogAnswerer user({});
        widget.onUpdateDeviceClicked();
        QCOMPARE(user.seen.size(), 0);
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().at(0).toUrl().toString(), address);
    }

    void deviceCount()
    {
        VEKUpdaterWidget widget(noTransports());
        QSignalSpy requests(&widget, &VEKUpdaterWidget::sendRequestToNetwork);
        {
            // None counted: nothing, and no box.
            DialogAnswerer user({});
            widget.onUpdateDeviceClicked();
            widget.onUpdateDeviceManuallyClicked();
            QCOMPARE(user.seen.size(), 0);
        }
        selectDevice(widget, nsUpdater::KZR410, QStringLiteral("KZR410"), QStringLiteral("04D8-F57E-0102-05"));
        selectDevice(widget, nsUpdater::KZR410, QStringLiteral("KZR410"), QStringLiteral("04D8-F57E-0103-05"));
        QCOMPARE(widget.connectedDeviceCount(), 2);
        DialogAnswerer user({ QStringLiteral("OK"), QStringLiteral("OK") });
        widget.onUpdateDeviceClicked();
        widget.onUpdateDeviceManuallyClicked();
        QCOMPARE(user.seen.size(), 2);
        for (const DialogAnswerer::Seen& seen : user.seen) {
            QCOMPARE(seen.text, QStringLiteral("<b>There are more than one device connected.</b>"));
            QCOMPARE(seen.informative,
                     QStringLiteral("Please remove all but the one device you want to update, then try again."));
        }
        QCOMPARE(requests.size(), 0);
    }

    void manualFilters_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("answers"); // before the file dialog
        QTest::addColumn<bool>("dialogOpens");
        QTest::addColumn<QStringList>("filters");

        const QStringList none;
        QTest::newRow("joint") << 0 << "HLX58" << none << true << QStringList { filter(0, 2) };
        QTest::newRow("KZR410") << 1 << "KZR410" << none << true
                                << QStringList { filter(1, 0), filter(1, 1), filter(1, 2) };
        QTest::newRow("HKTR") << 19 << "HKTR8" << none << true
                              << QStringList { filter(19, 0), filter(19, 1), filter(19, 2) };
        // No bootloader listed by the firmware updater: no filter fits.
        QTest::newRow("bootloader") << 3 << "Bootloader" << none << true << none;
        QTest::newRow("channels, electrophy")
            << 5 << "Channels" << QStringList { "Electrophy." } << true << QStringList { "QWM*.mcs" };
        QTest::newRow("channels, microscope")
            << 5 << "Channels" << QStringList { "Microscope" } << true << QStringList { "MovraMicroscopeDriver*.mcs" };
        QTest::newRow("channels, cancel") << 5 << "Channels" << QStringList { "Cancel" } << false << none;
        QTest::newRow("console, motherboard")
            << 8 << "EP Console" << QStringList { "Motherboard" } << true << QStringList { filter(8, 0) };
        QTest::newRow("memory manager, motherboard")
            << 7 << "EEPROM" << QStringList { "Motherboard" } << true << QStringList { filter(7, 0) };
        QTest::newRow("memory manager, channels")
            << 7 << "EEPROM" << QStringList { "Channel(s)" } << true << QStringList { filter(7, 2) };
        QTest::newRow("memory manager, cancel") << 7 << "EEPROM" << QStringList { "Cancel" } << false << none;
        QTest::newRow("GQZ") << 10 << "GQZ" << QStringList { "OK" } << false << none;
        QTest::newRow("GQZ3, motherboard")
            << 12 << "GQZ3" << QStringList { "Motherboard" } << true << QStringList { filter(12, 0) };
        QTest::newRow("GQZ3, channels") << 13 << "GQZ3 KAVOR" << QStringList { "Channels" } << true
                                        << QStringList { filter(13, 2) };
        QTest::newRow("light source") << 15 << "LightSource" << QStringList { "OK" } << true
                                      << QStringList { filter(15, 2) };
        // No device listed: the channel count is not 1.
        QTest::newRow("KAVOR") << 16 << "KAVOR" << QStringList { "OK" } << true
                               << QStringList { "Movra-KAVOR_1Ch_Firmware_V*.hex" };
        QTest::newRow("motherboard, light source")
            << 17 << "LightSource MB" << QStringList { "Motherboard" } << true
            << QStringList { "Movra-PQW_Firmware_V*.hex", "Movra-PQW_KAVOR_Only_Firmware_V*.hex",
                             "Movra-PQW_KAVOR_1Ch_Firmware_V*.hex" };
        QTest::newRow("motherboard, console") << 17 << "Console MB" << QStringList { "Motherboard" } << true
                                              << QStringList { "Movra-KJW_Firmware_V*.hex" };
        QTest::newRow("motherboard, other")
            << 17 << "Motherboard" << QStringList { "Motherboard" } << true
            << QStringList { "Movra-KJW_Firmware_V*.hex", "Movra-PQW_Firmware_V*.hex",
                             "Movra-PQW_KAVOR_Only_Firmware_V*.hex", "Movra-PQW_KAVOR_1Ch_Firmware_V*.hex" };
        QTest::newRow("motherboard channels, light source")
            << 17 << "Motherboard" << QStringList { "Channels", "LightSource (1st Gen.)", "OK" } << true
            << QStringList { "Movra-LS_Default_Firmware_V*.hex", "DriverHybridChannel*.hex" };
        QTest::newRow("motherboard channels, KAVOR")
            << 17 << "KAVOR MB" << QStringList { "Channels", "KAVOR (2nd Gen.)", "OK" } << true
            << QStringList { "Movra-KAVOR_1Ch_Firmware_V*.hex" };
        QTest::newRow("motherboard channels, cancel")
            << 17 << "Motherboard" << QStringList { "Channels", "Cancel" } << false << none;
        QTest::newRow("motherboard, cancel") << 17 << "Motherboard" << QStringList { "Cancel" } << false << none;
        QTest::newRow("TV720") << 18 << "TV720" << none << true
                               << QStringList { filter(18, 0), filter(18, 1), filter(18, 2) };
        QTest::newRow("USB3, TV720") << 20 << "FX3" << QStringList { "TV720" } << true
                                     << QStringList { filter(20, 2), "*img" };
        QTest::newRow("USB3, GQZ3 KAVOR")
            << 20 << "FX3" << QStringList { "GQZ3 KAVOR" } << true << QStringList { filter(20, 1), "*img" };
        QTest::newRow("USB3, cancel") << 20 << "FX3" << QStringList { "Cancel" } << false << none;
        QTest::newRow("Sarvanti disk") << 21 << "Sarvanti Disk" << none << true
                                       << QStringList { "Movra-Sarvanti_Disk_Driver_Firmware_V*.hex" };
        QTest::newRow("Sarvanti") << 21 << "Sarvanti" << none << true
                                  << QStringList { "Movra-Sarvanti_Driver_Firmware_V*.hex" };
        QTest::newRow("Sarvanti Gen2 motor")
            << 25 << "Sarvanti Motor" << none << true << QStringList { "Movra-Sarvanti_Gen2_Driver_Firmware_V*.hex" };
        QTest::newRow("Sarvanti Gen2 disk") << 25 << "Sarvanti Disk" << none << true
                                            << QStringList { "Movra-Sarvanti_Gen2_Disk_Driver_Firmware_V*.hex" };
    }

    void manualFilters()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QStringList, answers);
        QFETCH(bool, dialogOpens);
        QFETCH(QStringList, filters);

        VEKUpdaterWidget widget(noTransports());
        selectDevice(widget, type, name, QStringLiteral("04D8-F57E-0102-05"));
        DialogAnswerer user(answers + QStringList { QStringLiteral("reject") });
        widget.onUpdateDeviceManuallyClicked();
        QCOMPARE(user.seen.size(), answers.size() + (dialogOpens ? 1 : 0));
        for (int i = 0; i < answers.size(); ++i)
            QVERIFY(user.seen.at(i).kind != QLatin1String("file"));
        if (!dialogOpens)
            return;
        const DialogAnswerer::Seen& files = user.seen.last();
        QCOMPARE(files.kind, QStringLiteral("file"));
        QCOMPARE(files.nameFilters, filters);
        QCOMPARE(files.directory,
                 QDir(QStandardPaths::standardLocations(QStandardPaths::DesktopLocation).value(0)).absolutePath());
    }

    // The types whose rule waits for the console's channels: the user moves
    // the cable to the service port first, in both modes, and nothing is
    // downloaded or chosen before the channels answer.
    void consoleChannelsWaitForTheServicePort_data()
    {
        QTest::addColumn<bool>("serverMode");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("untilTheEnd"); // wait for the wait's end

        QTest::newRow("motherboard, manual, photometry")
            << false << 17 << "Console MB" << QStringList { "Channels", "Photometry", "OK" } << true;
        QTest::newRow("motherboard, server, electrophy")
            << true << 17 << "Console MB" << QStringList { "Channels", "Electrophy.", "OK" } << false;
        QTest::newRow("console, manual") << false << 8 << "EP Console" << QStringList { "Channels", "OK" } << false;
        QTest::newRow("console, server") << true << 9 << "FP Console" << QStringList { "Channels", "OK" } << false;
    }

    void consoleChannelsWaitForTheServicePort()
    {
        QFETCH(bool, serverMode);
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QStringList, answers);
        QFETCH(bool, untilTheEnd);

        VEKUpdaterWidget widget(noTransports());
        selectDevice(widget, type, name, QStringLiteral("04D8-F57E-0102-05"));
        QSignalSpy messages(&widget, &VEKUpdaterWidget::sendMessageToStatusBar);
        QSignalSpy requests(&widget, &VEKUpdaterWidget::sendRequestToNetwork);
        DialogAnswerer user(answers);
        if (serverMode)
            widget.onUpdateDeviceClicked();
        else
            widget.onUpdateDeviceManuallyClicked();
        QCOMPARE(user.seen.size(), answers.size());
        if (!serverMode && answers.size() == 3) {
            // Only the console families are offered.
            QCOMPARE(user.seen.at(1).kind, QStringLiteral("choice"));
            QCOMPARE(user.seen.at(1).buttons, (QStringList { "Electrophy.", "Photometry", "Cancel" }));
        }
        QCOMPARE(user.seen.last().title, QStringLiteral("Acquisition Console Update"));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().at(0).toString(), QStringLiteral("Waiting for the channel(s) connection ..."));
        QCOMPARE(requests.size(), 0);
        if (!untilTheEnd)
            return;
        // The channels never report themselves: no file dialog.
        QVERIFY(SignalWait([&] { return messages.size() == 2; })
                    .on(&widget, &VEKUpdaterWidget::sendMessageToStatusBar)
                    .wait(30000));
        QCOMPARE(messages.last().at(0).toString(), QStringLiteral("ERROR : Channel(s) connection wasn't received"));
        QCOMPARE(user.seen.size(), answers.size());
    }

    void refusedStartBoxes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("text");

        QTest::newRow("1: not connected") << 1 << "Movra-KZR410_Firmware_V2.0.hex"
                                          << "<b>Selected device doesn't seem to be connected.</b>";
        QTest::newRow("3: wrong file") << 3 << "Movra-LS_Default_Firmware_V1.0.hex"
                                       << "<b>Downloaded/Selected file cannot be used for programming [%1].</b>";
    }

    void refusedStartBoxes()
    {
        QFETCH(int, type);
        QFETCH(QString, fileName);
        QFETCH(QString, text);

        VEKUpdaterWidget widget(noTransports());
        selectDevice(widget, type, QStringLiteral("Device"), QStringLiteral("04D8-F57E-0102-05"));
        const QString path = m_environment.filePath(fileName);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        DialogAnswerer user({ QStringLiteral("file:") + path, QStringLiteral("OK") });
        widget.onUpdateDeviceManuallyClicked();
        QCOMPARE(user.seen.size(), 2);
        QCOMPARE(user.seen.at(1).title, QStringLiteral("Error"));
        QCOMPARE(user.seen.at(1).text, text.contains(QLatin1String("%1")) ? text.arg(path) : text);
        QCOMPARE(lock.size(), 0);
    }

    // A downloaded firmware file that the firmware updater refuses ends the
    // flow: nothing runs that would free the window, so the refusal does.
    void refusedStartAfterDownloadUnlocks()
    {
        VEKUpdaterWidget widget(noTransports());
        selectDevice(widget, 1, QStringLiteral("Device"), QStringLiteral("04D8-F57E-0102-05"));
        QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        widget.onNetworkReplyDownloadProgressReceived(10, 100);
        QCOMPARE(lock.size(), 1);
        DialogAnswerer user({ QStringLiteral("OK") });
        widget.onNetworkReplyDownloadDoneReceived(QStringLiteral("Movra-KZR410_Firmware_V2.0.hex"));
        QCOMPARE(user.seen.size(), 1);
        QCOMPARE(user.seen.first().text, QStringLiteral("<b>Selected device doesn't seem to be connected.</b>"));
        QVERIFY(!progressDialog()->isVisible());
        QCOMPARE(lock.size(), 2);
        QCOMPARE(lock.last().at(0).toBool(), false);
    }

    void progressSteps_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("progress");
        QTest::addColumn<QString>("headline");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");

        const QString updating = QStringLiteral("<b>Updating Firmware</b> [Firmware_V2.hex]");
        QTest::newRow("boot info") << 1 << 0 << "<b>Reset To Bootloader</b>" << 0 << 0;
        QTest::newRow("erase") << 2 << 15 << "<b>Erasing Firmware</b>" << 100 << 15;
        QTest::newRow("channel erase") << 24 << 15 << "<b>Erasing Firmware</b>" << 100 << 15;
        QTest::newRow("program") << 3 << 40 << updating << 100 << 40;
        QTest::newRow("reconnect") << int('q') << 5 << updating << 100 << 5;
        QTest::newRow("external programmer") << int('r') << 30 << updating << 0 << 0;
    }

    void progressSteps()
    {
        QFETCH(int, code);
        QFETCH(int, progress);
        QFETCH(QString, headline);
        QFETCH(int, maximum);
        QFETCH(int, value);

        VEKUpdaterWidget widget(noTransports());
        // The headline names the file of the last hand-over.
        selectDevice(widget, 1, QStringLiteral("KZR410"), QStringLiteral("04D8-F57E-0102-05"));
        DialogAnswerer user({ QStringLiteral("file:") + m_environment.filePath(QStringLiteral("Firmware_V2.hex")),
                              QStringLiteral("OK") });
        widget.onUpdateDeviceManuallyClicked();
        QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        widget.onFirmwareUpdaterResponseReceived(char(code), nsFirmware::InProgress, progress);
        widget.onFirmwareUpdaterResponseReceived(char(code), nsFirmware::InProgress, progress);
        ProgressDialog* dialog = progressDialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("lb_updating"))->text(), headline);
        auto* bar = dialog->findChild<QProgressBar*>(QStringLiteral("progressBar"));
        QCOMPARE(bar->maximum(), maximum);
        QCOMPARE(bar->value(), value);
        // Locked once, when the dialog came up.
        QCOMPARE(lock.size(), 1);
        QCOMPARE(lock.first().at(0).toBool(), true);
        dialog->close();
    }

    void errorBox_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");
        QTest::newRow("erase") << 2 << "Erasing firmware completed with error";
        QTest::newRow("channel erase") << 24 << "Erasing firmware completed with error";
        QTest::newRow("CRC") << 4 << "CRC verification failed";
        QTest::newRow("channel CRC") << 26 << "CRC verification failed";
        QTest::newRow("reconnect") << int('q')
                                   << "The specified device did not reconnect by itself. Try reconnecting it manually.";
        QTest::newRow("program") << 3 << "Unknown error";
    }

    void errorBox()
    {
        QFETCH(int, code);
        QFETCH(QString, reason);

        VEKUpdaterWidget widget(noTransports());
        QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        widget.onFirmwareUpdaterResponseReceived(char(3), nsFirmware::InProgress, 50);
        int locksWhileShown = -1;
        DialogAnswerer user({ QStringLiteral("OK") });
        user.onShown = [&](const DialogAnswerer::Seen&) { locksWhileShown = lock.size(); };
        widget.onFirmwareUpdaterResponseReceived(char(code), nsFirmware::Error, -1);
        QCOMPARE(user.seen.size(), 1);
        QCOMPARE(user.seen.first().title, QStringLiteral("Updating Firmware"));
        QCOMPARE(user.seen.first().text, QStringLiteral("<b>A problem occured while updating the firmware.</b>"));
        QCOMPARE(user.seen.first().informative,
                 QStringLiteral("Please verify your connections and try again.\n\nError information : ") + reason);
        QVERIFY(!progressDialog()->isVisible());
        // Still locked while the box is open, free once it is closed.
        QCOMPARE(locksWhileShown, 1);
        QCOMPARE(lock.size(), 2);
        QCOMPARE(lock.last().at(0).toBool(), false);
    }

    void successUnlocksAfterFiveSeconds()
    {
        VEKUpdaterWidget widget(noTransports());
        QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        widget.onFirmwareUpdaterResponseReceived(char(3), nsFirmware::InProgress, 99);
        DialogAnswerer user({ QStringLiteral("OK") });
        widget.onFirmwareUpdaterResponseReceived(char(4), nsFirmware::Success, 100);
        QElapsedTimer closed;
        closed.start();
        QCOMPARE(user.seen.size(), 1);
        QCOMPARE(user.seen.first().text, QStringLiteral("<b>Update completed successfully!</b>"));
        QVERIFY(!progressDialog()->isVisible());
        QCOMPARE(lock.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(lock.size(), 2, 15000);
        QVERIFY2(closed.elapsed() >= 4900, qPrintable(QString::number(closed.elapsed())));
        QCOMPARE(lock.last().at(0).toBool(), false);
    }

    void forceExitReleasesTheLock()
    {
        VEKUpdaterWidget widget(noTransports());
        QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        QSignalSpy network(&widget, &VEKUpdaterWidget::sendForceExitToNetwork);
        widget.onProgressReceived(10, 100);
        ProgressDialog* dialog = progressDialog();
        QVERIFY(dialog->isVisible());
        dialog->findChild<QPushButton*>(QStringLiteral("pb_forceExit"))->click();
        QCOMPARE(network.size(), 1);
        QCOMPARE(lock.size(), 2);
        QCOMPARE(lock.last().at(0).toBool(), false);
        QVERIFY(!dialog->isVisible());
    }

    // The channels of a light source are done but no row names the device
    // any more: the update has ended, with an error, and the window may close.
    void motherboardStepWithoutRow()
    {
        VEKUpdaterWidget widget(noTransports());
        QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        widget.onSendMessageToProgressDialogReceived(QStringLiteral("Programming the channel(s)... [Done]"));
        QCOMPARE(lock.size(), 1);
        DialogAnswerer user({ QStringLiteral("OK") });
        widget.onStartMotherboardUpdateReceived();
        QCOMPARE(user.seen.size(), 1);
        QCOMPARE(user.seen.first().title, QStringLiteral("Error"));
        QVERIFY(user.seen.first().informative.endsWith(
            QStringLiteral("Error Information : Motherboard couldn't be updated after the channel(s)")));
        QCOMPARE(lock.size(), 2);
        QCOMPARE(lock.last().at(0).toBool(), false);
        progressDialog()->close();
    }

    void motherboardStepAfterChannels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("filters");
        QTest::newRow("light source") << "LightSource"
                                      << QStringList { "Movra-PQW_Firmware_V*.hex",
                                                       "Movra-PQW_KAVOR_Only_Firmware_V*.hex",
                                                       "Movra-PQW_KAVOR_1Ch_Firmware_V*.hex",
                                                       "DriverHybridMotherboard*.hex" };
        QTest::newRow("console") << "Console"
                                 << QStringList { "Movra-KJW_Firmware_V*.hex", "DriverHybridMotherboard*.hex" };
        QTest::newRow("other") << "Driver"
                               << QStringList { "DriverHybridMotherboard*.hex", "Movra-KJW_Firmware_V*.hex",
                                                "Movra-PQW_Firmware_V*.hex", "Movra-PQW_KAVOR_Only_Firmware_V*.hex",
                                                "Movra-PQW_KAVOR_1Ch_Firmware_V*.hex" };
    }

    void motherboardStepAfterChannels()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, filters);

        VEKUpdaterWidget widget(noTransports());
        selectDevice(widget, nsUpdater::LightSource, name, QStringLiteral("04D8-F57E-0102-05"));
        QSignalSpy requests(&widget, &VEKUpdaterWidget::sendRequestToNetwork);
        DialogAnswerer user({ QStringLiteral("reject") });
        widget.onStartMotherboardUpdateReceived();
        QCOMPARE(user.seen.size(), 1);
        QCOMPARE(user.seen.first().kind, QStringLiteral("file"));
        QCOMPARE(user.seen.first().title, QStringLiteral("Choose the Motherboard Firmware File (.hex)"));
        QCOMPARE(user.seen.first().nameFilters, filters);
        QCOMPARE(requests.size(), 0);
    }

    // In server mode the motherboard step after the channels downloads the
    // light sources' motherboard address, or the type's own first address.
    void motherboardStepFromTheServer_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("motherboard");

        QTest::newRow("light source") << 15 << "LightSource" << url(17, 0);
        QTest::newRow("KAVOR") << 16 << "KAVOR" << url(16, 0);
        QTest::newRow("memory manager") << 7 << "EEPROM" << url(7, 0);
    }

    void motherboardStepFromTheServer()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QString, motherboard);

        VEKUpdaterWidget widget(noTransports());
        selectDevice(widget, type, name, QStringLiteral("04D8-F57E-0102-05"));
        QSignalSpy requests(&widget, &VEKUpdaterWidget::sendRequestToNetwork);
        {
            // A downloaded channel file puts the flow in server mode (here
            // its start is refused).
            DialogAnswerer user({ QStringLiteral("OK") });
            widget.onNetworkReplyDownloadDoneReceived(QUrl(url(type, 4)).fileName());
            QCOMPARE(user.seen.size(), 1);
        }
        DialogAnswerer user({});
        widget.onStartMotherboardUpdateReceived();
        QCOMPARE(user.seen.size(), 0);
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().at(0).toUrl().toString(), motherboard);
        QCOMPARE(requests.first().at(1).toBool(), false);
    }

    // A GQZ3 update that succeeded offers the USB3 driver next; OK starts
    // the same kind of update again from the selected row. The window stays
    // locked into that update, and only into it: every way the restarted
    // flow ends without a download or an update unlocks it.
    void usb3FollowUp_data()
    {
        QTest::addColumn<bool>("serverMode");
        // While the question is open: "switched" (the GQZ3 leaves, its USB3
        // driver comes in programming mode), "stayed", "second device",
        // "left", "left, other plugged", "motherboard" (a console motherboard
        // in its place, selected).
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QStringList>("answers"); // after OK; "file" chooses a firmware file
        QTest::addColumn<QString>("next");        // kind or text of the restarted flow's first dialog
        QTest::addColumn<bool>("waits");          // the flow waits for console channels first
        QTest::addColumn<bool>("locked");         // a download runs: the window stays locked

        const QString which =
            QStringLiteral("Do you want to update the <b>[Motherboard]</b> or the <b>[Channel(s)]</b> ?");
        const QString several = QStringLiteral("<b>There are more than one device connected.</b>");
        QTest::newRow("manual, Cypress choice cancelled")
            << false << "switched" << QStringList { "Cancel" } << "cypress" << false << false;
        QTest::newRow("manual, file dialog cancelled")
            << false << "switched" << QStringList { "GQZ3", "reject" } << "cypress" << false << false;
        QTest::newRow("manual, file refused")
            << false << "switched" << QStringList { "GQZ3", "file", "OK" } << "cypress" << false << false;
        QTest::newRow("server, Cypress choice cancelled")
            << true << "switched" << QStringList { "Cancel" } << "cypress" << false << false;
        QTest::newRow("server, download") << true << "switched" << QStringList { "GQZ3" } << "cypress" << false << true;
        QTest::newRow("server, still the GQZ3, cancelled")
            << true << "stayed" << QStringList { "Cancel" } << which << false << false;
        QTest::newRow("manual, still the GQZ3, cancelled")
            << false << "stayed" << QStringList { "Cancel" } << which << false << false;
        QTest::newRow("more than one device")
            << false << "second device" << QStringList { "OK" } << several << false << false;
        QTest::newRow("instrument left") << true << "left" << QStringList() << "" << false << false;
        QTest::newRow("instrument left, no row selected")
            << false << "left, other plugged" << QStringList() << "" << false << false;
        QTest::newRow("console channels never came")
            << false << "motherboard" << QStringList { "Channels", "Photometry", "OK" } << which << true << false;
    }

    void usb3FollowUp()
    {
        QFETCH(bool, serverMode);
        QFETCH(QString, meanwhile);
        QFETCH(QStringList, answers);
        QFETCH(QString, next);
        QFETCH(bool, waits);
        QFETCH(bool, locked);

        VEKUpdaterWidget widget(noTransports());
        Form form(&widget);
        const QString gqz3 = QStringLiteral("04D8-F57E-0102-05");
        const QString other = QStringLiteral("04D8-F57E-0103-05");
        selectDevice(widget, nsUpdater::GQZ3, QStringLiteral("GQZ3"), gqz3);
        {
            // The GQZ3's update sets the follow-up; a downloaded file puts
            // the flow in server mode (here its start is refused).
            DialogAnswerer user({ QStringLiteral("Channels"), QStringLiteral("reject"), QStringLiteral("OK") });
            widget.onUpdateDeviceManuallyClicked();
            if (serverMode)
                widget.onNetworkReplyDownloadDoneReceived(QUrl(url(12, 4)).fileName());
            QCOMPARE(user.seen.size(), serverMode ? 3 : 2);
        }
        const QString file = m_environment.filePath(QStringLiteral("Movra-FX3_V2.img"));
        QFile image(file);
        QVERIFY(image.open(QIODevice::WriteOnly));
        image.close();
        for (QString& answer : answers) {
            if (answer == QLatin1String("file"))
                answer = QStringLiteral("file:") + file;
        }

        QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        QSignalSpy requests(&widget, &VEKUpdaterWidget::sendRequestToNetwork);
        QSignalSpy messages(&widget, &VEKUpdaterWidget::sendMessageToStatusBar);
        widget.onFirmwareUpdaterResponseReceived(char(3), nsFirmware::InProgress, 99);
        QCOMPARE(lock.size(), 1);

        DialogAnswerer user(QStringList { QStringLiteral("OK") } + answers);
        user.onShown = [&](const DialogAnswerer::Seen& seen) {
            if (seen.title != QLatin1String("USB3.x Driver Update"))
                return;
            if (meanwhile != QLatin1String("stayed") && meanwhile != QLatin1String("second device"))
                widget.onDeviceConnectionStatusReceived(nsUpdater::GQZ3, QString(), gqz3, false);
            if (meanwhile == QLatin1String("switched")) {
                widget.onSetUSB3CommunicationItemStatusReceived(false);
                widget.onDeviceConnectionStatusReceived(nsUpdater::USB3Driver, QStringLiteral("Cypress FX3 USB"),
                                                        QStringLiteral("04B4-00F3-0201-05"), true);
            } else if (meanwhile == QLatin1String("second device")
                       || meanwhile == QLatin1String("left, other plugged")) {
                widget.onDeviceConnectionStatusReceived(nsUpdater::KZR410, QStringLiteral("KZR410"), other, true);
            } else if (meanwhile == QLatin1String("motherboard")) {
                widget.onSetMotherboardItemStatusReceived(false);
                widget.onDeviceConnectionStatusReceived(nsUpdater::Motherboard, QStringLiteral("Console MB"), other,
                                                        true);
                form.tree->setCurrentItem(form.typeRow(nsUpdater::Motherboard)->child(0));
            }
        };
        widget.onFirmwareUpdaterResponseReceived(char(4), nsFirmware::Success, 100);
        QCOMPARE(user.seen.size(), 1 + answers.size());
        QVERIFY(user.remaining().isEmpty());
        QCOMPARE(user.seen.first().title, QStringLiteral("USB3.x Driver Update"));
        if (!next.isEmpty())
            QVERIFY2(user.seen.at(1).kind == next || user.seen.at(1).text == next, qPrintable(user.seen.at(1).text));
        QVERIFY(!progressDialog()->isVisible());
        QCOMPARE(requests.size(), locked ? 1 : 0);

        if (waits) {
            // Locked through the wait, which ends without channels.
            QCOMPARE(lock.size(), 1);
            const QString notReceived = QStringLiteral("ERROR : Channel(s) connection wasn't received");
            QVERIFY(SignalWait([&] { return !messages.isEmpty() && messages.last().at(0).toString() == notReceived; })
                        .on(&widget, &VEKUpdaterWidget::sendMessageToStatusBar)
                        .wait(30000));
        }
        // Released once, right away, unless a download now holds the window.
        QCOMPARE(lock.size(), locked ? 1 : 2);
        QCOMPARE(lock.last().at(0).toBool(), locked);
    }

    // Declined: the success box; the window unlocks after it as after any update.
    void usb3FollowUpDeclined()
    {
        VEKUpdaterWidget widget(noTransports());
        selectDevice(widget, nsUpdater::GQZ3, QStringLiteral("GQZ3"), QStringLiteral("04D8-F57E-0102-05"));
        {
            DialogAnswerer user({ QStringLiteral("Channels"), QStringLiteral("reject") });
            widget.onUpdateDeviceManuallyClicked();
            QCOMPARE(user.seen.size(), 2);
        }
        DialogAnswerer user({ QStringLiteral("Cancel"), QStringLiteral("OK") });
        widget.onFirmwareUpdaterResponseReceived(char(4), nsFirmware::Success, 100);
        QCOMPARE(user.seen.size(), 2);
        QCOMPARE(user.seen.at(0).title, QStringLiteral("USB3.x Driver Update"));
        QCOMPARE(user.seen.at(1).text, CompletedText);
    }
};

QTEST_MAIN(TestFirmwareUpdateFlow)
#include "tst_firmwareupdateflow.moc"
