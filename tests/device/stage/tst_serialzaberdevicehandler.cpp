#include "device/stage/SerialZaberDeviceHandler.h"
#include "tests/device/stage/sim/SimZaberChain.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/RelaySpy.h"

#include <QtTest>

#include <functional>

using nsZaber::StageAxes;
using zaber::motion::Units;
using namespace nsZaber::nsJoystick;

namespace {

using Record = QSharedPointer<MovraDeviceInfo>;

// Native steps per millimetre of the simulated XY and Z stages.
constexpr double XYSteps = 6400.0;
constexpr double ZSteps = 16000.0;
// A position poll on its way back from the chain, on a loaded machine.
constexpr int PollBackMs = 10000;

// The joystick set-up with all three devices, in order.
const QList<QByteArray> GoldenJoystickSetUp = {
    "joystick 1 target 1 2",
    "joystick 1 speedprofile 2 ",
    "joystick 1 maxspeed 80000 ",
    "joystick 1 resolution 50 ",
    "joystick 2 target 1 1",
    "joystick 2 speedprofile 2 ",
    "joystick 2 maxspeed 80000 ",
    "joystick 2 resolution 50 ",
    "joystick 3 target 2 1",
    "joystick 3 speedprofile 2 ",
    "joystick 3 maxspeed 80000 ",
    "joystick 3 resolution 50 ",
    "key 1 1 clear",
    "key 1 1 add 0 joystick 1 maxspeed 80000 ",
    "key 1 2 clear",
    "key 1 3 clear",
    "key 1 4 clear",
    "key 2 1 clear",
    "key 2 1 add 0 joystick 1 maxspeed 160000 ",
    "key 2 2 clear",
    "key 2 3 clear",
    "key 2 4 clear",
    "key 3 1 clear",
    "key 3 1 add 0 joystick 2 maxspeed 80000 ",
    "key 3 2 clear",
    "key 3 3 clear",
    "key 3 4 clear",
    "key 4 1 clear",
    "key 4 1 add 0 joystick 2 maxspeed 160000 ",
    "key 4 2 clear",
    "key 4 3 clear",
    "key 4 4 clear",
    "key 5 1 clear",
    "key 5 1 add 0 joystick 3 maxspeed 80000 ",
    "key 5 2 clear",
    "key 5 3 clear",
    "key 5 4 clear",
    "key 6 1 clear",
    "key 6 1 add 0 joystick 3 maxspeed 160000 ",
    "key 6 2 clear",
    "key 6 3 clear",
    "key 6 4 clear",
    "key 7 1 clear",
    "key 7 1 add 0 joystick 4 maxspeed 80000 ",
    "key 7 2 clear",
    "key 7 3 clear",
    "key 7 4 clear",
    "key 8 1 clear",
    "key 8 1 add 0 joystick 4 maxspeed 160000 ",
    "key 8 2 clear",
    "key 8 3 clear",
    "key 8 4 clear",
};

QList<SimStageDeviceSetup> chainWithout(int missingAddress)
{
    QList<SimStageDeviceSetup> devices;
    for (const SimStageDeviceSetup& device : SimZaberChain::fullChain()) {
        if (device.address != missingAddress)
            devices << device;
    }
    return devices;
}

// The handler in a thread of its own, as the serial transport runs it,
// talking to a simulated chain on a pty.
class Rig
{
public:
    explicit Rig(const QList<SimStageDeviceSetup>& devices = SimZaberChain::fullChain())
        : chain(devices)
        , record(DeviceRecordBuilder::serial(chain.portName())
                     .driverType(DriverType::ZaberChain)
                     .status(DeviceStatus::Available)
                     .build())
    {
        m_context = new QObject;
        m_context->moveToThread(&m_thread);
        m_thread.start();
        run([this] { handler = QSharedPointer<SerialZaberDeviceHandler>::create(record); });
    }

    ~Rig()
    {
        run([this] { handler.reset(); });
        m_thread.quit();
        m_thread.wait();
        delete m_context;
    }

    // Runs f in the handler's thread and waits for it.
    void run(const std::function<void()>& f) { QMetaObject::invokeMethod(m_context, f, Qt::BlockingQueuedConnection); }

