#include "device/stage/Connection.h"
#include "device/stage/Device.h"
#include "device/stage/MotionLibException.h"
#include "tests/device/stage/sim/SimZaberChain.h"

#include <QtTest>

#include <functional>

using zaber::motion::MotionLibException;
using zaber::motion::Units;
using zaber::motion::ascii::Connection;
using zaber::motion::ascii::Device;

namespace {

Connection open(const SimZaberChain& chain)
{
    return Connection::openSerialPort(chain.portName().toStdString(), 115200, false);
}

SimStageAxis homedAxis(qint64 position)
{
    SimStageAxis axis;
    axis.homed = true;
    axis.position = position;
    return axis;
}

} // namespace

class TestStageLibrary : public QObject
{
    Q_OBJECT

private slots:
    void detectsEveryDeviceByAddress()
    {
        QList<SimStageDeviceSetup> devices = SimZaberChain::fullChain();
        std::reverse(devices.begin(), devices.end());
        SimZaberChain chain(devices);
        const std::vector<Device> found = open(chain).detectDevices(true);
        QCOMPARE(int(found.size()), 3);
        QCOMPARE(found.at(0).getDeviceAddress(), 1);
        QCOMPARE(found.at(0).getDeviceId(), SimZaberChain::XYDeviceId);
        QCOMPARE(found.at(1).getDeviceId(), SimZaberChain::ZDeviceId);
        QCOMPARE(found.at(2).getDeviceAddress(), 3);
        QCOMPARE(found.at(2).getDeviceId(), SimZaberChain::JoystickDeviceId);
        QVERIFY(Device().getDeviceAddress() < 0);
    }

    // The joystick has nothing to home and refuses; the stages home.
    void homeAllSkipsDevicesWithoutAxes()
    {
        SimZaberChain chain;
        const std::vector<int> homed = open(chain).homeAll(false);
        QCOMPARE(homed, (std::vector<int> { 1, 2 }));
        QVERIFY(chain.axis(1, 2).homed);
        QVERIFY(chain.axis(2, 1).homed);
    }

    void moveWaitsUntilIdle_data()
    {
        QTest::addColumn<bool>("wait");
        QTest::addColumn<int>("polls");
        QTest::newRow("waits") << true << 4;
        QTest::newRow("does not wait") << false << 0;
    }

    void moveWaitsUntilIdle()
    {
        QFETCH(bool, wait);
        SimZaberChain chain;
        Connection connection = open(chain);
        const Device z = connection.detectDevices(true).at(1);
        chain.setAxis(2, 1, homedAxis(0));
        chain.setBusyPolls(3);
        chain.clearCommands();
        z.getAxis(1).moveAbsolute(2.5, Units::LengthMillimetres, wait);
        QList<QByteArray> expected { "move abs 40000" };
        QFETCH(int, polls);
        for (int i = 0; i < polls; ++i)
            expected << QByteArray();
        QCOMPARE(chain.textsTo(2), expected);
        QCOMPARE(chain.axis(2, 1).position, qint64(40000));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("refused") << "refused";
        QTest::newRow("fault flag") << "fault";
        QTest::newRow("no reply") << "silent";
        QTest::newRow("port lost") << "vanish";
        QTest::newRow("millimetres on the joystick") << "joystick";
        QTest::newRow("own speed only") << "speed";
        QTest::newRow("connection gone") << "closed";
    }

    void failures()
    {
        QFETCH(QString, failure);
        SimZaberChain chain;
        QScopedPointer<Connection> connection(new Connection(open(chain)));
        const std::vector<Device> devices = connection->detectDevices(true);
        chain.setAxis(1, 1, homedAxis(0));
        std::function<void()> call = [&] { devices.at(0).getAxis(1).moveRelative(1.0, Units::LengthMillimetres); };
        if (failure == "refused")
            chain.refuseCommandsStartingWith("move");
        else if (failure == "fault")
            chain.setWarningFlag(1, "FQ");
        else if (failure == "silent")
            chain.setSilent(true);
        else if (failure == "vanish")
            chain.vanish();
        else if (failure == "joystick")
            call = [&] { devices.at(2).getAxis(1).getSettings().get("limit.max", Units::LengthMillimetres); };
        else if (failure == "speed")
            call = [&] { devices.at(0).getAxis(1).moveRelative(1.0, Units::LengthMillimetres, true, 2.0); };
        else if (failure == "closed")
            connection.reset();
        QElapsedTimer clock;
        clock.start();
        QVERIFY_THROWS_EXCEPTION(MotionLibException, call());
        QVERIFY(clock.elapsed() < 3000);
        if (failure != "fault") // the stage took the move but reports a fault
            QCOMPARE(chain.axis(1, 1).position, qint64(0));
        if (failure == "vanish") {
            // Once lost, the port stays closed.
            QVERIFY_THROWS_EXCEPTION(MotionLibException, connection->genericCommand("get deviceid", 1));
        }
    }

    // A reply with another device's address does not pass for the one asked.
    void answersOnlyFromTheDeviceAsked()
    {
        SimZaberChain chain;
        Connection connection = open(chain);
        const auto reply = connection.genericCommand("get deviceid", 2);
        QCOMPARE(reply.deviceAddress(), 2);
        QCOMPARE(reply.data(), QByteArray::number(SimZaberChain::ZDeviceId));
        const auto refused = connection.genericCommand("bogus", 3, 0, false);
        QVERIFY(refused.isRejected());
        QVERIFY_THROWS_EXCEPTION(MotionLibException, connection.genericCommand("bogus", 3));
    }

    void portThatCannotOpen()
    {
        QVERIFY_THROWS_EXCEPTION(MotionLibException,
                                 Connection::openSerialPort("/dev/movra-no-such-port", 115200, false));
    }
};

QTEST_GUILESS_MAIN(TestStageLibrary)
#include "tst_stagelibrary.moc"
