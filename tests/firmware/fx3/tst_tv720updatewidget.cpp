#include "app/updater/DisplayTables.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "firmware/programmer/BootCypressFX3Communicator.h"
#include "tests/firmware/fx3/UsbTv720.h"
#include "tests/support/CatalogueServer.h"
#include "tests/support/McsFixture.h"
#include "tests/support/ProgrammerScripts.h"
#include "tests/support/SignalWait.h"
#include "tests/support/UsbInstrument.h"
#include "tests/support/WidgetFixtures.h"
#include "tests/support/WidgetTestEnvironment.h"

#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>

namespace {

const QString FollowUpTitle = QStringLiteral("USB3.x Driver Update");
const QString RemovedStatus = QStringLiteral("Movra device removed");
const QString Tv720File = QStringLiteral("Movra-TV720_Firmware_V9.9.mcs");
const QString Tv720Image = QStringLiteral("Movra-TV720_USB3_Firmware_V9.9.img");

// First poll, the version wait (10 s for a TV720) and some room.
constexpr int Tv720FoundMs = 1500 + 10000 + 6500;
constexpr int ChipFoundMs = 1500 + 3000 + 5500;
// The TV720's programming, its follow-up and the two programmer stages
// with the 6 s re-find between them.
constexpr int UpdateMs = 60000;

QString served(const QString& name)
{
    return MovraWebHost + QLatin1Char('/') + ServedFolder + name;
}

QJsonObject entry(const QStringList& urls, const QStringList& filters)
{
    return { { QStringLiteral("Version"), QJsonArray { QStringLiteral("9.9") } },
             { QStringLiteral("URLS"), QJsonArray::fromStringList(urls) },
             { QStringLiteral("Filters"), QJsonArray::fromStringList(filters) } };
}

// The FX3 chip of the console as it enumerates: in boot mode, or running
// the boot programmer that the RAM stage loaded.
SimUsbDeviceSetup fx3Chip(quint16 productId, quint8 address)
{
    SimUsbDeviceSetup chip;
    chip.vendorId = 0x04B4;
    chip.productId = productId;
    chip.port = 4;
    chip.address = address;
    chip.product = QStringLiteral("WestBridge");
    chip.serial = QString();
    return chip;
}

// Runs the event loop until the user has answered a box that ends the
// flow (success or failure), or the time is up; no polling.
bool waitForResultBox(DialogAnswerer& user, int timeoutMs)
{
    QEventLoop loop;
    bool ended = false;
    const auto previous = user.onShown;
    user.onShown = [&](const DialogAnswerer::Seen& seen) {
        if (previous)
            previous(seen);
        if (seen.text == CompletedText || seen.text == FailedText) {
            ended = true;
            QTimer::singleShot(0, &loop, &QEventLoop::quit);
        }
    };
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    user.onShown = previous;
    return ended;
}

} // namespace

// A TV720 console updated from the Devices tab over the simulated USB bus:
// its MCS file from the served catalogue, programmed into the FX3 bridge
// through the vendor control transfers; then the USB 3 follow-up: the
// console comes back as the FX3 chip in boot mode, whose row is selected
// while the question is open, and OK updates it with the TV720's image
// through the external programmer's two stages (real child processes).
class TestTv720UpdateWidget : public QObject
{
    Q_OBJECT

    WidgetTestEnvironment m_environment;
    CatalogueServer m_server;
    QByteArray m_reference;

    bool checkForUpdates(Form& form)
    {
        const QJsonObject root {
            { QStringLiteral("Firmwares"), 2 },
            { QString::number(nsUpdater::TV720),
              entry({ served(Tv720File) }, { QStringLiteral("Movra-TV720_Firmware_V*.mcs") }) },
            { QString::number(nsUpdater::USB3Driver),
              entry({ served(QStringLiteral("Movra-GQZ3_USB3_Firmware_V9.9.img")),
                      served(QStringLiteral("Movra-GQZ3KAVOR_USB3_Firmware_V9.9.img")), served(Tv720Image) },
                    { QStringLiteral("*GQZ3_USB3*.img"), QStringLiteral("*KAVOR_USB3*.img"),
                      QStringLiteral("*TV720_USB3*.img") }) },
        };
        if (!m_server.writeFile(QStringLiteral("downloads/.updates/firmwares/firmwares_admin.json"),
                                QJsonDocument(root).toJson()))
            return false;
        SignalWait offered([&] { return form.update->isEnabled(); });
        offered.onEvent(form.update, QEvent::EnabledChange);
        form.check->click();
        return offered.wait(10000);
    }

