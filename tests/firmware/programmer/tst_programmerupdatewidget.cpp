#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/updater/DisplayTables.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "firmware/programmer/IMUFirmwareCommunicator.h"
#include "firmware/programmer/ZuvoBasestationCommunicator.h"
#include "tests/firmware/programmer/sim/SimBaseStation.h"
#include "tests/firmware/programmer/sim/SimInertialModule.h"
#include "tests/support/CatalogueServer.h"
#include "tests/support/ProgrammerScripts.h"
#include "tests/support/PseudoRandomBytes.h"
#include "tests/support/TestTransports.h"
#include "tests/support/WidgetFixtures.h"
#include "tests/support/WidgetTestEnvironment.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>

// The inertial module and the base station on pseudo-terminals, shown in the
// Devices tab with the versions they report and updated from the window
// with the catalogue's file, downloaded from the local HTTPS server.
class TestProgrammerUpdateWidget : public QObject
{
    Q_OBJECT

    WidgetTestEnvironment m_environment;
    CatalogueServer m_server;
    QByteArray m_image;

private slots:
    void initTestCase()
    {
        QVERIFY(m_environment.setUp());
        QVERIFY(m_server.start(QStringLiteral(MOVRA_HTTPS_SERVER), QUrl(MovraWebHost).host()));
        m_image = pseudoRandomBytes(2048, 31);
    }

    void update_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("installed");
        QTest::addColumn<QString>("boot");
        QTest::newRow("inertial module") << int(nsUpdater::IMU) << "Movra-IMU_Firmware_V1.8.hex"
                                         << "1.7"
                                         << "2.3";
        QTest::newRow("base station") << int(nsUpdater::ZuvoBasestation) << "Movra-Zuvo_Firmware_V2.1.hex"
                                      << "2.0"
                                      << "1.4";
    }

    void update()
    {
        QFETCH(int, type);
        QFETCH(QString, fileName);
        QFETCH(QString, installed);
        QFETCH(QString, boot);
        const bool imu = type == nsUpdater::IMU;
        const QString program =
            QLatin1String(imu ? IMUFirmwareCommunicator::Program : ZuvoBasestationCommunicator::Program);
        QVERIFY(
            ProgrammerScripts::install(QDir::currentPath(), program, ProgrammerScripts::Behaviour::CopiesFileToPort));
        const QString served = ServedFolder + fileName;
        QVERIFY(m_server.writeFile(served, m_image));
        QJsonObject entry { { QStringLiteral("Version"), QJsonArray { QStringLiteral("9.9") } },
                            { QStringLiteral("URLS"), QJsonArray { MovraWebHost + QLatin1Char('/') + served } },
                            { QStringLiteral("Filters"), QJsonArray { QStringLiteral("Movra-*_Firmware_V*.hex") } } };
        QJsonObject root { { QStringLiteral("Firmwares"), 1 }, { QString::number(type), entry } };
        QVERIFY(m_server.writeFile(QStringLiteral("downloads/.updates/firmwares/firmwares_admin.json"),
                                   QJsonDocument(root).toJson()));

        auto ports = QSharedPointer<TestPortList>::create();
        std::unique_ptr<sim::InertialModule> module;
        std::unique_ptr<sim::BaseStation> station;
        if (imu)
            module = std::make_unique<sim::InertialModule>(ports, sim::InertialModule::Profile());
        else
            station = std::make_unique<sim::BaseStation>(ports, sim::BaseStation::Profile());
        if (!(imu ? module->start() : station->start()))
            QSKIP("no pseudo-terminal can be opened here");
        {
            // No USB transport; the serial one over the test's pseudo-terminals.
            VEKUpdaterWidget widget(TestTransports().without(TestTransports::Usb).serialOver(ports).shared());
            Form form(&widget);
            QTreeWidgetItem* typeRow = form.typeRow(type);
            QVERIFY(typeRow);
            QVERIFY(waitForDevices(form, typeRow, 1, 1500 + 3000 + 2500));
            form.tree->setCurrentItem(typeRow->child(0));
            QVERIFY(SignalWait([&] { return form.motherboard->toPlainText().contains(installed); })
                        .on(form.motherboard, &QTextEdit::textChanged)
                        .wait(10000));
            QVERIFY(form.boot->toPlainText().contains(boot));

            form.check->click();
            QVERIFY(waitUntilEnabled(form.update, 10000));
            DialogAnswerer user({ QStringLiteral("OK") });
            form.update->click();
            QVERIFY(waitForBox(user, { CompletedText }, 20000));
            QCOMPARE(user.seen.size(), 1);
            const QString downloaded = QDir::homePath() + QStringLiteral("/downloads/") + fileName;
            const QList<QStringList> runs = ProgrammerScripts::runs(QDir::currentPath(), program);
            QCOMPARE(runs.size(), 1);
            QCOMPARE(runs.first().value(0), downloaded);
            QCOMPARE(runs.first().value(1), imu ? module->portName() : station->portName());
            // The program has ended; what it wrote may still be on its way to the device.
            PtyDevice& device = imu ? static_cast<PtyDevice&>(*module) : *station;
            const auto flash = [&] { return imu ? module->flash() : station->flash(); };
            QVERIFY(device.waitUntil([&] { return flash().size() >= m_image.size(); }, StepWait::OnItsWayMs));
            QCOMPARE(flash(), m_image);
        }
    }
};

QTEST_MAIN(TestProgrammerUpdateWidget)
#include "tst_programmerupdatewidget.moc"
