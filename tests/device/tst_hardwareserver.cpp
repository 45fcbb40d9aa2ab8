#include "device/MovraHardwareServer.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/FakeGrabber.h"
#include "tests/support/FakeMachine.h"

#include <QtTest>

namespace {

// A device that answers every command with "re:" and the command; the
// Ethernet microscope also echoes every command as a datagram, after its reply.
FakeDevice echoing(CommType commType, const QString& name)
{
    FakeDevice device = FakeDevice::of(commType, name);
    QList<FakeDevice::Reply> replies { FakeDevice::Reply::echo("re:") };
    if (commType == CommType::Ethernet)
        replies.append(FakeDevice::Reply::echo({}, FakeDevice::Reply::Channel::Datagram));
    return device.answering({}, replies);
}

bool onGuiThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace

class TestHardwareServer : public QObject
{
    Q_OBJECT

private:
    // One running server with a device on every transport, shared by the
    // routing and datagram tests so they wait for the first poll once.
    EventLog m_log;
    QSharedPointer<FakeMachine> m_machine;
    QSharedPointer<MovraHardwareServer> m_server;
    QSharedPointer<MovraDeviceInfo> m_usbDevice;
    QSharedPointer<MovraDeviceInfo> m_ethernetDevice;
    QSharedPointer<MovraDeviceInfo> m_cameraDevice;
    QSharedPointer<MovraDeviceInfo> m_serialDevice;

private slots:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral(".*"))); }

    void initTestCase()
    {
        m_machine = QSharedPointer<FakeMachine>::create(FakeMachine::AllTransports, &m_log);
        m_usbDevice = m_machine->plug(echoing(CommType::USB, QStringLiteral("usb device")));
        m_ethernetDevice = m_machine->plug(echoing(CommType::Ethernet, QStringLiteral("mic")));
        m_cameraDevice = m_machine->plug(echoing(CommType::Camera, QStringLiteral("camera")));
        m_serialDevice = m_machine->plug(echoing(CommType::Serial, QStringLiteral("serial")));
        m_server = QSharedPointer<MovraHardwareServer>::create(m_machine);

        QSignalSpy inserted(m_server.data(), &MovraHardwareServer::deviceInserted);
        QElapsedTimer clock;
        QList<bool> insertedOnGui;
        QList<qint64> insertedAt;
        connect(m_server.data(), &MovraHardwareServer::deviceInserted, this, [&](QSharedPointer<MovraDeviceInfo>) {
            insertedOnGui << onGuiThread();
            insertedAt << clock.elapsed();
        });
        clock.start();
        m_server->startCommunicationThreads();
        QTRY_COMPARE_WITH_TIMEOUT(inserted.count(), 4, 10000);
        // None before the first poll, 1500 ms after the start.
        for (qint64 at : qAsConst(insertedAt))
            QVERIFY2(at >= 1500, qPrintable(QString::number(at)));
        QCOMPARE(insertedOnGui, QList<bool>({ true, true, true, true }));
        QCOMPARE(m_log.matching(QStringLiteral("usb:started")).size(), 1);
    }

    void cleanupTestCase()
    {
        m_server->stopCommunicationThreads();
        m_server.reset();
        QCOMPARE(FakeGrabber::liveCount.load(), 0);
    }

    void replyAndConnectionRelayedToGuiThread()
    {
        QSignalSpy replies(m_server.data(), &MovraHardwareServer::commandReceivedFromDevice);
        QSignalSpy connection(m_server.data(), &MovraHardwareServer::deviceConnectionChanged);
        bool replyOnGui = false;
        auto c = connect(m_server.data(), &MovraHardwareServer::commandReceivedFromDevice, this,
                         [&](QSharedPointer<MovraDeviceInfo>, QByteArray) { replyOnGui = onGuiThread(); });
        m_server->commandReceivedFromUpdater(m_usbDevice, QByteArray("\x01\x00", 2));
        QVERIFY(replies.wait(10000));
        disconnect(c);
        QCOMPARE(replies.at(0).at(0).value<QSharedPointer<MovraDeviceInfo>>(), m_usbDevice);
        QCOMPARE(replies.at(0).at(1).toByteArray(), QByteArray("re:\x01\x00", 5));
        QVERIFY(replyOnGui);

        emit m_server->openUSBDeviceReceivedFromUpdater(m_usbDevice);
        QVERIFY(connection.wait(10000));
        QCOMPARE(connection.at(0).at(0).value<QSharedPointer<MovraDeviceInfo>>(), m_usbDevice);
        QCOMPARE(connection.at(0).at(1).toBool(), true);
    }

    void commandsRoutedByCommType_data()
    {
        QTest::addColumn<int>("commType");
        QTest::addColumn<QString>("transport");
        QTest::newRow("none") << 0 << "usb";
        QTest::newRow("usb") << 1 << "usb";
        QTest::newRow("usb3") << 2 << "usb";
        QTest::newRow("ethernet") << 3 << "ethernet";
        QTest::newRow("camera") << 4 << "usb";
        QTest::newRow("serial") << 6 << "usb";
        QTest::newRow("slow camera") << 7 << "usb";
    }

    void commandsRoutedByCommType()
    {
        QFETCH(int, commType);
        QFETCH(QString, transport);
        m_log.clear();
        auto stranger = DeviceRecordBuilder::on(CommType(commType)).name(QStringLiteral("not held")).build();
        const QByteArray cmd = QByteArray::number(commType) + "route";
        m_server->commandReceivedFromUpdater(stranger, cmd);
        const QString entry = QStringLiteral(":command:") + QString::fromLatin1(cmd.toHex());
        QVERIFY(m_log.waitUntil([&] { return !m_log.matching(transport + entry).isEmpty(); }, StepWait::OnItsWayMs));
        QCOMPARE(m_log.matching(transport + entry).size(), 1);
        QTest::qWait(100);
        QStringList reached;
        for (const char* t : { "usb", "ethernet", "camera", "serial" }) {
            if (!m_log.matching(QLatin1String(t) + entry).isEmpty())
                reached << QLatin1String(t);
        }
        QCOMPARE(reached, QStringList { transport });
    }

    void updaterRequestsReachTheirTransport_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ctrl") << "ctrl"
                              << "usb:ctrl:6374726c";
        QTest::newRow("serial command") << "serialCommand"
                                        << "serial:command:73657269616c";
        QTest::newRow("open ethernet") << "openEthernet"
                                       << "ethernet:open";
        QTest::newRow("open camera") << "openCamera"
                                     << "camera:open";
        QTest::newRow("open serial") << "openSerial"
                                     << "serial:open";
        QTest::newRow("close serial") << "closeSerial"
                                      << "serial:close";
    }

    void updaterRequestsReachTheirTransport()
    {
        QFETCH(QString, request);
        QFETCH(QString, expected);
        m_log.clear();
        MovraHardwareServer* s = m_server.data();
        if (request == "ctrl")
            emit s->sendCtrlCmdToDeviceFromUpdater(m_usbDevice, "ctrl");
        if (request == "serialCommand")
            emit s->sendSerialCommandToDeviceFromUpdater(m_serialDevice, "serial");
        if (request == "openEthernet")
            emit s->openEthernetDeviceReceivedFromUpdater(m_ethernetDevice);
        if (request == "openCamera")
            emit s->openCameraDeviceReceivedFromUpdater(m_cameraDevice);
        if (request == "openSerial")
            emit s->openSerialDeviceReceivedFromUpdater(m_serialDevice);
        if (request == "closeSerial")
            emit s->closeSerialDeviceReceivedFromUpdater(m_serialDevice);
        QVERIFY(m_log.waitUntil([&] { return !m_log.entries().isEmpty(); }, StepWait::OnItsWayMs));
        QTest::qWait(100);
        QCOMPARE(m_log.entries(), QStringList { expected });
    }

    void datagramBecomesMicVersion_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QByteArray>("version");
        QByteArray sixteen(16, '\x07');
        sixteen[0] = 0x02;
        sixteen[1] = 0x05;
        QTest::newRow("16 bytes") << sixteen << QByteArray("\x02\x05\x00", 3);
        QTest::newRow("15 bytes") << QByteArray(15, '\x02') << QByteArray();
        QTest::newRow("17 bytes") << QByteArray(17, '\x02') << QByteArray();
        QTest::newRow("3 bytes") << QByteArray("\x02\x05\x00", 3) << QByteArray();
    }

    void datagramBecomesMicVersion()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(QByteArray, version);
        QSignalSpy replies(m_server.data(), &MovraHardwareServer::commandReceivedFromDevice);
        QSignalSpy versions(m_server.data(), &MovraHardwareServer::sendMicVersionReceived);
        // The fake Ethernet device echoes every command as a datagram, after its reply.
        m_server->commandReceivedFromUpdater(m_ethernetDevice, datagram);
        QVERIFY(replies.wait(10000));
        QTest::qWait(100);
        if (version.isEmpty()) {
            QCOMPARE(versions.count(), 0);
        } else {
            QCOMPARE(versions.count(), 1);
            QCOMPARE(versions.at(0).at(0).toByteArray(), version);
        }
    }

    void removalsRelayed()
    {
        QSignalSpy removed(m_server.data(), &MovraHardwareServer::deviceRemoved);
        QSignalSpy cameraRemoved(m_server.data(), &MovraHardwareServer::cameraRemoved);

        m_machine->unplug(m_cameraDevice);
        QVERIFY(cameraRemoved.wait(10000));
        QCOMPARE(cameraRemoved.at(0).at(0).value<QSharedPointer<MovraDeviceInfo>>(), m_cameraDevice);
        QCOMPARE(removed.count(), 0);

        m_machine->unplug(m_usbDevice);
        QVERIFY(removed.wait(10000));
        QCOMPARE(removed.at(0).at(0).value<QSharedPointer<MovraDeviceInfo>>(), m_usbDevice);
        QCOMPARE(cameraRemoved.count(), 1);
    }

    void pollsNeverOverlap()
    {
        // The shared fixture's four grabbers are alive meanwhile.
        const int before = FakeGrabber::liveCount.load();
        EventLog log;
        auto machine = QSharedPointer<FakeMachine>::create(FakeMachine::AllTransports, &log);
        machine->setLookDuration(FakeMachine::Usb, 2000);
        machine->setLooksLogged(FakeMachine::Usb, true);
        auto server = QSharedPointer<MovraHardwareServer>::create(machine);
        server->startCommunicationThreads();
        QTRY_VERIFY_WITH_TIMEOUT(log.matching(QStringLiteral("look:")).size() >= 2, 8000);
        server->stopCommunicationThreads();
        server.reset();

        qint64 previousEnd = 0;
        const QStringList looks = log.matching(QStringLiteral("look:"));
        for (const QString& look : looks) {
            const qint64 start = look.section(QLatin1Char(':'), 1, 1).toLongLong();
            const qint64 end = look.section(QLatin1Char(':'), 2, 2).toLongLong();
            QVERIFY2(start >= previousEnd, qPrintable(looks.join(QLatin1Char(' '))));
            QVERIFY(end - start >= 2000);
            previousEnd = end;
        }
        QCOMPARE(FakeGrabber::liveCount.load(), before);
    }

    void stopAndDestroyLeaveNothingRunning_data()
    {
        QTest::addColumn<int>("lookDurationMs");
        QTest::addColumn<int>("runMs");
        QTest::newRow("idle grabbers") << 0 << 200;
        QTest::newRow("stopped before first look") << 0 << 0;
        QTest::newRow("look outlasts the grabber wait") << 900 << 1700;
        QTest::newRow("look outlasts the server wait") << 2600 << 1700;
    }

    void stopAndDestroyLeaveNothingRunning()
    {
        QFETCH(int, lookDurationMs);
        QFETCH(int, runMs);
        const int before = FakeGrabber::liveCount.load();
        EventLog log;
        auto machine = QSharedPointer<FakeMachine>::create(FakeMachine::AllTransports, &log);
        machine->setLookDuration(FakeMachine::Usb, lookDurationMs);
        auto server = QSharedPointer<MovraHardwareServer>::create(machine);
        server->startCommunicationThreads();
        QTRY_COMPARE_WITH_TIMEOUT(FakeGrabber::liveCount.load(), before + 4, 10000);
        QTest::qWait(runMs);
        server->stopCommunicationThreads();
        server.reset();
        QCOMPARE(FakeGrabber::liveCount.load(), before);
        QCOMPARE(log.matching(QStringLiteral("usb:stopped")).size(), 1);
        QCOMPARE(log.matching(QStringLiteral("serial:stopped")).size(), 1);
    }

    void stopWithoutRunningThreadsDoesNothing()
    {
        EventLog log;
        auto server = QSharedPointer<MovraHardwareServer>::create(
            QSharedPointer<FakeMachine>::create(FakeMachine::AllTransports, &log));
        server->stopCommunicationThreads();
        server->stopCommunicationThreads();
        server.reset();
        QVERIFY(log.entries().isEmpty());
    }

    void missingTransportsAreSkipped()
    {
        // The default factory has no transports yet: the server runs no thread.
        MovraHardwareServer server;
        server.startCommunicationThreads();
        QSignalSpy inserted(&server, &MovraHardwareServer::deviceInserted);
        server.commandReceivedFromUpdater(DeviceRecordBuilder::on(CommType::USB).name(QStringLiteral("x")).build(),
                                          "cmd");
        QVERIFY(!inserted.wait(100));
        server.stopCommunicationThreads();
    }
};

QTEST_GUILESS_MAIN(TestHardwareServer)
#include "tst_hardwareserver.moc"