    bool connectAndSetUp()
    {
        bool connected = false;
        run([&] {
            connected = handler->openConnection();
            if (connected)
                handler->initialize();
        });
        return connected;
    }

    QTimer* timer(int intervalMs)
    {
        QTimer* found = nullptr;
        run([&] {
            for (QTimer* t : handler->findChildren<QTimer*>()) {
                if (t->interval() == intervalMs)
                    found = t;
            }
        });
        return found;
    }

    SimZaberChain chain;
    Record record;
    QSharedPointer<SerialZaberDeviceHandler> handler;

private:
    QThread m_thread;
    QObject* m_context = nullptr;
};

SimStageAxis homedAxis(qint64 position, qint64 limitMin = 0, qint64 limitMax = 1000000)
{
    SimStageAxis axis;
    axis.homed = true;
    axis.position = position;
    axis.limitMin = limitMin;
    axis.limitMax = limitMax;
    return axis;
}

} // namespace

class TestSerialZaberDeviceHandler : public QObject
{
    Q_OBJECT

private slots:
    void connectionHomesAndDetects()
    {
        Rig rig;
        QVERIFY(rig.connectAndSetUp());
        QCOMPARE(rig.record->status(), DeviceStatus::Available);
        const QList<QByteArray> broadcast = rig.chain.textsTo(0);
        QCOMPARE(broadcast, (QList<QByteArray> { "home", "get deviceid" }));
        QVERIFY(rig.chain.axis(SimZaberChain::XYAddress, 1).homed);
        QVERIFY(rig.chain.axis(SimZaberChain::XYAddress, 2).homed);
        QVERIFY(rig.chain.axis(SimZaberChain::ZAddress, 1).homed);
    }

    void setUpMatchesGoldenList()
    {
        Rig rig;
        QVERIFY(rig.connectAndSetUp());
        QCOMPARE(rig.chain.textsTo(SimZaberChain::JoystickAddress), GoldenJoystickSetUp);
        QCOMPARE(rig.chain.textsTo(SimZaberChain::ZAddress), (QList<QByteArray> { "set limit.max 160000" }));
        QCOMPARE(rig.chain.textsTo(SimZaberChain::XYAddress), QList<QByteArray>());
        // The joystick agreed with every command.
        QCOMPARE(rig.chain.joystickAxis(1).target, (QList<qint64> { 1, 2 }));
        QCOMPARE(rig.chain.joystickAxis(2).target, (QList<qint64> { 1, 1 }));
        QCOMPARE(rig.chain.joystickAxis(3).target, (QList<qint64> { 2, 1 }));
        QCOMPARE(rig.chain.joystickAxis(3).resolution, 50);
        QCOMPARE(rig.chain.keyActions(6, 1), (QList<QByteArray> { "joystick 3 maxspeed 160000 " }));
        QCOMPARE(rig.chain.keyActions(6, 2), QList<QByteArray>());
        QCOMPARE(rig.chain.axis(SimZaberChain::ZAddress, 1).limitMax, qint64(10 * ZSteps));
    }

    void setUpVariants_data()
    {
        QTest::addColumn<int>("missing");
        QTest::addColumn<QList<QByteArray>>("joystickCommands");
        QTest::addColumn<bool>("zLimitSet");

        auto without = [](const QList<QByteArray>& targets) {
            QList<QByteArray> expected = GoldenJoystickSetUp;
            for (const QByteArray& target : targets)
                expected.removeOne(target);
            return expected;
        };
        QTest::newRow("no joystick") << SimZaberChain::JoystickAddress << QList<QByteArray>() << true;
        QTest::newRow("no XY stage") << SimZaberChain::XYAddress
                                     << without({ "joystick 1 target 1 2", "joystick 2 target 1 1" }) << true;
        QTest::newRow("no Z stage") << SimZaberChain::ZAddress << without({ "joystick 3 target 2 1" }) << false;
    }

