#include "firmware/core/ReplyDeadline.h"
#include "tests/firmware/fx3/UsbTv720.h"
#include "tests/support/McsFixture.h"
#include "tests/support/UpdaterRig.h"
#include "tests/support/UsbInstrument.h"

#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

// A TV720 console on the simulated bus under the whole program: its version
// read on the bulk endpoints, then its FX3 bridge updated from an MCS file
// through real vendor control transfers.
class TestTv720Road : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_mcs;
    QByteArray m_reference;

    // Waits for the console's version, starts the update from the MCS file
    // and waits for its end (an error or success), then a little longer so
    // that a late report would show.
    bool versionReadThenUpdated(UpdaterRig& rig, const QString& uid)
    {
        const auto read = [&] {
            const auto reports = rig.reportsOf(uid);
            return !reports.isEmpty() && reports.last().seen.motherboardVersion == "7.2";
        };
        if (!rig.waitUntil(read, 15000) || int(rig.reportsOf(uid).last().seen.deviceType) != 18)
            return false;
        if (rig.updater->startUpdate(m_mcs, 18, uid, false, false) != FirmwareUpdater::StartResult::Started)
            return false;
        const auto ended = [&] {
            for (const UpdaterRig::Response& r : rig.responses) {
                if (r.status != 0)
                    return true;
            }
            return false;
        };
        if (!rig.waitUntil(ended, 60000))
            return false;
        QTest::qWait(300);
        return true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        McsFixture fixture;
        // Two 64 KiB sectors.
        switch (fixture.make(m_dir.path(), 300 * 16, 5)) {
        case McsFixture::Outcome::ToolsMissing: QSKIP("srec_cat and objcopy make and check the MCS fixture");
        case McsFixture::Outcome::Failed: QFAIL(qPrintable(fixture.error));
        case McsFixture::Outcome::Made: break;
        }
        m_mcs = fixture.path;
        m_reference = fixture.reference;
        // A bridge that stops answering is given up on sooner.
        ReplyDeadline::setInitialTimeout(1500);
    }

    void cleanupTestCase() { ReplyDeadline::setInitialTimeout(0); }

    void updated_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("lastCode");
        QTest::addColumn<int>("lastStatus");
        QTest::newRow("updated") << "" << 4 << 2;
        QTest::newRow("CRC mismatch") << "stuck byte" << 4 << 1;
        QTest::newRow("erase keeps failing") << "erase" << 2 << 1;
        // Three erases (sectors 0 to 2) answered, the first programming not.
        QTest::newRow("stops answering") << "silent" << 3 << 1;
    }
    void updated()
    {
        QFETCH(QString, fault);
        QFETCH(int, lastCode);
        QFETCH(int, lastStatus);
        auto bus = QSharedPointer<SimUsbBus>::create();
        auto console = std::make_unique<UsbTv720>(bus, char(7), char(2));
        console->with([&](sim::Fx3Bridge& b) {
            if (fault == "stuck byte")
                b.setStuckByte(777, char(~m_reference.at(777)));
            else if (fault == "erase")
                b.failErases(1, 1000);
            else if (fault == "silent")
                b.stopAnsweringAfter(3);
            return 0;
        });
        auto rig = std::make_unique<UpdaterRig>(simulatedUsbTransports(bus).shared());
        const QString uid = console->uid();
        QVERIFY(versionReadThenUpdated(*rig, uid));
        QCOMPARE(rig->responses.last().msg, lastCode);
        QCOMPARE(rig->responses.last().status, lastStatus);
        for (const UpdaterRig::Response& r : rig->responses)
            QVERIFY(r.status != 2 || lastStatus == 2);

        const bool success = lastStatus == 2;
        const QByteArray flash = console->with([](sim::Fx3Bridge& b) { return b.flash(); });
        QCOMPARE(console->with([](sim::Fx3Bridge& b) { return b.jumped(); }), success);
        QCOMPARE(console->rejectedFrames(), 0);
        if (success)
            QCOMPARE(flash.left(m_reference.size()).toHex(), m_reference.toHex());
        else
            QVERIFY(flash.left(m_reference.size()) != m_reference);

        rig.reset();
        console.reset();
        QCOMPARE(bus->errors(), QStringList());
    }

    // A second TV720 on the bus sends update replies of its own while the
    // first one is updated (a CRC that does not match, a programming
    // acknowledgement, the jump's answer): none of them drives the update.
    void secondConsole()
    {
        auto bus = QSharedPointer<SimUsbBus>::create();
        auto console = std::make_unique<UsbTv720>(bus, char(7), char(2));
        auto other = std::make_unique<UsbTv720>(bus, char(7), char(1), 5, 12);
        const QByteArray otherFlash = other->with([](sim::Fx3Bridge& b) { return b.flash(); });
        int injected = 0;
        // The other console speaks while the first one's command is under
        // way, before its answer.
        console->setOnCommand([&](quint8 request) {
            if (request != 2 && request != 3)
                return;
            ++injected;
            other->sendUnasked(QByteArray("\x04\x00\x12\x34", 4));
            other->sendUnasked(QByteArray(1, 3));
            other->sendUnasked(QByteArray(1, 5));
            QThread::msleep(20);
        });
        auto rig = std::make_unique<UpdaterRig>(simulatedUsbTransports(bus).shared());
        const QString uid = console->uid();
        QVERIFY(uid != other->uid());
        QVERIFY(versionReadThenUpdated(*rig, uid));
        // Counted in the USB thread, under the console's lock.
        QVERIFY(console->with([&](sim::Fx3Bridge&) { return injected; }) >= 3);
        QCOMPARE(rig->responses.last(), (UpdaterRig::Response { 4, 2, 100 }));
        QVERIFY(console->with([](sim::Fx3Bridge& b) { return b.jumped(); }));
        QCOMPARE(console->with([](sim::Fx3Bridge& b) { return b.flash(); }).left(m_reference.size()).toHex(),
                 m_reference.toHex());
        QCOMPARE(other->with([](sim::Fx3Bridge& b) { return b.erases() + b.programCommands(); }), 0);
        QVERIFY(!other->with([](sim::Fx3Bridge& b) { return b.jumped(); }));
        QVERIFY(other->with([](sim::Fx3Bridge& b) { return b.flash(); }) == otherFlash);

        console->setOnCommand({});
        rig.reset();
        console.reset();
        other.reset();
        QCOMPARE(bus->errors(), QStringList());
    }
};

QTEST_MAIN(TestTv720Road)
#include "tst_tv720road.moc"