    static QTreeWidgetItem* waitForRow(Form& form, int type)
    {
        QTreeWidgetItem* typeRow = form.typeRow(type);
        if (!typeRow)
            return nullptr;
        SignalWait shown([&] { return typeRow->childCount() == 1; });
        shown.on(form.tree->model(), &QAbstractItemModel::rowsInserted);
        return shown.wait(Tv720FoundMs) ? typeRow->child(0) : nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_environment.setUp());
        McsFixture fixture;
        // A little over one 64 KiB sector: two sectors erased.
        switch (fixture.make(m_environment.path(), 0x10000 + 16 * 40, 17)) {
        case McsFixture::Outcome::ToolsMissing: QSKIP("srec_cat and objcopy make and check the MCS fixture");
        case McsFixture::Outcome::Failed: QFAIL(qPrintable(fixture.error));
        case McsFixture::Outcome::Made: break;
        }
        m_reference = fixture.reference;
        QFile mcs(fixture.path);
        QVERIFY(mcs.open(QIODevice::ReadOnly));
        QVERIFY(m_server.start(QStringLiteral(MOVRA_HTTPS_SERVER), QUrl(MovraWebHost).host()));
        QVERIFY(m_server.writeFile(ServedFolder + Tv720File, mcs.readAll()));
        QVERIFY(m_server.writeFile(ServedFolder + Tv720Image, QByteArray("FX3 image of the TV720\n")));
    }

    void updated_data()
    {
        QTest::addColumn<bool>("stuckByte");
        QTest::newRow("updated, then its USB 3 driver") << false;
        QTest::newRow("bridge's CRC mismatch") << true;
    }

    void updated()
    {
        QFETCH(bool, stuckByte);
        const QString program = QLatin1String(BootCypressFX3Communicator::Program);
        QVERIFY(ProgrammerScripts::install(QDir::currentPath(), program, ProgrammerScripts::Behaviour::Succeeds));
        auto bus = QSharedPointer<SimUsbBus>::create();
        auto console = std::make_unique<UsbTv720>(bus, char(7), char(2));
        if (stuckByte) {
            const char wrong = char(~m_reference.at(0x10000 + 5));
            console->with([&](sim::Fx3Bridge& b) {
                b.setStuckByte(0x10000 + 5, wrong);
                return 0;
            });
        }
        QByteArray consoleFlash;
        QSharedPointer<SimUsbDevice> chip;
        {
            VEKUpdaterWidget widget(simulatedUsbTransports(bus).shared());
            Form form(&widget);
            QTreeWidgetItem* row = waitForRow(form, nsUpdater::TV720);
            QVERIFY(row);
            form.tree->setCurrentItem(row);
            SignalWait versionShown([&] { return form.motherboard->toPlainText().contains(QLatin1String("7.2")); });
            versionShown.on(form.motherboard, &QTextBrowser::textChanged);
            QVERIFY(versionShown.wait(10000));
            QVERIFY(checkForUpdates(form));

            QTreeWidgetItem* usb3Type = form.typeRow(nsUpdater::USB3Driver);
            QVERIFY(usb3Type);
            QStringList answers { QStringLiteral("OK") };
            if (!stuckByte)
                answers << QStringLiteral("TV720") << QStringLiteral("OK");
            DialogAnswerer user(answers);
            bool chipSelected = false;
            bool chipReplaced = false;
            QMetaObject::Connection replug;
            user.onShown = [&](const DialogAnswerer::Seen& seen) {
                if (seen.title != FollowUpTitle)
                    return;
                // The user turns the console off, sets it to programming mode
                // and on again: the TV720 leaves (no jump was sent; its
                // success came from its bridge's CRC over its own flash) and
                // its FX3 chip comes back in boot mode.
                consoleFlash = console->with([](sim::Fx3Bridge& b) { return b.flash(); });
                console.reset();
                SignalWait selected(
                    [&] { return form.tree->currentItem() && form.tree->currentItem()->parent() == usb3Type; });
                selected.on(form.tree, &QTreeWidget::currentItemChanged);
                chip = bus->plug(fx3Chip(0x00F3, 10));
                chipSelected = selected.wait(ChipFoundMs);
                // Once the RAM stage has loaded the boot programmer, the list
                // of devices is cleared and the chip comes back running it.
                replug = connect(&widget, &VEKUpdaterWidget::sendMessageToStatusBar, &widget, [&](const QString& text) {
                    if (text != RemovedStatus || chipReplaced
                        || ProgrammerScripts::runs(QDir::currentPath(), program).isEmpty())
                        return;
                    chipReplaced = true;
                    bus->unplug(chip);
                    chip = bus->plug(fx3Chip(0x4720, 11));
                });
            };
            form.update->click();
            QVERIFY(waitForResultBox(user, UpdateMs));
            disconnect(replug);

            QCOMPARE(user.remaining(), QStringList());
            const DialogAnswerer::Seen& result = user.seen.last();
            if (stuckByte) {
                QCOMPARE(user.seen.size(), 1);
                QCOMPARE(result.text, FailedText);
                QVERIFY2(result.informative.contains(QStringLiteral("CRC verification failed")),
                         qPrintable(result.informative));
                consoleFlash = console->with([](sim::Fx3Bridge& b) { return b.flash(); });
                QVERIFY(!console->with([](sim::Fx3Bridge& b) { return b.jumped(); }));
                QVERIFY(consoleFlash.left(m_reference.size()) != m_reference);
                QVERIFY(ProgrammerScripts::runs(QDir::currentPath(), program).isEmpty());
            } else {
                QCOMPARE(user.seen.size(), 3);
                QCOMPARE(user.seen.at(0).title, FollowUpTitle);
                QCOMPARE(user.seen.at(0).text,
                         QStringLiteral("<b>Do you want to update the USB3.x Driver as well ?</b>"));
                QVERIFY(chipSelected);
                QCOMPARE(user.seen.at(1).kind, QStringLiteral("cypress"));
                QCOMPARE(result.text, CompletedText);
                QCOMPARE(consoleFlash.left(m_reference.size()).toHex(), m_reference.toHex());
                QVERIFY(chipReplaced);
                const QString bootProgrammer =
                    QDir::currentPath() + QLatin1String(BootCypressFX3Communicator::BootProgrammerImage);
                const QString downloaded = QDir::homePath() + QStringLiteral("/downloads/") + Tv720Image;
                QCOMPARE(
                    ProgrammerScripts::runs(QDir::currentPath(), program),
                    (QList<QStringList> { { "-i", bootProgrammer, "-t", "RAM" }, { "-i", downloaded, "-t", "I2C" } }));
            }
        }
        if (chip)
            bus->unplug(chip);
        console.reset();
        QCOMPARE(bus->errors(), QStringList());
    }
};

QTEST_MAIN(TestTv720UpdateWidget)
#include "tst_tv720updatewidget.moc"
