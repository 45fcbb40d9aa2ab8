#include "firmware/programmer/BootCypressFX3Communicator.h"
#include "firmware/programmer/IMUFirmwareCommunicator.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/ProgrammerScripts.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Behaviour = ProgrammerScripts::Behaviour;

struct Response
{
    int msg;
    int status;
    int progress;
};

} // namespace

Q_DECLARE_METATYPE(ProgrammerScripts::Behaviour)

// One programming stage run as a real process from the working folder's
// "scripts": how each way the program ends is reported, once.
class TestProgrammerStages : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_previous;

private slots:
    void initTestCase()
    {
        QVERIFY(m_work.isValid());
        m_previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_work.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(m_previous); }

    void stageEnd_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<Behaviour>("behaviour");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("doneLine");
        QTest::addColumn<bool>("copied");
        QTest::newRow("normal end") << true << Behaviour::CopiesFileToPort << 0 << 2 << true << true;
        QTest::newRow("exit code 1 is a normal end") << true << Behaviour::ExitsWithOne << 0 << 2 << true << true;
        QTest::newRow("flood of output") << true << Behaviour::Floods << 20000 << 2 << true << true;
        QTest::newRow("crash") << true << Behaviour::Crashes << 0 << 1 << true << false;
        QTest::newRow("missing program") << false << Behaviour::Succeeds << 0 << 1 << false << false;
        QTest::newRow("past its time-out") << true << Behaviour::Sleeps << 800 << 1 << false << false;
    }

    void stageEnd()
    {
        QFETCH(bool, installed);
        QFETCH(Behaviour, behaviour);
        QFETCH(int, timeoutMs);
        QFETCH(int, status);
        QFETCH(bool, doneLine);
        QFETCH(bool, copied);
        const QString program = QLatin1String(IMUFirmwareCommunicator::Program);
        QFile::remove(m_work.path() + program);
        if (installed)
            QVERIFY(ProgrammerScripts::install(m_work.path(), program, behaviour));
        const QString firmware = m_work.filePath(QStringLiteral("Movra-IMU_Firmware_V1.8.hex"));
        const QString port = m_work.filePath(QStringLiteral("port"));
        QFile::remove(port);
        {
            QFile file(firmware);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(":00000001FF\r\n");
        }

        const auto record = DeviceRecordBuilder::serial(port).driverType(DriverType::IMUDriver).pid(0x521F).build();
        IMUFirmwareCommunicator communicator;
        communicator.setStageTimeoutOverride(timeoutMs);
        QList<Response> responses;
        QStringList lines;
        connect(&communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater, this,
                [&](char msg, nsFirmware::MessageStatus s, int progress) {
                    responses.append({ msg, s, progress });
                });
        connect(&communicator, &AbstractFirmwareCommunicator::sendMessageToProgressDialog, this,
                [&](const QString& line) { lines.append(line); });
        QSignalSpy closes(&communicator, &AbstractFirmwareCommunicator::sendCloseSerialToDevice);
        QSignalSpy commands(&communicator, &AbstractFirmwareCommunicator::sendSerialCommandToDevice);

        QVERIFY(communicator.updateFirmware(firmware, record, {}));
        QCOMPARE(communicator.isUpdating(), 1);
        // In its bootloader: released and programmed at once, no reset.
        QCOMPARE(closes.size(), 1);
        QCOMPARE(commands.size(), 0);
        QVERIFY(QTest::qWaitFor([&] { return responses.size() >= 2; }, 20000));
        // Whatever else the process does now, nothing more is reported.
        QTest::qWait(timeoutMs > 0 ? 1200 : 500);
        QCOMPARE(responses.size(), 2);
        QCOMPARE(responses.at(0).msg, int('r'));
        QCOMPARE(responses.at(0).status, 0);
        QCOMPARE(responses.at(1).msg, 3);
        QCOMPARE(responses.at(1).status, status);
        QCOMPARE(responses.at(1).progress, 100);
        QCOMPARE(communicator.isUpdating(), 0);
        QCOMPARE(lines.first(), QStringLiteral("Programming the device..."));
        QCOMPARE(lines.contains(QStringLiteral("Programming the device... [Done]")), doneLine);
        QVERIFY(!lines.contains(QStringLiteral("Resetting to bootloader...")));
        QCOMPARE(QFile::exists(port), copied);
        if (installed) {
            const QList<QStringList> runs = ProgrammerScripts::runs(m_work.path(), program);
            QCOMPARE(runs.size(), 1);
            QCOMPARE(runs.first(), (QStringList { firmware, port }));
            QVERIFY(!ProgrammerScripts::isProcessAlive(ProgrammerScripts::lastPid(m_work.path(), program)));
        }
    }

    // The chip already runs its boot programmer: straight to the I2C stage.
    void fx3BootProgrammerRunning()
    {
        const QString program = QLatin1String(BootCypressFX3Communicator::Program);
        QVERIFY(ProgrammerScripts::install(m_work.path(), program, Behaviour::Succeeds));
        const auto record = DeviceRecordBuilder().vid(0x04B4).pid(0x4720).build();
        BootCypressFX3Communicator communicator;
        QSignalSpy responses(&communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater);
        QSignalSpy clears(&communicator, &AbstractFirmwareCommunicator::sendClearAvailableDevices);
        QVERIFY(communicator.updateFirmware(QStringLiteral("/tmp/fx3.img"), record, {}));
        QVERIFY(QTest::qWaitFor([&] { return responses.size() >= 2; }, 5000));
        QCOMPARE(responses.last().at(1).value<nsFirmware::MessageStatus>(), nsFirmware::Success);
        QCOMPARE(clears.size(), 0);
        QCOMPARE(ProgrammerScripts::runs(m_work.path(), program),
                 (QList<QStringList> { { "-i", "/tmp/fx3.img", "-t", "I2C" } }));
    }
};

QTEST_GUILESS_MAIN(TestProgrammerStages)
#include "tst_programmerstages.moc"