    void setUpVariants()
    {
        QFETCH(int, missing);
        QFETCH(QList<QByteArray>, joystickCommands);
        QFETCH(bool, zLimitSet);
        Rig rig(chainWithout(missing));
        QVERIFY(rig.connectAndSetUp());
        QCOMPARE(rig.chain.textsTo(SimZaberChain::JoystickAddress), joystickCommands);
        QCOMPARE(rig.chain.textsTo(SimZaberChain::ZAddress),
                 zLimitSet ? QList<QByteArray> { "set limit.max 160000" } : QList<QByteArray>());
    }

    // A later device with an id already seen takes its place.
    void laterDuplicateWins()
    {
        QList<SimStageDeviceSetup> devices = SimZaberChain::fullChain();
        devices << SimStageDeviceSetup { 4, SimZaberChain::XYDeviceId, 2 };
        Rig rig(devices);
        QVERIFY(rig.connectAndSetUp());
        const QList<QByteArray> joystick = rig.chain.textsTo(SimZaberChain::JoystickAddress);
        QCOMPARE(joystick.at(0), QByteArray("joystick 1 target 4 2"));
        QCOMPARE(joystick.at(4), QByteArray("joystick 2 target 4 1"));
    }

    void connectionFailures_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("no port") << "vanish";
        QTest::newRow("chain silent") << "silent";
        QTest::newRow("homing refused") << "refuse home";
        QTest::newRow("detection refused") << "refuse get";
    }

    // A chain that cannot be connected is left unavailable and unreported.
    void connectionFailures()
    {
        QFETCH(QString, failure);
        Rig rig;
        if (failure == "vanish")
            rig.chain.vanish();
        else if (failure == "silent")
            rig.chain.setSilent(true);
        else
            rig.chain.refuseCommandsStartingWith(failure.mid(7).toLatin1());
        bool connected = true;
        rig.run([&] { connected = rig.handler->openConnection(); });
        QVERIFY(!connected);
        QCOMPARE(rig.record->status(), DeviceStatus::Unavailable);
    }

    void axisSelection_data()
    {
        QTest::addColumn<int>("axisId");
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("axis");
        QTest::addColumn<double>("steps");

        QTest::newRow("X") << int(StageAxes::X) << SimZaberChain::XYAddress << 2 << XYSteps;
        QTest::newRow("Y") << int(StageAxes::Y) << SimZaberChain::XYAddress << 1 << XYSteps;
        QTest::newRow("Z") << int(StageAxes::Z) << SimZaberChain::ZAddress << 1 << ZSteps;
    }

    // Moves, limits and homing reach the axis the stage axis names, and a
    // move reports the position that the axis then reads.
    void axisSelection()
    {
        QFETCH(int, axisId);
        QFETCH(int, device);
        QFETCH(int, axis);
        QFETCH(double, steps);
        Rig rig;
        QVERIFY(rig.connectAndSetUp());
        rig.chain.setAxis(device, axis, homedAxis(0, -qint64(steps), qint64(20 * steps)));
        rig.chain.setBusyPolls(2);
        rig.chain.clearCommands();
        QSignalSpy confirmed(rig.handler.data(), &SerialZaberDeviceHandler::sendAxisPositionConfirmationToController);
        QSignalSpy limits(rig.handler.data(), &SerialZaberDeviceHandler::sendAxisLimitsToController);

        rig.run([&] {
            // 1.00001 mm is not a whole step: the report is what the axis reached.
            rig.handler->onSetAxisAbsolutePositionReceived(rig.record, StageAxes(axisId), 1.00001);
            rig.handler->onSetAxisRelativePositionReceived(rig.record, StageAxes(axisId), 250, Units::Native);
            rig.handler->onGetAxisLimitsReceived(rig.record, StageAxes(axisId));
            rig.handler->onResetAxisToHomeReceived(rig.record, StageAxes(axisId));
        });

        const QByteArray absolute = "move abs " + QByteArray::number(qint64(steps));
        const QByteArray relative = "move rel 250";
        QList<QByteArray> sent = rig.chain.textsTo(device);
        sent.removeAll(QByteArray()); // status polls while the axis was busy
        QCOMPARE(sent, (QList<QByteArray> { absolute, "get pos", relative, "get pos", "get limit.min", "get limit.max",
                                            "home" }));
        for (const SimCommand& command : rig.chain.commands())
            QCOMPARE(command.axis, axis);
        // Each move waits for the axis: two BUSY polls, then IDLE.
        QCOMPARE(rig.chain.textsTo(device).count(QByteArray()), 6);

        QCOMPARE(confirmed.count(), 2);
        QCOMPARE(confirmed.at(0).at(0).value<Record>(), rig.record);
        QCOMPARE(confirmed.at(0).at(1).value<StageAxes>(), StageAxes(axisId));
        QCOMPARE(confirmed.at(0).at(2).toDouble(), 1.0);
        QCOMPARE(confirmed.at(0).at(3).value<Units>(), Units::LengthMillimetres);
        QCOMPARE(confirmed.at(1).at(2).toDouble(), steps + 250);
        QCOMPARE(confirmed.at(1).at(3).value<Units>(), Units::Native);
        QCOMPARE(limits.count(), 1);
        QCOMPARE((limits.at(0).at(2).value<std::pair<double, double>>()), std::make_pair(-1.0, 20.0));
        QVERIFY(rig.chain.axis(device, axis).homed);
    }

    void unknownStageAxisDoesNothing()
    {
        Rig rig;
        QVERIFY(rig.connectAndSetUp());
        rig.chain.clearCommands();
        QSignalSpy confirmed(rig.handler.data(), &SerialZaberDeviceHandler::sendAxisPositionConfirmationToController);
        rig.run([&] {
            rig.handler->onSetAxisAbsolutePositionReceived(rig.record, StageAxes(3), 1.0);
            rig.handler->onGetAxisLimitsReceived(rig.record, StageAxes(-1));
            rig.handler->onResetAxisToHomeReceived(rig.record, StageAxes(7));
        });
        QCOMPARE(rig.chain.commands().size(), 0);
        QCOMPARE(confirmed.count(), 0);
    }

    // Limits are millimetres whatever the reading units; the Z limit can
    // be set in either unit.
    void limitsInMillimetres()
    {
        Rig rig;
        QVERIFY(rig.connectAndSetUp());
        rig.chain.setAxis(SimZaberChain::ZAddress, 1, homedAxis(0, 8000, 48000));
        QSignalSpy limits(rig.handler.data(), &SerialZaberDeviceHandler::sendAxisLimitsToController);
        rig.run([&] {
            rig.handler->onSetGetXYPositionUnitsReceived(rig.record, Units::Native);
            rig.handler->onSetGetZPositionUnitsReceived(rig.record, Units::Native);
            rig.handler->onGetAxisLimitsReceived(rig.record, StageAxes::Z);
            rig.handler->onSetAxisMaxLimitReceived(rig.record, StageAxes::Z, 40000, Units::Native);
        });
        QCOMPARE(limits.count(), 1);
        QCOMPARE(limits.at(0).at(1).value<StageAxes>(), StageAxes::Z);
        QCOMPARE((limits.at(0).at(2).value<std::pair<double, double>>()), std::make_pair(0.5, 3.0));
        QCOMPARE(rig.chain.axis(SimZaberChain::ZAddress, 1).limitMax, qint64(40000));
    }

    void polling_data()
    {
        QTest::addColumn<bool>("xy");
        QTest::addColumn<int>("intervalMs");
        QTest::newRow("XY") << true << 84;
        QTest::newRow("Z") << false << 50;
    }

    // Polling runs from a start request to a stop request; a second start
    // restarts it with the same interval; positions come in the reading
    // units last set.
    void polling()
    {
        QFETCH(bool, xy);
        QFETCH(int, intervalMs);
        Rig rig;
        QVERIFY(rig.connectAndSetUp());
        rig.chain.setAxis(SimZaberChain::XYAddress, 1, homedAxis(qint64(2 * XYSteps)));
        rig.chain.setAxis(SimZaberChain::XYAddress, 2, homedAxis(qint64(0.5 * XYSteps)));
        rig.chain.setAxis(SimZaberChain::ZAddress, 1, homedAxis(qint64(3 * ZSteps)));
        // Emitted in the handler's thread as the polls come back.
        RelaySpy xyPositions(rig.handler.data(), &SerialZaberDeviceHandler::sendXYPositionToController);
        RelaySpy zPositions(rig.handler.data(), &SerialZaberDeviceHandler::sendZPositionToController);
        RelaySpy& positions = xy ? xyPositions : zPositions;
        RelaySpy& others = xy ? zPositions : xyPositions;
        // The axes' positions in native steps.
        const double native = xy ? 0.5 * XYSteps : 3 * ZSteps;
        auto startStop = [&](bool start) {
            rig.run([&] {
                if (xy)
                    rig.handler->onStartStopGetXYAxesPositionReceived(rig.record, start);
                else
                    rig.handler->onStartStopGetZAxesPositionReceived(rig.record, start);
            });
        };

        startStop(true);
        QTimer* timer = rig.timer(intervalMs);
        QVERIFY(timer);
        QVERIFY(positions.wait(PollBackMs));
        startStop(true);
        QCOMPARE(rig.timer(intervalMs), timer);
        rig.run([&] { QVERIFY(timer->isActive()); });
        QVERIFY(positions.wait(PollBackMs));
        rig.run([&] {
            if (xy)
                rig.handler->onSetGetXYPositionUnitsReceived(rig.record, Units::Native);
            else
                rig.handler->onSetGetZPositionUnitsReceived(rig.record, Units::Native);
        });
        // Until a poll made after the change has come back.
        while (positions.last().at(1).toDouble() != native)
            QVERIFY(positions.wait(PollBackMs));
        startStop(false);
        rig.run([&] { QVERIFY(!timer->isActive()); });
        positions.catchUp();
        others.catchUp();
        const int count = positions.count();
        QVERIFY2(count >= 3, qPrintable(QString::number(count)));
        QCOMPARE(others.count(), 0);
        if (xy) {
            QCOMPARE(positions.first().at(1).toDouble(), 0.5); // X is axis 2
            QCOMPARE(positions.first().at(2).toDouble(), 2.0); // Y is axis 1
            QCOMPARE(positions.last().at(1).toDouble(), native);
            QCOMPARE(positions.last().at(2).toDouble(), 2 * XYSteps);
        } else {
            QCOMPARE(positions.first().at(1).toDouble(), 3.0);
            QCOMPARE(positions.last().at(1).toDouble(), native);
        }
        QTest::qWait(3 * intervalMs);
        rig.run([] {});
        positions.catchUp();
        QCOMPARE(positions.count(), count);
    }

    // A request that carries another record than the handler's own does
    // nothing.
    void otherRecordIgnored()
    {
        Rig rig;
        QVERIFY(rig.connectAndSetUp());
        rig.chain.clearCommands();
        QSignalSpy confirmed(rig.handler.data(), &SerialZaberDeviceHandler::sendAxisPositionConfirmationToController);
        QSignalSpy limits(rig.handler.data(), &SerialZaberDeviceHandler::sendAxisLimitsToController);
        QSignalSpy xyPositions(rig.handler.data(), &SerialZaberDeviceHandler::sendXYPositionToController);
        QSignalSpy zPositions(rig.handler.data(), &SerialZaberDeviceHandler::sendZPositionToController);
        // Same fields, another object.
        const auto other = DeviceRecordBuilder().name(rig.record->name()).driverType(DriverType::ZaberChain).build();
        rig.run([&] {
            SerialZaberDeviceHandler& h = *rig.handler;
            h.onSetJoystickTargetAxisReceived(other, JoystickAxes::Axis1, 1, 2);
            h.onSetJoystickSpeedProfileReceived(other, JoystickAxes::Axis1, JoystickSpeedProfiles::Profile2);
            h.onSetJoystickMaxSpeedReceived(other, JoystickAxes::Axis1, 100);
            h.onSetJoystickResolutionReceived(other, JoystickAxes::Axis1, 10);
            h.onAddJoystickKeyActionReceived(other, JoystickKeys::Key1, JoystickPressTypes::Press, 0, "x");
            h.onClearJoystickKeyActionReceived(other, JoystickKeys::Key1, JoystickPressTypes::Press);
            h.onStartStopGetXYAxesPositionReceived(other, true);
            h.onStartStopGetZAxesPositionReceived(other, true);
            h.onGetAxisLimitsReceived(other, StageAxes::X);
            h.onSetAxisMaxLimitReceived(other, StageAxes::Z, 1.0);
            h.onSetGetXYPositionUnitsReceived(other, Units::Native);
            h.onSetGetZPositionUnitsReceived(other, Units::Native);
            h.onSetAxisAbsolutePositionReceived(other, StageAxes::X, 1.0);
            h.onSetAxisRelativePositionReceived(other, StageAxes::Y, 1.0);
            h.onResetAxisToHomeReceived(other, StageAxes::Z);
        });
        QTest::qWait(200);
        rig.run([] {});
        QCOMPARE(rig.chain.commands().size(), 0);
        QCOMPARE(confirmed.count() + limits.count() + xyPositions.count() + zPositions.count(), 0);
        // The reading units stayed millimetres.
        RelaySpy reached(rig.handler.data(), &SerialZaberDeviceHandler::sendXYPositionToController);
        rig.chain.setAxis(SimZaberChain::XYAddress, 2, homedAxis(qint64(XYSteps)));
        rig.run([&] { rig.handler->onStartStopGetXYAxesPositionReceived(rig.record, true); });
        QVERIFY(reached.wait(PollBackMs));
        rig.run([&] { rig.handler->onStartStopGetXYAxesPositionReceived(rig.record, false); });
        QCOMPARE(reached.first().at(1).toDouble(), 1.0);
    }

    // A refused set-up command is logged and the set-up goes on.
    void refusedSetUpCommandDoesNotStopSetUp()
    {
        Rig rig;
        rig.chain.refuseCommandsStartingWith("key 3 1 add");
        QVERIFY(rig.connectAndSetUp());
        QCOMPARE(rig.chain.textsTo(SimZaberChain::JoystickAddress), GoldenJoystickSetUp);
        QCOMPARE(rig.chain.keyActions(3, 1), QList<QByteArray>());
        QCOMPARE(rig.chain.keyActions(4, 1), (QList<QByteArray> { "joystick 2 maxspeed 160000 " }));
        QCOMPARE(rig.chain.axis(SimZaberChain::ZAddress, 1).limitMax, qint64(10 * ZSteps));
    }

    void controlFailures_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("move refused") << "refuse";
        QTest::newRow("out of range") << "range";
        QTest::newRow("stage fault") << "fault";
        QTest::newRow("chain silent") << "silent";
        QTest::newRow("chain vanished") << "vanish";
    }

    // A failed move reports no position, and the handler's thread is free
    // for the next request.
    void controlFailures()
    {
        QFETCH(QString, failure);
        Rig rig;
        QVERIFY(rig.connectAndSetUp());
        rig.chain.setAxis(SimZaberChain::XYAddress, 2, homedAxis(0, 0, qint64(5 * XYSteps)));
        if (failure == "refuse")
            rig.chain.refuseCommandsStartingWith("move");
        else if (failure == "fault")
            rig.chain.setWarningFlag(SimZaberChain::XYAddress, "FS");
        else if (failure == "silent")
            rig.chain.setSilent(true);
        else if (failure == "vanish")
            rig.chain.vanish();
        QSignalSpy confirmed(rig.handler.data(), &SerialZaberDeviceHandler::sendAxisPositionConfirmationToController);
        QSignalSpy limits(rig.handler.data(), &SerialZaberDeviceHandler::sendAxisLimitsToController);
        QElapsedTimer clock;
        clock.start();
        rig.run([&] {
            rig.handler->onSetAxisAbsolutePositionReceived(rig.record, StageAxes::X, 10.0);
            rig.handler->onGetAxisLimitsReceived(rig.record, StageAxes::X);
            rig.handler->onResetAxisToHomeReceived(rig.record, StageAxes::X);
        });
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(confirmed.count(), 0);
        // Limits still read when only moves fail.
        QCOMPARE(limits.count(), failure == "refuse" || failure == "range" ? 1 : 0);
        QCOMPARE(rig.chain.axis(SimZaberChain::XYAddress, 2).position, qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestSerialZaberDeviceHandler)
#include "tst_serialzaberdevicehandler.moc"
