#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/updater/DisplayTables.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "tests/support/CatalogueServer.h"
#include "tests/support/RoadSupport.h"
#include "tests/support/WidgetFixtures.h"
#include "tests/support/WidgetTestEnvironment.h"

#include <QtTest>

#include <QJsonArray>
#include <QJsonObject>
#include <QProgressBar>
#include <QStandardPaths>

#include <memory>

namespace {

const QString FirmwareName = QStringLiteral("Movra-HLX58_Firmware_V2.6.hex");
const QString FirmwarePath = ServedFolder + FirmwareName;
// The same image with the first record's checksum one off.
const QString DamagedName = QStringLiteral("Movra-HLX58_Firmware_V2.9.hex");

QByteArray damagedFirmware()
{
    QByteArray content = IntelHex::file(road::imageOf(QStringLiteral("HLX58")));
    const int last = content.indexOf("\r\n") - 1;
    content[last] = content.at(last) == '0' ? '1' : '0';
    return content;
}

// What the progress dialog showed while the update ran.
struct ProgressWatch : QObject
{
    ProgressWatch()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            ProgressDialog* dialog = progressDialog();
            if (!dialog || !dialog->isVisible())
                return;
            const QString headline = dialog->findChild<QLabel*>(QStringLiteral("lb_updating"))->text();
            if (!headlines.contains(headline))
                headlines.append(headline);
            auto* bar = dialog->findChild<QProgressBar*>(QStringLiteral("progressBar"));
            if (bar->maximum() == 100)
                highestValue = qMax(highestValue, bar->value());
            details += dialog->findChild<QTextBrowser*>(QStringLiteral("textBrowser"))->toPlainText();
        });
        timer.start(5);
    }
    QTimer timer;
    QStringList headlines;
    int highestValue = -1;
    QString details;
};

} // namespace

// A rotary joint on the simulated USB bus, updated from the Devices tab as
// a user would: from the catalogue's file on the local HTTPS server, or
// from a file chosen in the file dialog; and stopped with Force Exit.
class TestFirmwareUpdateE2e : public QObject
{
    Q_OBJECT

private:
    WidgetTestEnvironment m_environment;
    CatalogueServer m_server;

    static QTreeWidgetItem* waitForJoint(Form& form)
    {
        QTreeWidgetItem* joints = form.typeRow(nsUpdater::AssistedRotaryJoint);
        if (!waitForDevices(form, joints, 1, road::FoundAndReadMs))
            return nullptr;
        return joints->child(0);
    }

    // The served catalogue offers the joint a newer firmware.
    bool checkForUpdates(VEKUpdaterWidget& widget, const QString& servedName = FirmwareName)
    {
        QJsonObject entry {
            { QStringLiteral("Version"), QJsonArray { QStringLiteral("2.6") } },
            { QStringLiteral("URLS"), QJsonArray { MovraWebHost + QLatin1Char('/') + ServedFolder + servedName } },
            { QStringLiteral("Filters"), QJsonArray { QStringLiteral("Movra-HLX58_Firmware_V*.hex") } }
        };
        QJsonObject root { { QStringLiteral("Firmwares"), 1 }, { QStringLiteral("0"), entry } };
        if (!m_server.writeFile(QStringLiteral("downloads/.updates/firmwares/firmwares_admin.json"),
                                QJsonDocument(root).toJson()))
            return false;
        Form form(&widget);
        form.check->click();
        // The catalogue's versions reach the tree and the buttons.
        return SignalWait([&] {
                   return widget.informationHandler()->getFirmwareInformationList(0).first().motherboardAvailableVersion
                          == QLatin1String("2.6");
               })
            .on(form.tree->model(), &QAbstractItemModel::dataChanged)
            .onEvent(form.update, QEvent::EnabledChange)
            .onEvent(form.manual, QEvent::EnabledChange)
            .wait(10000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_environment.setUp());
        QVERIFY(m_environment.makeDesktopFolder());
        QVERIFY(m_server.start(QStringLiteral(MOVRA_HTTPS_SERVER), QUrl(MovraWebHost).host()));
        QVERIFY(m_server.writeFile(FirmwarePath, IntelHex::file(road::imageOf(QStringLiteral("HLX58")))));
        QVERIFY(m_server.writeFile(ServedFolder + DamagedName, damagedFirmware()));
    }

    void update_data()
    {
        QTest::addColumn<bool>("fromCatalogue");
        QTest::newRow("from the catalogue") << true;
        QTest::newRow("from a chosen file") << false;
    }

