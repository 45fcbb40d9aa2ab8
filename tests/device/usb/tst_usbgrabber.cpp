#include "device/usb/USBGrabber.h"
#include "tests/device/usb/sim/SimUsbBus.h"

#include <QtTest>

namespace {

SimUsbDeviceSetup deviceAt(quint8 port, quint8 address = 5)
{
    SimUsbDeviceSetup setup;
    setup.bus = 1;
    setup.port = port;
    setup.address = address;
    return setup;
}

} // namespace

// Runs each look for devices directly in the test thread and keeps one
// line per announcement, in order.
class TestUsbGrabber : public QObject
{
    Q_OBJECT

private:
    QSharedPointer<SimUsbBus> m_bus;
    QSharedPointer<USBGrabber> m_grabber;
    QStringList m_events;
    QList<QSharedPointer<MovraDeviceInfo>> m_inserted;

    void makeGrabber()
    {
        m_grabber = QSharedPointer<USBGrabber>::create(m_bus);
        connect(m_grabber.data(), &AbstractGrabber::sendDeviceInserted, this,
                [this](QSharedPointer<MovraDeviceInfo> d) {
                    m_events << "in " + d->uid();
                    m_inserted << d;
                });
        connect(m_grabber.data(), &AbstractGrabber::sendDeviceRemoved, this,
                [this](QSharedPointer<MovraDeviceInfo> d) { m_events << "out " + d->uid(); });
    }

    void look()
    {
        QVERIFY(QMetaObject::invokeMethod(m_grabber.data(), "refreshAvailableDevices", Qt::DirectConnection));
    }

private slots:
    void init()
    {
        m_bus = QSharedPointer<SimUsbBus>::create();
        m_events.clear();
        m_inserted.clear();
        makeGrabber();
    }

    void cleanup()
    {
        m_grabber.reset();
        QCOMPARE(m_bus->errors(), QStringList());
        QCOMPARE(m_bus->outstanding(), QStringList());
    }

    void acceptedDevices_data()
    {
        QTest::addColumn<int>("vendorId");
        QTest::addColumn<int>("productId");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("04D8 F676") << 0x04D8 << 0xF676 << true;
        QTest::newRow("04D8 F677") << 0x04D8 << 0xF677 << true;
        QTest::newRow("04D8 F678") << 0x04D8 << 0xF678 << false;
        QTest::newRow("04D8 F222") << 0x04D8 << 0xF222 << true;
        QTest::newRow("04D8 F810") << 0x04D8 << 0xF810 << true;
        QTest::newRow("04B4 00F0") << 0x04B4 << 0x00F0 << false;
        QTest::newRow("04B4 00F1") << 0x04B4 << 0x00F1 << true;
        QTest::newRow("04B4 00F5") << 0x04B4 << 0x00F5 << false;
        QTest::newRow("04B4 4720") << 0x04B4 << 0x4720 << true;
        QTest::newRow("0EB9 00F4") << 0x0EB9 << 0x00F4 << true;
        QTest::newRow("0EB9 4720") << 0x0EB9 << 0x4720 << false;
        QTest::newRow("other vendor F676") << 0x1234 << 0xF676 << false;
    }

    void acceptedDevices()
    {
        QFETCH(int, vendorId);
        QFETCH(int, productId);
        QFETCH(bool, accepted);
        QCOMPARE(USBGrabber::isSupportedDevice(quint16(vendorId), quint16(productId)), accepted);
        SimUsbDeviceSetup setup = deviceAt(3);
        setup.vendorId = quint16(vendorId);
        setup.productId = quint16(productId);
        m_bus->plug(setup);
        look();
        QCOMPARE(m_inserted.size(), accepted ? 1 : 0);
    }

