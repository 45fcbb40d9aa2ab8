#include "device/serial/SerialGrabber.h"
#include "tests/device/serial/sim/TestPortList.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

using Record = QSharedPointer<MovraDeviceInfo>;

SerialPortDescription port(const QString& name, quint16 vid, quint16 pid, const QString& serial, bool hasIds = true)
{
    SerialPortDescription p;
    p.portName = name;
    p.hasVendorId = hasIds;
    p.vendorId = vid;
    p.hasProductId = hasIds;
    p.productId = pid;
    p.serialNumber = serial;
    return p;
}

void refresh(SerialGrabber& grabber)
{
    QVERIFY(QMetaObject::invokeMethod(&grabber, "refreshAvailableDevices", Qt::DirectConnection));
}

} // namespace

class TestSerialGrabber : public QObject
{
    Q_OBJECT

private slots:
    void adapters_data()
    {
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<bool>("hasIds");
        QTest::addColumn<bool>("reported");
        QTest::addColumn<int>("driverType");
        QTest::addColumn<QString>("uid");
        QTest::newRow("power meter") << 0x1AD5 << 0x0300 << "PM1" << true << true << 20 << "1AD5-0300-504D-31";
        QTest::newRow("inertial module") << 0x1915 << 0x520F << "A7" << true << true << 21 << "1915-520F-4137";
        QTest::newRow("inertial module, bootloader")
            << 0x1915 << 0x521F << "A7" << true << true << 21 << "1915-521F-4137";
        QTest::newRow("base station") << 0x1915 << 0xB007 << "Z" << true << true << 24 << "1915-B007-5A";
        QTest::newRow("stage or pump") << 0x0403 << 0x6001 << "FT1" << true << true << 255 << "0403-6001-4654-31";
        QTest::newRow("empty serial text") << 0x1915 << 0xB007 << "" << true << true << 24 << "1915-B007";
        QTest::newRow("other product") << 0x0403 << 0x6015 << "X" << true << false << 0 << "";
        QTest::newRow("other vendor") << 0x1916 << 0x520F << "X" << true << false << 0 << "";
        QTest::newRow("no ids") << 0x1915 << 0x520F << "X" << false << false << 0 << "";
    }

    void adapters()
    {
        QFETCH(int, vid);
        QFETCH(int, pid);
        QFETCH(QString, serial);
        QFETCH(bool, hasIds);
        QFETCH(bool, reported);
        QFETCH(int, driverType);
        QFETCH(QString, uid);
        auto ports = QSharedPointer<TestPortList>::create();
        ports->plug(port(QStringLiteral("ttyUSB3"), quint16(vid), quint16(pid), serial, hasIds));
        SerialGrabber grabber(ports);
        QSignalSpy inserted(&grabber, &AbstractGrabber::sendDeviceInserted);
        refresh(grabber);
        QCOMPARE(inserted.size(), reported ? 1 : 0);
        if (!reported)
            return;
        const Record record = inserted.first().at(0).value<Record>();
        QCOMPARE(record->uid(), uid);
        QCOMPARE(int(record->driverType()), driverType);
        QCOMPARE(record->commType(), CommType::Serial);
        QCOMPARE(record->status(), DeviceStatus::Available);
        QCOMPARE(record->name(), QStringLiteral("ttyUSB3"));
        QCOMPARE(record->serialNumber(), serial);
        QCOMPARE(int(record->vid()), vid);
        QCOMPARE(int(record->pid()), pid);
        // The same port at the next pass is no news.
        refresh(grabber);
        QCOMPARE(inserted.size(), 1);
    }

    // Two adapters with one uid: the first listed stands for both, and
    // neither comes or goes while one of them stays.
    void sameUid()
    {
        auto ports = QSharedPointer<TestPortList>::create();
        ports->plug(port(QStringLiteral("ttyUSB0"), 0x1915, 0x520F, QStringLiteral("S1")));
        ports->plug(port(QStringLiteral("ttyUSB1"), 0x1915, 0x520F, QStringLiteral("S1")));
        SerialGrabber grabber(ports);
        QSignalSpy inserted(&grabber, &AbstractGrabber::sendDeviceInserted);
        QSignalSpy removed(&grabber, &AbstractGrabber::sendDeviceRemoved);
        refresh(grabber);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted.first().at(0).value<Record>()->name(), QStringLiteral("ttyUSB0"));
        ports->unplug(QStringLiteral("ttyUSB0"));
        refresh(grabber);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(removed.size(), 0);
        ports->unplug(QStringLiteral("ttyUSB1"));
        refresh(grabber);
        QCOMPARE(removed.size(), 1);
    }

    // A port that goes is removed at the next pass; back, it is a new record.
    void goneAndBack()
    {
        auto ports = QSharedPointer<TestPortList>::create();
        const SerialPortDescription base = port(QStringLiteral("ttyACM0"), 0x1915, 0xB007, QStringLiteral("B"));
        const SerialPortDescription meter = port(QStringLiteral("ttyACM1"), 0x1AD5, 0x0300, QStringLiteral("M"));
        ports->plug(base);
        ports->plug(meter);
        SerialGrabber grabber(ports);
        QSignalSpy inserted(&grabber, &AbstractGrabber::sendDeviceInserted);
        QSignalSpy removed(&grabber, &AbstractGrabber::sendDeviceRemoved);
        refresh(grabber);
        QCOMPARE(inserted.size(), 2);
        const Record first = inserted.first().at(0).value<Record>();
        ports->unplug(base.portName);
        refresh(grabber);
        QCOMPARE(removed.size(), 1);
        QVERIFY(removed.first().at(0).value<Record>() == first);
        ports->plug(base);
        refresh(grabber);
        QCOMPARE(inserted.size(), 3);
        const Record again = inserted.last().at(0).value<Record>();
        QVERIFY(again != first);
        QCOMPARE(again->uid(), first->uid());
        QCOMPARE(removed.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSerialGrabber)
#include "tst_serialgrabber.moc"