    void update()
    {
        QFETCH(bool, fromCatalogue);
        auto bus = QSharedPointer<SimUsbBus>::create();
        auto joint = std::make_unique<UsbInstrument>(bus, road::profileOf(QStringLiteral("HLX58")), 2, 5);
        {
            VEKUpdaterWidget widget(simulatedUsbTransports(bus).shared());
            Form form(&widget);
            QTreeWidgetItem* row = waitForJoint(form);
            QVERIFY(row);
            const QString before = joint->uid();
            QVERIFY(checkForUpdates(widget));
            form.tree->setCurrentItem(row);

            // A file whose name the dialog's filters admit, on the desktop.
            const QString chosen = QStandardPaths::standardLocations(QStandardPaths::DesktopLocation).value(0)
                                   + QLatin1Char('/') + FirmwareName;
            if (!fromCatalogue)
                QVERIFY(!road::writeFile(chosen, road::imageOf("HLX58")).isEmpty());

            QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
            ProgressWatch watch;
            bool lockedAtSuccess = false;
            DialogAnswerer user(fromCatalogue ? QStringList { QStringLiteral("OK") }
                                              : QStringList { QStringLiteral("file:") + chosen, QStringLiteral("OK") });
            user.onShown = [&](const DialogAnswerer::Seen& seen) {
                if (seen.text == CompletedText)
                    lockedAtSuccess = !lock.isEmpty() && lock.last().at(0).toBool();
            };
            // The download is quick: what the dialog says is read when it is asked for.
            QString downloadHeadline;
            QString downloadDetails;
            connect(&widget, &VEKUpdaterWidget::sendRequestToNetwork, &watch, [&](QUrl, bool isJson) {
                if (isJson || !progressDialog())
                    return;
                downloadHeadline = progressDialog()->findChild<QLabel*>(QStringLiteral("lb_updating"))->text();
                downloadDetails =
                    progressDialog()->findChild<QTextBrowser*>(QStringLiteral("textBrowser"))->toPlainText();
            });
            QElapsedTimer clock;
            QVERIFY(fromCatalogue ? form.update->isEnabled() : form.manual->isEnabled());
            (fromCatalogue ? form.update : form.manual)->click();
            QVERIFY(waitForBox(user, { CompletedText }, road::UpdateMs + 10000));
            clock.start();
            if (!fromCatalogue) {
                QCOMPARE(user.seen.first().kind, QStringLiteral("file"));
                QCOMPARE(user.seen.first().nameFilters, QStringList { QStringLiteral("Movra-HLX58_Firmware_V*.hex") });
                QVERIFY(QDir::match(user.seen.first().nameFilters, FirmwareName));
            }
            QCOMPARE(user.seen.size(), fromCatalogue ? 1 : 2);

            // Progress lines and bar, the close lock held until the box.
            if (fromCatalogue) {
                QCOMPARE(downloadHeadline, QStringLiteral("<b>Downloading</b> [%1]").arg(FirmwareName));
                QVERIFY(downloadDetails.contains(QStringLiteral("Currently downloading from :")));
                QVERIFY(downloadDetails.contains(MovraWebHost + QLatin1Char('/') + FirmwarePath));
            }
            QVERIFY2(watch.headlines.contains(QStringLiteral("<b>Erasing Firmware</b>")),
                     qPrintable(watch.headlines.join(QLatin1Char('|'))));
            QVERIFY(watch.headlines.contains(QStringLiteral("<b>Updating Firmware</b> [%1]").arg(FirmwareName)));
            QVERIFY(watch.details.contains(QStringLiteral("Erasing the old hex file... [Done]")));
            QVERIFY2(watch.highestValue >= 90, qPrintable(QString::number(watch.highestValue)));
            QVERIFY(lockedAtSuccess);

            // Free 5000 ms after the box was closed.
            QVERIFY(SignalWait([&] { return !lock.last().at(0).toBool(); })
                        .on(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior)
                        .wait(15000));
            QVERIFY2(clock.elapsed() >= 4800, qPrintable(QString::number(clock.elapsed())));

            // Back in its application, found and read again at its new address.
            sim::Instrument& core = joint->core();
            QVERIFY(joint->waitUntil([&] { return core.jumped(); }, StepWait::OnItsWayMs));
            QCOMPARE(core.eraseCount(), 1);
            QCOMPARE(core.badFrames(), 0);
            QVERIFY(joint->waitUntil([&] { return joint->uid() != before; }, StepWait::OnItsWayMs));
            QVERIFY(SignalWait([&] {
                        return form.typeRow(0)->childCount() == 1
                               && widget.informationHandler()->getFirmwareInformationList(0).first().uid == joint->uid()
                               && widget.informationHandler()
                                          ->getFirmwareInformationList(0)
                                          .first()
                                          .motherboardInstalledVersion
                                      == QLatin1String("2.5");
                    })
                        .on(form.tree->model(), &QAbstractItemModel::rowsInserted)
                        .on(form.tree->model(), &QAbstractItemModel::dataChanged)
                        .wait(road::FoundAndReadMs));
            // A download is the program's own and goes; a chosen file stays.
            QCOMPARE(QFile::exists(QDir::homePath() + QStringLiteral("/downloads/") + FirmwareName), false);
            QCOMPARE(QFile::exists(chosen), !fromCatalogue);
            QFile::remove(chosen);
        }
        joint.reset();
    }

    // A damaged file, downloaded or chosen, is refused before anything is
    // sent, with the reader's reason in the box; a download is the
    // program's own and does not stay behind, a chosen file does.
    void damagedFileRefused_data()
    {
        QTest::addColumn<bool>("fromCatalogue");
        QTest::newRow("from the catalogue") << true;
        QTest::newRow("from a chosen file") << false;
    }

