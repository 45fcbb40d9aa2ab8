#include "app/updater/DisplayTables.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "firmware/core/ReplyDeadline.h"
#include "tests/firmware/fpga/UsbConsoleServicePort.h"
#include "tests/firmware/fpga/UsbFpgaBoard.h"
#include "tests/support/CatalogueServer.h"
#include "tests/support/McsFixture.h"
#include "tests/support/UsbInstrument.h"
#include "tests/support/UsbMotherboard.h"
#include "tests/support/WidgetFixtures.h"
#include "tests/support/WidgetTestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

const QString PortChangeTitle = QStringLiteral("Acquisition Console Update");
const QString ConsoleFile = QStringLiteral("TRZ_Channels_Firmware_V1.5.mcs");
const QString TwoColourFile = QStringLiteral("Movra-Microscope2_Firmware_V3.1.mcs");
const QString OneColourFile = QStringLiteral("MovraMicroscopeDriver_V2.8.mcs");

// First poll, version burst and some room.
constexpr int FoundAndReadMs = 1500 + 3000 + 2500;
// The 5 s wait for the channels, the 3 s pause and the whole programming.
constexpr int UpdateMs = 90000;

QString served(const QString& name)
{
    return MovraWebHost + QLatin1Char('/') + ServedFolder + name;
}

QJsonObject entry(const QStringList& urls, const QStringList& filters = {})
{
    return { { QStringLiteral("Version"), QJsonArray { QStringLiteral("9.9") } },
             { QStringLiteral("URLS"), QJsonArray::fromStringList(urls) },
             { QStringLiteral("Filters"), QJsonArray::fromStringList(filters) } };
}

} // namespace

// The FPGA boards updated from the Devices tab over the simulated USB bus:
// a console's channels through the service-port flow (the box asking to
// move the cable, the console back on its service port with its channel
// boards, the channel update and its result box), and the two microscope
// drivers, from the served catalogue or from a file chosen in the file
// dialog. Each board's flash is compared with the MCS image over the range
// the program reported to it.
class TestFpgaUpdateWidget : public QObject
{
    Q_OBJECT

    WidgetTestEnvironment m_environment;
    CatalogueServer m_server;
    QString m_mcs;
    QByteArray m_reference;

    bool checkForUpdates(Form& form)
    {
        const QJsonObject root {
            { QStringLiteral("Firmwares"), 2 },
            { QString::number(nsUpdater::FiberPhotometryConsole),
              entry({ served(QStringLiteral("Movra-KJW_Firmware_V9.9.hex")), served(ConsoleFile) },
                    { QStringLiteral("Movra-KJW_Firmware_V*.hex"), QStringLiteral("TRZ*.mcs") }) },
            { QString::number(nsUpdater::GQZ2),
              entry({ served(TwoColourFile) }, { QStringLiteral("Movra-Microscope2_Firmware_V*.mcs") }) },
        };
        if (!m_server.writeFile(QStringLiteral("downloads/.updates/firmwares/firmwares_admin.json"),
                                QJsonDocument(root).toJson()))
            return false;
        form.check->click();
        return waitUntilEnabled(form.manual, 10000);
    }

    static QTreeWidgetItem* waitForRow(Form& form, int type)
    {
        QTreeWidgetItem* typeRow = form.typeRow(type);
        if (!typeRow || !waitForDevices(form, typeRow, 1, FoundAndReadMs))
            return nullptr;
        return typeRow->child(0);
    }

    // A chosen file on the desktop, where the file dialog starts.
    QString chosenFile(const QString& name) const
    {
        const QString path =
            QStandardPaths::standardLocations(QStandardPaths::DesktopLocation).value(0) + QLatin1Char('/') + name;
        QFile::remove(path);
        return QFile::copy(m_mcs, path) ? path : QString();
    }

