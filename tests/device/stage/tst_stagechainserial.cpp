#include "device/MovraHardwareServer.h"
#include "tests/device/serial/sim/TestPortList.h"
#include "tests/device/stage/sim/SimZaberChain.h"
#include "tests/support/TestTransports.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

using Record = QSharedPointer<MovraDeviceInfo>;

// The adapter whose ids do not tell the kind: identified by test commands.
SerialPortDescription unknownAdapter(const QString& portName)
{
    SerialPortDescription port;
    port.portName = portName;
    port.hasVendorId = port.hasProductId = true;
    port.vendorId = 0x0403;
    port.productId = 0x6001;
    port.serialNumber = QStringLiteral("ZC01");
    return port;
}

} // namespace

class TestStageChainSerial : public QObject
{
    Q_OBJECT

private slots:
    // A chain on a serial port: identified by its answer to the first probe,
    // connected, homed, set up and reported by the hardware server; removed
    // when its port goes away.
    void chainFoundSetUpAndRemoved()
    {
        SimZaberChain chain;
        if (!chain.isOpen())
            QSKIP("no pseudo-terminal can be opened here");
        auto ports = QSharedPointer<TestPortList>::create();
        MovraHardwareServer server(TestTransports().without(TestTransports::Usb).serialOver(ports).shared());
        QSignalSpy inserted(&server, &MovraHardwareServer::deviceInserted);
        QSignalSpy removed(&server, &MovraHardwareServer::deviceRemoved);
        server.startCommunicationThreads();
        ports->plug(unknownAdapter(chain.portName()));

        QTRY_COMPARE_WITH_TIMEOUT(inserted.size(), 1, 10000);
        const Record record = inserted.first().at(0).value<Record>();
        QCOMPARE(record->name(), chain.portName());
        QCOMPARE(record->driverType(), DriverType::ZaberChain);
        QCOMPARE(record->commType(), CommType::Serial);
        QCOMPARE(record->status(), DeviceStatus::Available);
        QCOMPARE(record->uid(), QStringLiteral("0403-6001-5A43-3031"));

        // One probe, then the connection step's broadcasts, then the set-up.
        const QList<SimCommand> commands = chain.commands();
        QVERIFY(commands.size() >= 3);
        QCOMPARE(commands.at(0).device, 1);
        QCOMPARE(commands.at(0).text, QByteArray("get deviceid"));
        QCOMPARE(commands.at(1).device, 0);
        QCOMPARE(commands.at(1).text, QByteArray("home"));
        QCOMPARE(commands.at(2).device, 0);
        QCOMPARE(commands.at(2).text, QByteArray("get deviceid"));
        QVERIFY(chain.axis(SimZaberChain::XYAddress, 1).homed);
        QVERIFY(chain.axis(SimZaberChain::XYAddress, 2).homed);
        QVERIFY(chain.axis(SimZaberChain::ZAddress, 1).homed);
        QCOMPARE(chain.textsTo(SimZaberChain::JoystickAddress).size(), 52);
        QCOMPARE(chain.joystickAxis(1).target, (QList<qint64> { SimZaberChain::XYAddress, 2 }));
        QCOMPARE(chain.joystickAxis(3).target, (QList<qint64> { SimZaberChain::ZAddress, 1 }));
        QCOMPARE(chain.keyActions(8, 1), (QList<QByteArray> { "joystick 4 maxspeed 160000 " }));
        QCOMPARE(chain.axis(SimZaberChain::ZAddress, 1).limitMax, qint64(160000));

        chain.vanish();
        ports->unplug(chain.portName());
        QTRY_COMPARE_WITH_TIMEOUT(removed.size(), 1, 10000);
        QVERIFY(removed.first().at(0).value<Record>() == record);
        QCOMPARE(inserted.size(), 1);
        server.stopCommunicationThreads();
    }
};

QTEST_GUILESS_MAIN(TestStageChainSerial)
#include "tst_stagechainserial.moc"