    void damagedFileRefused()
    {
        QFETCH(bool, fromCatalogue);
        auto bus = QSharedPointer<SimUsbBus>::create();
        auto joint = std::make_unique<UsbInstrument>(bus, road::profileOf(QStringLiteral("HLX58")), 2, 5);
        const QString downloaded = QDir::homePath() + QStringLiteral("/downloads/") + DamagedName;
        const QString chosen = QStandardPaths::standardLocations(QStandardPaths::DesktopLocation).value(0)
                               + QLatin1Char('/') + DamagedName;
        if (!fromCatalogue) {
            QFile file(chosen);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(damagedFirmware());
        }
        {
            VEKUpdaterWidget widget(simulatedUsbTransports(bus).shared());
            Form form(&widget);
            QTreeWidgetItem* row = waitForJoint(form);
            QVERIFY(row);
            QVERIFY(checkForUpdates(widget, DamagedName));
            form.tree->setCurrentItem(row);
            QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
            const QString path = fromCatalogue ? downloaded : chosen;
            const QString refused =
                QStringLiteral("<b>Downloaded/Selected file doesn't seem to be accessible [%1].</b>").arg(path);
            DialogAnswerer user(fromCatalogue ? QStringList { QStringLiteral("OK") }
                                              : QStringList { QStringLiteral("file:") + chosen, QStringLiteral("OK") });
            (fromCatalogue ? form.update : form.manual)->click();
            QVERIFY(waitForBox(user, { refused }, 10000));
            QCOMPARE(user.seen.size(), fromCatalogue ? 1 : 2);
            QVERIFY2(user.seen.last().informative.endsWith(
                         QStringLiteral("\n\nError information : Line 1: bad record checksum")),
                     qPrintable(user.seen.last().informative));
            QCOMPARE(QFile::exists(downloaded), false);
            QCOMPARE(QFile::exists(chosen), !fromCatalogue);
            // Nothing runs that would hold the window open.
            QVERIFY(lock.isEmpty() || !lock.last().at(0).toBool());
            QCOMPARE(joint->enumerations(), 1);
        }
        QFile::remove(chosen);
        joint.reset();
    }

    // A file that cannot be read is refused before anything is sent; Force
    // Exit in the middle of programming stops the update for good before
    // closing is allowed again.
    void refusedFileAndForceExit()
    {
        auto bus = QSharedPointer<SimUsbBus>::create();
        auto joint = std::make_unique<UsbInstrument>(bus, road::profileOf(QStringLiteral("HLX58")), 2, 5);
        {
            VEKUpdaterWidget widget(simulatedUsbTransports(bus).shared());
            Form form(&widget);
            QTreeWidgetItem* row = waitForJoint(form);
            QVERIFY(row);
            QVERIFY(checkForUpdates(widget));
            form.tree->setCurrentItem(row);
            QVERIFY(form.manual->isEnabled());
            QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);

            const QString missing = m_environment.filePath(QStringLiteral("Movra-HLX58_Firmware_V2.8.hex"));
            {
                DialogAnswerer user({ QStringLiteral("file:") + missing, QStringLiteral("OK") });
                form.manual->click();
                QCOMPARE(user.seen.size(), 2);
                QCOMPARE(
                    user.seen.at(1).text,
                    QStringLiteral("<b>Downloaded/Selected file doesn't seem to be accessible [%1].</b>").arg(missing));
                QCOMPARE(lock.size(), 0);
            }

            // Programming stalls after packet 10: the updater would re-send
            // every 5000 ms.
            joint->core().dropProgrammingAcks(10, 100000);
            const QString path = m_environment.filePath(QStringLiteral("Movra-HLX58_Firmware_V2.7.hex"));
            QVERIFY(!road::writeFile(path, road::imageOf("HLX58")).isEmpty());
            DialogAnswerer user({ QStringLiteral("file:") + path });
            form.manual->click();
            QVERIFY(joint->waitUntil([&] { return joint->core().programmingPackets() >= 10; }, road::UpdateMs));
            ProgressDialog* dialog = progressDialog();
            QVERIFY(dialog && dialog->isVisible());
            QVERIFY(lock.last().at(0).toBool());
            dialog->findChild<QPushButton*>(QStringLiteral("pb_forceExit"))->click();
            QCOMPARE(lock.last().at(0).toBool(), false);
            const int sent = joint->core().programmingPackets();
            const int locks = lock.size();
            // Past the re-send interval: nothing more reached the device.
            QVERIFY(!joint->waitUntil([&] { return joint->core().programmingPackets() > sent; }, 6000));
            QCOMPARE(joint->core().programmingPackets(), sent);
            QCOMPARE(lock.size(), locks);
            QVERIFY(!dialog->isVisible());
            QCOMPARE(user.seen.size(), 1);
        }
        joint.reset();
    }
};

QTEST_MAIN(TestFirmwareUpdateE2e)
#include "tst_firmwareupdatee2e.moc"