    // The flash over the range the program reported equals the image there.
    bool flashMatches(const QByteArray& flash, QPair<quint32, quint32> range) const
    {
        return range == qMakePair(0u, quint32(m_reference.size()))
               && flash.mid(int(range.first), int(range.second)) == m_reference;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_environment.setUp());
        QVERIFY(m_environment.makeDesktopFolder());
        McsFixture fixture;
        // Two 64 KiB sectors' worth of records and a part of a third.
        switch (fixture.make(m_environment.path(), 2 * sim::FpgaBoard::SectorSize + 777, 1612)) {
        case McsFixture::Outcome::ToolsMissing: QSKIP("srec_cat and objcopy make and check the MCS fixture");
        case McsFixture::Outcome::Failed: QFAIL(qPrintable(fixture.error));
        case McsFixture::Outcome::Made: break;
        }
        m_mcs = fixture.path;
        m_reference = fixture.reference;
        QFile mcs(m_mcs);
        QVERIFY(mcs.open(QIODevice::ReadOnly));
        const QByteArray content = mcs.readAll();
        QVERIFY(m_server.start(QStringLiteral(MOVRA_HTTPS_SERVER), QUrl(MovraWebHost).host()));
        QVERIFY(m_server.writeFile(ServedFolder + ConsoleFile, content));
        QVERIFY(m_server.writeFile(ServedFolder + TwoColourFile, content));
        // The microscopes' reply time-out, shortened for the silent board.
        ReplyDeadline::setInitialTimeout(5000);
    }

    void cleanupTestCase() { ReplyDeadline::setInitialTimeout(0); }

    // The console on its main port reads as a photometry console; the user
    // asks for its channels, is told to move the cable, and the console
    // comes back on its service port with two channel boards, which are
    // then programmed.
    void consoleChannels_data()
    {
        QTest::addColumn<bool>("fromCatalogue");
        QTest::addColumn<bool>("stuckByte");
        QTest::newRow("from the catalogue") << true << false;
        QTest::newRow("from a chosen file") << false << false;
        QTest::newRow("second board's CRC mismatch") << true << true;
    }

    void consoleChannels()
    {
        QFETCH(bool, fromCatalogue);
        QFETCH(bool, stuckByte);
        auto bus = QSharedPointer<SimUsbBus>::create();
        auto console = std::make_unique<UsbMotherboard>(bus, sim::consoleMotherboard(0), 1, 2);
        std::unique_ptr<UsbConsoleServicePort> servicePort;
        const QString chosen = fromCatalogue ? QString() : chosenFile(ConsoleFile);
        {
            VEKUpdaterWidget widget(simulatedUsbTransports(bus).shared());
            Form form(&widget);
            QTreeWidgetItem* row = waitForRow(form, nsUpdater::FiberPhotometryConsole);
            QVERIFY(row);
            form.tree->setCurrentItem(row);
            QVERIFY(checkForUpdates(form));
            QVERIFY(fromCatalogue ? form.update->isEnabled() : form.manual->isEnabled());

            QSignalSpy status(&widget, &VEKUpdaterWidget::sendMessageToStatusBar);
            QStringList answers { QStringLiteral("Channels"), QStringLiteral("OK") };
            if (!fromCatalogue)
                answers << QStringLiteral("file:") + chosen;
            answers << QStringLiteral("OK");
            DialogAnswerer user(answers);
            bool spokenToBeforeOk = false;
            user.onShown = [&](const DialogAnswerer::Seen& seen) {
                if (seen.title != PortChangeTitle)
                    return;
                // The user moves the cable before pressing OK: the console
                // leaves its main port and answers on its service port.
                console.reset();
                sim::ConsoleServicePortProfile profile;
                servicePort = std::make_unique<UsbConsoleServicePort>(bus, profile, 1, 3);
                if (stuckByte)
                    servicePort->core().change(1, [](sim::FpgaBoard& b) { b.setStuckByte(0x10020, 0x00); });
                spokenToBeforeOk =
                    servicePort->waitUntil([&] { return servicePort->core().packets() > 0; }, FoundAndReadMs);
            };
            (fromCatalogue ? form.update : form.manual)->click();
            QVERIFY(waitForBox(user, { CompletedText, FailedText }, UpdateMs));
            QVERIFY(spokenToBeforeOk);
            QCOMPARE(user.seen.size(), answers.size());
            QCOMPARE(user.seen.at(0).text,
                     QStringLiteral("Do you want to update the <b>[Motherboard]</b> or the <b>[Channel(s)]</b> ?"));
            QCOMPARE(user.seen.at(1).title, PortChangeTitle);
            QCOMPARE(user.seen.at(1).text, QStringLiteral("<b>Change USB connection port</b>"));
            if (!fromCatalogue) {
                // The type's last filter.
                QCOMPARE(user.seen.at(2).kind, QStringLiteral("file"));
                QCOMPARE(user.seen.at(2).nameFilters, QStringList { QStringLiteral("TRZ*.mcs") });
            }
            // The updater dropped the channels' first report and cleared its
            // flag: the widget saw the channels come back.
            QStringList messages;
            for (const QList<QVariant>& message : status)
                messages << message.at(0).toString();
            QVERIFY2(messages.contains(QStringLiteral("Waiting for the channel(s) connection ...")),
                     qPrintable(messages.join(QLatin1Char('|'))));
            QVERIFY2(messages.contains(QStringLiteral("SUCCESS : Channel(s) connection was received")),
                     qPrintable(messages.join(QLatin1Char('|'))));
            QVERIFY(!messages.contains(QStringLiteral("ERROR : Channel(s) connection wasn't received")));

            const DialogAnswerer::Seen& result = user.seen.last();
            QVERIFY(servicePort);
            const sim::ConsoleServicePortCore& core = servicePort->core();
            if (stuckByte) {
                QCOMPARE(result.text, FailedText);
                QVERIFY(result.informative.contains(QStringLiteral("CRC verification failed")));
                QVERIFY(!core.jumped(0));
                QVERIFY(!core.jumped(1));
            } else {
                QCOMPARE(result.text, CompletedText);
                for (int board = 0; board < core.boards(); ++board) {
                    QVERIFY(servicePort->waitUntil([&] { return core.jumped(board); }, 5000));
                    QVERIFY2(flashMatches(core.flash(board), core.crcRange(board)), qPrintable(QString::number(board)));
                }
            }
        }
        servicePort.reset();
        if (!chosen.isEmpty())
            QFile::remove(chosen);
    }

    // A microscope driver in its bootloader: the two-colour one from the
    // served catalogue or a chosen file, the one-colour one (shown as a
    // channel board, whose catalogue entry carries no version, so only the
    // manual update is offered) from a chosen file; and a two-colour board
    // that stops answering ends as an error after the reply time-out.
    void microscope_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("fromCatalogue");
        QTest::addColumn<bool>("silent");
        const int two = int(sim::FpgaBoard::Kind::TwoColorMicroscope);
        const int one = int(sim::FpgaBoard::Kind::OneColorMicroscope);
        QTest::newRow("two-colour from the catalogue") << two << true << false;
        QTest::newRow("two-colour from a chosen file") << two << false << false;
        QTest::newRow("one-colour from a chosen file") << one << false << false;
        QTest::newRow("two-colour stops answering") << two << true << true;
        QTest::newRow("one-colour stops answering") << one << false << true;
    }

    void microscope()
    {
        QFETCH(int, kind);
        QFETCH(bool, fromCatalogue);
        QFETCH(bool, silent);
        const bool twoColour = sim::FpgaBoard::Kind(kind) == sim::FpgaBoard::Kind::TwoColorMicroscope;
        auto bus = QSharedPointer<SimUsbBus>::create();
        sim::FpgaBoardProfile profile;
        profile.kind = sim::FpgaBoard::Kind(kind);
        profile.sectors = 4;
        profile.identity.productId = 0xF676;
        profile.identity.release = 2;
        profile.identity.product = QStringLiteral("Movra Bootloader");
        profile.identity.serial = twoColour ? QStringLiteral("Microscope2") : QStringLiteral("Microscope");
        auto board = std::make_unique<UsbFpgaBoard>(bus, profile, 2, 4);
        if (silent)
            board->core().change([](sim::FpgaBoard& b) { b.stopAnsweringAfter(20); });
        const QString chosen = fromCatalogue ? QString() : chosenFile(twoColour ? TwoColourFile : OneColourFile);
        {
            VEKUpdaterWidget widget(simulatedUsbTransports(bus).shared());
            Form form(&widget);
            QTreeWidgetItem* row = waitForRow(form, twoColour ? nsUpdater::GQZ2 : nsUpdater::Channels);
            QVERIFY(row);
            form.tree->setCurrentItem(row);
            QVERIFY(checkForUpdates(form));
            if (!twoColour)
                QVERIFY(!form.update->isEnabled());
            QVERIFY(fromCatalogue ? form.update->isEnabled() : form.manual->isEnabled());

            QStringList answers;
            if (!twoColour)
                answers << QStringLiteral("Microscope");
            if (!fromCatalogue)
                answers << QStringLiteral("file:") + chosen;
            answers << QStringLiteral("OK");
            DialogAnswerer user(answers);
            (fromCatalogue ? form.update : form.manual)->click();
            QVERIFY(waitForBox(user, { CompletedText, FailedText }, UpdateMs));
            QCOMPARE(user.seen.size(), answers.size());
            if (!fromCatalogue) {
                const DialogAnswerer::Seen& files = user.seen.at(answers.size() - 2);
                QCOMPARE(files.kind, QStringLiteral("file"));
                QVERIFY(QDir::match(files.nameFilters, QFileInfo(chosen).fileName()));
            }
            sim::UsbFpgaCore& core = board->core();
            if (silent) {
                QCOMPARE(user.seen.last().text, FailedText);
                QVERIFY(!core.jumped());
            } else {
                QCOMPARE(user.seen.last().text, CompletedText);
                QVERIFY(board->waitUntil([&] { return core.jumped(); }, 5000));
                QVERIFY(flashMatches(core.flash(), core.crcRange()));
            }
        }
        board.reset();
        if (!chosen.isEmpty())
            QFile::remove(chosen);
    }
};

QTEST_MAIN(TestFpgaUpdateWidget)
#include "tst_fpgaupdatewidget.moc"