    void recordFromDevice_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("commType");
        QTest::newRow("super plus") << int(LIBUSB_SPEED_SUPER_PLUS) << int(CommType::USB3);
        QTest::newRow("super") << int(LIBUSB_SPEED_SUPER) << int(CommType::USB3);
        QTest::newRow("high") << int(LIBUSB_SPEED_HIGH) << int(CommType::USB);
        QTest::newRow("full") << int(LIBUSB_SPEED_FULL) << int(CommType::USB);
    }

    void recordFromDevice()
    {
        QFETCH(int, speed);
        QFETCH(int, commType);
        SimUsbDeviceSetup setup = deviceAt(3, 5);
        setup.speed = speed;
        setup.bcdDevice = 0x0205;
        setup.product = QStringLiteral("Light Source");
        setup.serial = QStringLiteral("2.1");
        m_bus->plug(setup);
        look();
        QCOMPARE(m_inserted.size(), 1);
        const auto d = m_inserted.first();
        QCOMPARE(d->uid(), QStringLiteral("04D8-F57E-0103-05"));
        QCOMPARE(d->serialNumber(), d->uid());
        QCOMPARE(int(d->commType()), commType);
        QCOMPARE(d->status(), DeviceStatus::AvailableUSB);
        QCOMPARE(d->vid(), quint16(0x04D8));
        QCOMPARE(d->pid(), quint16(0xF57E));
        QCOMPARE(d->releaseNumber(), quint16(0x0205));
        QCOMPARE(d->name(), QStringLiteral("Light Source"));
        QCOMPARE(d->channelFirmware(), QByteArray("2.1"));
        QCOMPARE(d->motherboardFirmware(), QByteArray("2.1"));
        QCOMPARE(d->driverType(), DriverType::Undefined);
        QCOMPARE(d->channelCount(), -1);
        QCOMPARE(m_bus->logLevel(), int(LIBUSB_LOG_LEVEL_NONE));
    }

    void knownDeviceAnnouncedOnce()
    {
        m_bus->plug(deviceAt(3));
        look();
        look();
        QCOMPARE(m_events, QStringList { "in 04D8-F57E-0103-05" });
    }

    void identicalInstrumentsOnTwoPorts()
    {
        m_bus->plug(deviceAt(3));
        m_bus->plug(deviceAt(4));
        look();
        QCOMPARE(m_events, QStringList({ "in 04D8-F57E-0103-05", "in 04D8-F57E-0104-05" }));
    }

    void portMoveRemovesBeforeInserting()
    {
        auto a = m_bus->plug(deviceAt(3));
        auto b = m_bus->plug(deviceAt(6));
        look();
        m_events.clear();
        m_bus->unplug(b);
        m_bus->move(a, 4);
        look();
        QCOMPARE(m_events, QStringList({ "out 04D8-F57E-0103-05", "out 04D8-F57E-0106-05", "in 04D8-F57E-0104-05" }));
    }

    void reenumerationIsANewDevice()
    {
        auto a = m_bus->plug(deviceAt(3, 5));
        look();
        m_events.clear();
        m_bus->reenumerate(a, 9, 0xF676, QStringLiteral("Bootloader"), QStringLiteral("0.9"));
        look();
        QCOMPARE(m_events, QStringList({ "out 04D8-F57E-0103-05", "in 04D8-F676-0103-09" }));
        QCOMPARE(m_inserted.last()->name(), QStringLiteral("Bootloader"));
        QCOMPARE(m_inserted.last()->channelFirmware(), QByteArray("0.9"));
    }

    void unreadableDeviceAnnouncedWithEmptyTexts_data()
    {
        QTest::addColumn<int>("openError");
        QTest::addColumn<int>("stringError");
        QTest::addColumn<bool>("hasStrings");
        QTest::newRow("cannot be opened") << int(LIBUSB_ERROR_ACCESS) << 0 << true;
        QTest::newRow("strings fail") << 0 << int(LIBUSB_ERROR_PIPE) << true;
        QTest::newRow("no strings") << 0 << 0 << false;
    }

    void unreadableDeviceAnnouncedWithEmptyTexts()
    {
        QFETCH(int, openError);
        QFETCH(int, stringError);
        QFETCH(bool, hasStrings);
        // A readable device first, so a stale buffer would show.
        m_bus->plug(deviceAt(2));
        SimUsbDeviceSetup setup = deviceAt(3);
        setup.openError = openError;
        setup.stringError = stringError;
        if (!hasStrings) {
            setup.product.clear();
            setup.serial.clear();
        }
        m_bus->plug(setup);
        look();
        QCOMPARE(m_inserted.size(), 2);
        QCOMPARE(m_inserted.at(0)->name(), QStringLiteral("Sim device"));
        const auto d = m_inserted.at(1);
        QCOMPARE(d->uid(), QStringLiteral("04D8-F57E-0103-05"));
        QVERIFY(d->name().isEmpty());
        QVERIFY(d->channelFirmware().isEmpty());
        QVERIFY(d->motherboardFirmware().isEmpty());
    }

    void unreadableDescriptorCountsAsGone()
    {
        m_bus->plug(deviceAt(3));
        SimUsbDeviceSetup broken = deviceAt(4);
        broken.descriptorError = LIBUSB_ERROR_IO;
        m_bus->plug(broken);
        look();
        QCOMPARE(m_events, QStringList { "in 04D8-F57E-0103-05" });
    }

    void failedListingRemovesAllAndFreesNothing()
    {
        m_bus->plug(deviceAt(3));
        look();
        auto first = m_inserted.first();
        m_bus->failNextDeviceList(LIBUSB_ERROR_NO_MEM);
        look();
        QCOMPARE(m_events, QStringList({ "in 04D8-F57E-0103-05", "out 04D8-F57E-0103-05" }));
        look();
        QCOMPARE(m_events.size(), 3);
        QCOMPARE(m_inserted.size(), 2);
        QVERIFY(m_inserted.last() != first);
    }

    void failedInitLeavesGrabberInert()
    {
        m_grabber.reset();
        m_bus->setInitError(LIBUSB_ERROR_OTHER);
        m_bus->plug(deviceAt(3));
        makeGrabber();
        look();
        look();
        QVERIFY(m_events.isEmpty());
        m_grabber.reset();
        QCOMPARE(m_bus->initCount(), 1); // the grabber of init() only
    }
};

QTEST_GUILESS_MAIN(TestUsbGrabber)
#include "tst_usbgrabber.moc"
