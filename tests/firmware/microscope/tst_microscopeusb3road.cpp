#include "tests/e2e/UsbInstrument.h"
#include "tests/firmware/microscope/UsbMicroscope.h"
#include "tests/firmware/updater/UpdaterRig.h"
#include "tests/support/IntelHex.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(UpdaterRig::Response)

namespace {

bool versionsComplete(const UpdaterRig& rig, const QString& uid)
{
    for (const UpdaterRig::Report& r : rig.reportsOf(uid)) {
        if (r.seen.bootloaderVersion != "N/A" && !r.seen.bootloaderVersion.isEmpty() && r.seen.channelVersion != "N/A"
            && !r.seen.channelVersion.isEmpty())
            return true;
    }
    return false;
}

} // namespace

// A USB 3 microscope driver on the simulated bus under the whole program:
// found at SuperSpeed, its versions read through register frames on its
// bulk endpoints, and reported to the view.
class TestMicroscopeUSB3Road : public QObject
{
    Q_OBJECT

private slots:
    void versionsRead_data()
    {
        QTest::addColumn<int>("release");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("driver");
        QTest::addColumn<QStringList>("versions"); // motherboard, channel, bootloader
        QTest::newRow("single, type 12, driver major 5")
            << 8 << 12 << QByteArray("\x05\x02\x00\x00\x07", 5) << QStringList { "5.2.7", "1.4.3", "2.6" };
        QTest::newRow("dual, type 13, driver major 1")
            << 10 << 13 << QByteArray("\x01\x09\x00\x00\x03", 5) << QStringList { "1.9.3", "1.4.3", "2.6" };
    }
    void versionsRead()
    {
        QFETCH(int, release);
        QFETCH(int, type);
        QFETCH(QByteArray, driver);
        QFETCH(QStringList, versions);
        auto bus = QSharedPointer<SimUsbBus>::create();
        sim::Usb3Microscope::Versions v;
        v.driver = driver;
        auto microscope = std::make_unique<UsbMicroscope>(bus, quint16(release), v);
        auto rig = std::make_unique<UpdaterRig>(QSharedPointer<SimulatedUsbTransports>::create(bus));

        const QString uid = microscope->uid();
        QVERIFY(rig->waitUntil([&] { return versionsComplete(*rig, uid); }, 10000));
        const nsUpdater::DeviceCommunicationInfo seen = rig->reportsOf(uid).last().seen;
        QCOMPARE(int(seen.deviceType), type);
        QCOMPARE((QStringList { seen.motherboardVersion, seen.channelVersion, seen.bootloaderVersion }), versions);
        // Every frame the program sent passed the driver's own checks, and
        // the driver's version came from the register read.
        QCOMPARE(microscope->with([](sim::Usb3Microscope& d) { return d.rejectedFrames(); }), 0);
        QVERIFY(microscope->with([](sim::Usb3Microscope& d) { return d.registerReads(); }) >= 1);

        rig.reset();
        microscope.reset();
        QCOMPARE(bus->errors(), QStringList());
    }

    // The channel behind the driver updated from a HEX file through the
    // whole program; its flash ends equal to the image only on success.
    void channelUpdated_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<UpdaterRig::Response>("last");
        QTest::newRow("updated") << "" << UpdaterRig::Response { 26, 2, 100 };
        QTest::newRow("CRC mismatch") << "stuck byte" << UpdaterRig::Response { 26, 1, -1 };
        QTest::newRow("erase status error") << "erase error" << UpdaterRig::Response { 24, 1, 15 };
    }
    void channelUpdated()
    {
        QFETCH(QString, fault);
        QFETCH(UpdaterRig::Response, last);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QByteArray image(5000, '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char((i * 53 + 7) & 0xFF);
        const QString path = dir.filePath(QStringLiteral("channel.hex"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(IntelHex::file({ { 0u, image } }, 16));
        }
        QByteArray reference(sim::Usb3Channel::FlashSize, char(0xFF));
        reference.replace(0, image.size(), image);

        auto bus = QSharedPointer<SimUsbBus>::create();
        auto microscope = std::make_unique<UsbMicroscope>(bus, quint16(8));
        microscope->with([&](sim::Usb3Microscope& d) {
            if (fault == "stuck byte")
                d.channel().setStuckByte(4321, char(~image.at(4321)));
            else if (fault == "erase error")
                d.channel().setEraseStatus(3);
            return 0;
        });
        auto rig = std::make_unique<UpdaterRig>(QSharedPointer<SimulatedUsbTransports>::create(bus));
        const QString uid = microscope->uid();
        QVERIFY(rig->waitUntil([&] { return versionsComplete(*rig, uid); }, 10000));

        QCOMPARE(rig->updater->startUpdate(path, 12, uid, false, false), 0);
        const auto ended = [&] {
            for (const UpdaterRig::Response& r : rig->responses) {
                if (r.status != 0)
                    return true;
            }
            return false;
        };
        QVERIFY(rig->waitUntil(ended, 30000));
        QTest::qWait(200);
        QCOMPARE(rig->responses.last(), last);
        for (const UpdaterRig::Response& r : rig->responses)
            QVERIFY(r.status != 2 || last.status == 2);

        const bool updated = last.status == 2;
        const QByteArray flash = microscope->with([](sim::Usb3Microscope& d) { return d.channel().flash(); });
        QCOMPARE(microscope->with([](sim::Usb3Microscope& d) { return d.rejectedFrames(); }), 0);
        QCOMPARE(microscope->with([](sim::Usb3Microscope& d) { return d.channel().rejectedFrames(); }), 0);
        QCOMPARE(microscope->with([](sim::Usb3Microscope& d) { return d.channel().jumped(); }), updated);
        if (updated)
            QCOMPARE(flash.toHex(), reference.toHex());
        else
            QVERIFY(flash != reference);

        rig.reset();
        microscope.reset();
        QCOMPARE(bus->errors(), QStringList());
    }
};

QTEST_MAIN(TestMicroscopeUSB3Road)
#include "tst_microscopeusb3road.moc"
