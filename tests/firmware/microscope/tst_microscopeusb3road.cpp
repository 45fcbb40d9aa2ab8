#include "firmware/core/ReplyDeadline.h"
#include "tests/firmware/microscope/UsbMicroscope.h"
#include "tests/support/IntelHex.h"
#include "tests/support/UpdaterRig.h"
#include "tests/support/UsbInstrument.h"

#include <QTemporaryDir>
#include <QThread>
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

bool ended(const UpdaterRig& rig)
{
    for (const UpdaterRig::Response& r : rig.responses) {
        if (r.status != nsFirmware::InProgress)
            return true;
    }
    return false;
}

// 5000 bytes of the channel's firmware at byte address at, as a HEX file of
// 16-byte records, and the channel's flash it must leave.
bool writeChannelFile(const QString& path, quint32 at, QByteArray* reference)
{
    QByteArray image(5000, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 53 + 7) & 0xFF);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(IntelHex::file({ { at, image } }, 16));
    *reference = QByteArray(sim::Usb3Channel::FlashSize, char(0xFF));
    reference->replace(int(at), image.size(), image);
    return true;
}

} // namespace

// A USB 3 microscope driver on the simulated bus under the whole program:
// found at SuperSpeed, its versions read through register frames on its
// bulk endpoints, and reported to the view.
class TestMicroscopeUSB3Road : public QObject
{
    Q_OBJECT

private slots:
    // A channel that stops answering is given up on sooner.
    void initTestCase() { ReplyDeadline::setInitialTimeout(1500); }
    void cleanupTestCase() { ReplyDeadline::setInitialTimeout(0); }

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
        auto rig = std::make_unique<UpdaterRig>(simulatedUsbTransports(bus).shared());

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
    // whole program; its flash ends equal to the image only on success. An
    // image away from address 0 shows that the CRC request's start is
    // counted in words, as the channel counts its addresses.
    void channelUpdated_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<quint32>("at");
        QTest::addColumn<UpdaterRig::Response>("last");
        QTest::newRow("updated") << "" << 0u << UpdaterRig::Response { 26, 2, 100 };
        QTest::newRow("updated, image at 0x1000") << "" << 0x1000u << UpdaterRig::Response { 26, 2, 100 };
        QTest::newRow("CRC mismatch") << "stuck byte" << 0u << UpdaterRig::Response { 26, 1, -1 };
        QTest::newRow("erase status error") << "erase error" << 0u << UpdaterRig::Response { 24, 1, 15 };
        // The erase and the first packet answered, the second not.
        QTest::newRow("stops answering") << "silent" << 0x1000u << UpdaterRig::Response { 25, 1, -1 };
    }
    void channelUpdated()
    {
        QFETCH(QString, fault);
        QFETCH(quint32, at);
        QFETCH(UpdaterRig::Response, last);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("channel.hex"));
        QByteArray reference;
        QVERIFY(writeChannelFile(path, at, &reference));

        auto bus = QSharedPointer<SimUsbBus>::create();
        auto microscope = std::make_unique<UsbMicroscope>(bus, quint16(8));
        microscope->with([&](sim::Usb3Microscope& d) {
            if (fault == "stuck byte")
                d.channel().setStuckByte(int(at) + 4321, char(~reference.at(int(at) + 4321)));
            else if (fault == "erase error")
                d.channel().setEraseStatus(3);
            else if (fault == "silent")
                d.channel().stopAnsweringAfter(2);
            return 0;
        });
        auto rig = std::make_unique<UpdaterRig>(simulatedUsbTransports(bus).shared());
        const QString uid = microscope->uid();
        QVERIFY(rig->waitUntil([&] { return versionsComplete(*rig, uid); }, 10000));

        QCOMPARE(rig->updater->startUpdate(path, 12, uid, false, false), FirmwareUpdater::StartResult::Started);
        QVERIFY(rig->waitUntil([&] { return ended(*rig); }, 30000));
        QTest::qWait(200);
        QCOMPARE(rig->responses.last(), last);
        for (const UpdaterRig::Response& r : rig->responses)
            QVERIFY(r.status != 2 || last.status == 2);

        const bool updated = last.status == 2;
        const auto channelJumped = [&] {
            return microscope->with([](sim::Usb3Microscope& d) { return d.channel().jumped(); });
        };
        // The jump is sent as the success is reported.
        if (updated)
            QVERIFY(microscope->waitUntil(channelJumped, StepWait::OnItsWayMs));
        const QByteArray flash = microscope->with([](sim::Usb3Microscope& d) { return d.channel().flash(); });
        QCOMPARE(microscope->with([](sim::Usb3Microscope& d) { return d.rejectedFrames(); }), 0);
        QCOMPARE(microscope->with([](sim::Usb3Microscope& d) { return d.channel().rejectedFrames(); }), 0);
        QCOMPARE(channelJumped(), updated);
        if (updated)
            QCOMPARE(flash.toHex(), reference.toHex());
        else
            QVERIFY(flash != reference);

        rig.reset();
        microscope.reset();
        QCOMPARE(bus->errors(), QStringList());
    }

    // A second driver of the same type on the bus sends channel replies of
    // its own while the first one's channel is updated (a CRC that does not
    // match, a programming acknowledgement, an erase answer): none of them
    // drives the update, and the second channel is left as it was.
    void secondDriver()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("channel.hex"));
        QByteArray reference;
        QVERIFY(writeChannelFile(path, 0x1000, &reference));

        auto bus = QSharedPointer<SimUsbBus>::create();
        auto microscope = std::make_unique<UsbMicroscope>(bus, quint16(8));
        auto other = std::make_unique<UsbMicroscope>(bus, quint16(8), sim::Usb3Microscope::Versions(), 5, 12);
        const QByteArray otherFlash = other->with([](sim::Usb3Microscope& d) { return d.channel().flash(); });
        int injected = 0;
        // The other driver speaks while the first one's erase, first packets
        // and CRC request are under way, before their answers.
        microscope->setOnChannelWrite([&](char code) {
            if (code != 24 && code != 26 && !(code == 25 && injected < 4))
                return;
            ++injected;
            other->sendUnasked(QByteArray("\x1A\x00\x12\x34", 4));
            other->sendUnasked(QByteArray("\x19\x00", 2));
            other->sendUnasked(QByteArray("\x18\x00\x00", 3));
            QThread::msleep(20);
        });
        auto rig = std::make_unique<UpdaterRig>(simulatedUsbTransports(bus).shared());
        const QString uid = microscope->uid();
        QVERIFY(uid != other->uid());
        QVERIFY(
            rig->waitUntil([&] { return versionsComplete(*rig, uid) && versionsComplete(*rig, other->uid()); }, 10000));

        QCOMPARE(rig->updater->startUpdate(path, 12, uid, false, false), FirmwareUpdater::StartResult::Started);
        QVERIFY(rig->waitUntil([&] { return ended(*rig); }, 30000));
        QTest::qWait(300);
        // Counted in the bus's thread, under the driver's lock.
        QVERIFY(microscope->with([&](sim::Usb3Microscope&) { return injected; }) >= 5);
        QCOMPARE(rig->responses.last(), (UpdaterRig::Response { 26, 2, 100 }));
        QVERIFY(microscope->waitUntil(
            [&] { return microscope->with([](sim::Usb3Microscope& d) { return d.channel().jumped(); }); },
            StepWait::OnItsWayMs));
        QCOMPARE(microscope->with([](sim::Usb3Microscope& d) { return d.channel().flash(); }).toHex(),
                 reference.toHex());
        QVERIFY(!other->with([](sim::Usb3Microscope& d) { return d.channel().jumped(); }));
        QVERIFY(other->with([](sim::Usb3Microscope& d) { return d.channel().flash(); }) == otherFlash);

        microscope->setOnChannelWrite({});
        rig.reset();
        microscope.reset();
        other.reset();
        QCOMPARE(bus->errors(), QStringList());
    }
};

QTEST_MAIN(TestMicroscopeUSB3Road)
#include "tst_microscopeusb3road.moc"
