#include "device/ethernet/EthernetGrabber.h"
#include "platform/InterfaceChangeWatch.h"
#include "tests/device/ethernet/NetworkSandbox.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// Commands for "ip", one a string.
bool runAll(const QStringList& commands, QString* error)
{
    for (const QString& command : commands) {
        if (!NetworkSandbox::ip(command.split(QLatin1Char(' ')), error))
            return false;
    }
    return true;
}

} // namespace

// Discovery against real interfaces in the test's own network namespace:
// only the first IPv4 entry of each running interface counts.
class TestEthernetGrabber : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QSharedPointer<MovraDeviceInfo>>();
        if (!NetworkSandbox::isReady())
            QSKIP(qPrintable(NetworkSandbox::whyNot()));
    }

    void cleanup() { NetworkSandbox::ip({ QStringLiteral("link"), QStringLiteral("del"), QStringLiteral("t0") }); }

    void discovery_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<int>("inserted");
        QTest::addColumn<QStringList>("then");
        QTest::addColumn<int>("removed");

        const QString pair = QStringLiteral("link add t0 type veth peer name t1");
        QTest::newRow("interface down") << QStringList { pair, "addr add 192.168.1.149/24 dev t0" } << 0
                                        << QStringList() << 0;
        QTest::newRow("host address second")
            << QStringList { pair, "addr add 10.9.8.7/24 dev t0", "addr add 192.168.1.149/24 dev t0", "link set t0 up" }
            << 0 << QStringList() << 0;
        QTest::newRow("two up interfaces with it")
            << QStringList { pair, "addr add 192.168.1.149/24 dev t0", "addr add 192.168.1.149/24 dev t1",
                             "link set t0 up", "link set t1 up" }
            << 1 << QStringList() << 0;
        QTest::newRow("address removed") << QStringList { pair, "addr add 192.168.1.149/24 dev t0", "link set t0 up" }
                                         << 1 << QStringList { "addr del 192.168.1.149/24 dev t0" } << 1;
        QTest::newRow("interface taken down")
            << QStringList { pair, "addr add 192.168.1.149/24 dev t0", "link set t0 up" } << 1
            << QStringList { "link set t0 down" } << 1;
        QTest::newRow("one of two interfaces loses it")
            << QStringList { pair, "addr add 192.168.1.149/24 dev t0", "addr add 192.168.1.149/24 dev t1",
                             "link set t0 up", "link set t1 up" }
            << 1 << QStringList { "addr del 192.168.1.149/24 dev t0" } << 0;
    }

    void discovery()
    {
        QFETCH(QStringList, setup);
        QFETCH(int, inserted);
        QFETCH(QStringList, then);
        QFETCH(int, removed);

        QString error;
        QVERIFY2(runAll(setup, &error), qPrintable(error));
        EthernetGrabber grabber;
        QSignalSpy insertions(&grabber, &AbstractGrabber::sendDeviceInserted);
        QSignalSpy removals(&grabber, &AbstractGrabber::sendDeviceRemoved);
        grabber.refreshAvailableDevices();
        QCOMPARE(insertions.size(), inserted);
        QCOMPARE(removals.size(), 0);

        // A pass over the same interfaces adds nothing.
        grabber.refreshAvailableDevices();
        QCOMPARE(insertions.size(), inserted);

        QVERIFY2(runAll(then, &error), qPrintable(error));
        grabber.refreshAvailableDevices();
        QCOMPARE(insertions.size(), inserted);
        QCOMPARE(removals.size(), removed);
        if (removed > 0) {
            QCOMPARE(removals.first().first().value<QSharedPointer<MovraDeviceInfo>>(),
                     insertions.first().first().value<QSharedPointer<MovraDeviceInfo>>());
        }
    }

    // A pass is skipped while the interfaces stay as they were; each change
    // a pass looks at (an interface, its running state, its IPv4 addresses)
    // makes the next look count.
    void interfaceChanges_data()
    {
        QTest::addColumn<QStringList>("change");

        QTest::newRow("interface added") << QStringList { "link add t2 type veth peer name t3" };
        QTest::newRow("interface up") << QStringList { "link set t0 up" };
        QTest::newRow("interface down") << QStringList { "link set t0 up", "", "link set t0 down" };
        QTest::newRow("address added") << QStringList { "addr add 192.168.1.149/24 dev t0" };
        QTest::newRow("address removed") << QStringList { "addr add 192.168.1.149/24 dev t0", "",
                                                          "addr del 192.168.1.149/24 dev t0" };
    }

    void interfaceChanges()
    {
        QFETCH(QStringList, change);

        QString error;
        QVERIFY2(runAll({ "link add t0 type veth peer name t1" }, &error), qPrintable(error));
        InterfaceChangeWatch watch;
        QVERIFY(watch.changedSinceLastLook());
        QVERIFY(!watch.changedSinceLastLook());
        // An empty step is a look between two changes.
        for (const QString& step : change) {
            if (step.isEmpty()) {
                QVERIFY(watch.changedSinceLastLook());
                continue;
            }
            QVERIFY2(runAll({ step }, &error), qPrintable(error));
        }
        QVERIFY(watch.changedSinceLastLook());
        NetworkSandbox::ip({ QStringLiteral("link"), QStringLiteral("del"), QStringLiteral("t2") });
    }

    void recordOfTheLink()
    {
        QString error;
        QVERIFY2(runAll({ "link add t0 type veth peer name t1", "addr add 192.168.1.149/24 dev t0", "link set t0 up" },
                        &error),
                 qPrintable(error));
        EthernetGrabber grabber;
        QSignalSpy insertions(&grabber, &AbstractGrabber::sendDeviceInserted);
        grabber.refreshAvailableDevices();
        QCOMPARE(insertions.size(), 1);
        const auto info = insertions.first().first().value<QSharedPointer<MovraDeviceInfo>>();
        QVERIFY(info);
        QCOMPARE(info->commType(), CommType::Ethernet);
        QCOMPARE(info->status(), DeviceStatus::Available);
        QCOMPARE(info->name(), QStringLiteral("Microscope Driver"));
        QCOMPARE(info->serialNumber(), QStringLiteral("192.168.1.149"));
        QCOMPARE(info->uid(), QString());
        QCOMPARE(info->driverType(), DriverType::Undefined);
    }
};

MOVRA_NETWORK_SANDBOX_MAIN(TestEthernetGrabber, QCoreApplication)
#include "tst_ethernetgrabber.moc"
