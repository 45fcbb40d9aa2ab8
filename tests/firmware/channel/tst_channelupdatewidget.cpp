#include "app/updater/DisplayTables.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "icons/IconFont.h"
#include "tests/support/CatalogueServer.h"
#include "tests/support/IntelHex.h"
#include "tests/support/MotherboardRoad.h"
#include "tests/support/UsbInstrument.h"
#include "tests/support/WidgetFixtures.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace mbroad;

namespace {
}

// A light source on the simulated USB bus updated from the Devices tab, from
// files chosen in the file dialog or from the served catalogue: its
// channels, then, when they ask for it, its motherboard.
class TestChannelUpdateWidget : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;
    CatalogueServer m_server;

    // The served catalogue: a channel firmware for light sources and the
    // motherboard addresses.
    bool checkForUpdates(Form& form)
    {
        const QString host = MovraWebHost + QLatin1Char('/');
        QJsonObject channels {
            { QStringLiteral("Version"), QJsonArray { QStringLiteral("4.2") } },
            { QStringLiteral("URLS"), QJsonArray { host + "downloads/firmwares/Movra-LS_Default_Firmware_V4.2.hex" } },
            { QStringLiteral("Filters"), QJsonArray { QStringLiteral("Movra-LS_Default_Firmware_V*.hex") } }
        };
        QJsonObject motherboards { { QStringLiteral("URLS"),
                                     QJsonArray { host + "downloads/firmwares/Movra-PQW_Firmware_V3.2.hex",
                                                  host + "downloads/firmwares/kjw.hex" } } };
        QJsonObject root { { QStringLiteral("Firmwares"), 2 },
                           { QString::number(nsUpdater::LightSource), channels },
                           { QString::number(nsUpdater::Motherboard), motherboards } };
        if (!m_server.writeFile(QStringLiteral("downloads/.updates/firmwares/firmwares_admin.json"),
                                QJsonDocument(root).toJson()))
            return false;
        form.check->click();
        return waitUntilEnabled(form.manual, 10000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_work.isValid());
        qputenv("HOME", m_work.filePath(QStringLiteral("home")).toLocal8Bit());
        qputenv("MOVRA_INSTALL_ROOT", m_work.filePath(QStringLiteral("install")).toLocal8Bit());
        QVERIFY(QDir::setCurrent(m_work.path()));
        QVERIFY(QDir().mkpath(QStandardPaths::standardLocations(QStandardPaths::DesktopLocation).value(0)));
        auto iconFont = QSharedPointer<IconFont>::create();
        iconFont->loadStyleFonts();
        QWidgetWithAccessToIconFont::setIconFontInstance(iconFont);
        QVERIFY(m_server.start(QStringLiteral(MOVRA_HTTPS_SERVER), QUrl(MovraWebHost).host()));
        // The served files hold the same images as the chosen ones.
        QVERIFY(m_server.writeFile(QStringLiteral("downloads/firmwares/Movra-LS_Default_Firmware_V4.2.hex"),
                                   IntelHex::file({ { 0u, imageBytes(1280, 51) } })));
        QVERIFY(m_server.writeFile(QStringLiteral("downloads/firmwares/Movra-PQW_Firmware_V3.2.hex"),
                                   IntelHex::file({ { 0u, imageBytes(1024, 52) } })));
    }

    void cleanupTestCase() { QWidgetWithAccessToIconFont::setIconFontInstance({}); }

    void twoStep_data()
    {
        QTest::addColumn<int>("firmwareMajor");
        QTest::addColumn<bool>("fromCatalogue");
        QTest::newRow("direct path, chosen files") << 3 << false;
        QTest::newRow("older path, chosen files") << 2 << false;
        QTest::newRow("direct path, from the catalogue") << 3 << true;
        QTest::newRow("older path, from the catalogue") << 2 << true;
    }
    void twoStep()
    {
        QFETCH(int, firmwareMajor);
        QFETCH(bool, fromCatalogue);
        auto bus = QSharedPointer<SimUsbBus>::create();
        auto board = std::make_unique<UsbMotherboard>(bus, sim::lightSourceMotherboard(quint8(firmwareMajor)), 3, 5);
        const QString desktop = QStandardPaths::standardLocations(QStandardPaths::DesktopLocation).value(0);
        const QString channelPath = writeHex(desktop + "/Movra-LS_Default_Firmware_V4.2.hex", imageBytes(1280, 51));
        const QString motherboardPath = writeHex(desktop + "/Movra-PQW_Firmware_V3.2.hex", imageBytes(1024, 52));
        {
            VEKUpdaterWidget widget(simulatedUsbTransports(bus).shared());
            Form form(&widget);
            // Shown under the type its channel version gives it.
            QTreeWidgetItem* lightSources = form.typeRow(nsUpdater::LightSource);
            QVERIFY(lightSources);
            QVERIFY(waitForDevices(form, lightSources, 1, FoundAndReadMs));
            form.tree->setCurrentItem(lightSources->child(0));
            QVERIFY(checkForUpdates(form));

            QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
            const QStringList answers =
                fromCatalogue ? QStringList { QStringLiteral("OK") }
                              : QStringList { QStringLiteral("OK"), QStringLiteral("file:") + channelPath,
                                              QStringLiteral("file:") + motherboardPath, QStringLiteral("OK") };
            DialogAnswerer user(answers);
            QVERIFY(fromCatalogue ? form.update->isEnabled() : form.manual->isEnabled());
            (fromCatalogue ? form.update : form.manual)->click();
            QVERIFY(waitForBox(user, { CompletedText }, UpdateMs + 10000));
            QCOMPARE(user.seen.size(), answers.size());
            if (!fromCatalogue) {
                // The channels first, then the motherboard, each from its file.
                QCOMPARE(user.seen.at(0).text,
                         QStringLiteral("<b>Channel(s) needs to be update before the motherboard</b>"));
                QCOMPARE(user.seen.at(1).kind, QStringLiteral("file"));
                QCOMPARE(user.seen.at(2).kind, QStringLiteral("file"));
                QCOMPARE(user.seen.at(2).title, QStringLiteral("Choose the Motherboard Firmware File (.hex)"));
                QVERIFY(QDir::match(user.seen.at(2).nameFilters, QFileInfo(motherboardPath).fileName()));
            }

            // The channels and the motherboard hold their images.
            const QByteArray channelImage = reference(channelPath);
            const QByteArray motherboardImage = reference(motherboardPath);
            sim::Motherboard& core = board->core();
            QCOMPARE(core.channelFlash(0).left(channelImage.size()).toHex(), channelImage.toHex());
            QCOMPARE(core.channelFlash(1).left(channelImage.size()).toHex(), channelImage.toHex());
            QCOMPARE(core.flashBytes().left(motherboardImage.size()).toHex(), motherboardImage.toHex());
            QCOMPARE(core.resets(), 1);
            // Closing is allowed again after the success box.
            QVERIFY(SignalWait([&] { return !lock.isEmpty() && !lock.last().at(0).toBool(); })
                        .on(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior)
                        .wait(15000));
        }
        board.reset();
        QFile::remove(channelPath);
        QFile::remove(motherboardPath);
    }
};

QTEST_MAIN(TestChannelUpdateWidget)
#include "tst_channelupdatewidget.moc"
