#include "firmware/core/ReplyDeadline.h"
#include "tests/firmware/fpga/UsbFpgaBoard.h"
#include "tests/support/McsFixture.h"
#include "tests/support/UpdaterRig.h"
#include "tests/support/UsbInstrument.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

using Response = UpdaterRig::Response;

bool ended(const UpdaterRig& rig)
{
    for (const Response& r : rig.responses) {
        if (r.status != nsFirmware::InProgress)
            return true;
    }
    return false;
}

int ends(const UpdaterRig& rig)
{
    int n = 0;
    for (const Response& r : rig.responses)
        n += r.status != nsFirmware::InProgress;
    return n;
}

} // namespace

// A two-colour microscope driver, and a console's channel boards on its
// service port, on the simulated USB bus under the whole program: found,
// their version read, updated from an MCS file; their failures end as
// errors, a lost console reply is sent again.
class TestFpgaRoad : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_mcs;
    QByteArray m_reference;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        McsFixture fixture;
        switch (fixture.make(m_dir.path(), 3 * sim::FpgaBoard::SectorSize + 4321, 11)) {
        case McsFixture::Outcome::ToolsMissing: QSKIP("srec_cat and objcopy make and check the MCS fixture");
        case McsFixture::Outcome::Failed: QFAIL(qPrintable(fixture.error));
        case McsFixture::Outcome::Made: break;
        }
        m_mcs = fixture.path;
        m_reference = fixture.reference;
        // The microscopes' reply time-out, shortened for the silent boards:
        // the updater builds their communicators.
        ReplyDeadline::setInitialTimeout(5000);
    }

    void cleanupTestCase() { ReplyDeadline::setInitialTimeout(0); }

    void update_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("failedStep"); // 0: success
        const int two = int(sim::FpgaBoard::Kind::TwoColorMicroscope);
        const int one = int(sim::FpgaBoard::Kind::OneColorMicroscope);
        const int console = int(sim::FpgaBoard::Kind::ConsoleChannel);
        QTest::newRow("two-colour updated") << two << "" << 0;
        QTest::newRow("two-colour CRC mismatch") << two << "stuck byte" << 4;
        QTest::newRow("two-colour stops answering") << two << "silent" << 3;
        QTest::newRow("two-colour erase fails") << two << "erase fails" << 2;
        // In its bootloader it is a channel board (5) until the file name
        // makes its update a one-colour microscope's.
        QTest::newRow("one-colour updated") << one << "" << 0;
        QTest::newRow("one-colour stops answering") << one << "silent" << 3;
        QTest::newRow("one-colour erase unanswered") << one << "erase unanswered" << 2;
        QTest::newRow("console channels updated") << console << "" << 0;
        QTest::newRow("console CRC mismatch") << console << "stuck byte" << 4;
        QTest::newRow("console erase fails") << console << "erase fails" << 2;
        // Sent again after 5 s, and the update goes on.
        QTest::newRow("console erase reply lost") << console << "lost erase" << 0;
        QTest::newRow("console acknowledgement lost") << console << "lost ack" << 0;
    }

    void update()
    {
        QFETCH(int, kind);
        QFETCH(QString, fault);
        QFETCH(int, failedStep);
        const bool success = failedStep == 0;
        const bool console = sim::FpgaBoard::Kind(kind) == sim::FpgaBoard::Kind::ConsoleChannel;
        const bool twoColour = sim::FpgaBoard::Kind(kind) == sim::FpgaBoard::Kind::TwoColorMicroscope;
        // A microscope's file name names it; a console channel's does not.
        const QString file = m_dir.filePath(console ? QStringLiteral("Movra-AcquisitionConsole_Firmware_V1.4.mcs")
                                                    : QStringLiteral("Movra-Microscope_Firmware_V2.8.mcs"));
        if (!QFile::exists(file))
            QVERIFY(QFile::copy(m_mcs, file));
        auto bus = QSharedPointer<SimUsbBus>::create();
        auto rig = std::make_unique<UpdaterRig>(simulatedUsbTransports(bus).shared());
        std::unique_ptr<UsbFpgaBoard> front;
        if (console) {
            // The console on its main port first; the user then moves the
            // cable and its channel boards answer on the service port.
            sim::FpgaBoardProfile face;
            face.identity.productId = 0xF57E;
            face.identity.release = 4;
            face.identity.product = QStringLiteral("Acquisition Console");
            face.identity.serial = QStringLiteral("AcquisitionConsole");
            front = std::make_unique<UsbFpgaBoard>(bus, face, 1, 2);
            QVERIFY(rig->waitUntil([&] { return !rig->reports.isEmpty(); }, 7000));
            front->unplug();
            rig->reports.clear();
        }
        sim::FpgaBoardProfile profile;
        profile.kind = sim::FpgaBoard::Kind(kind);
        profile.identity.productId = 0xF676;
        profile.identity.release = 2;
        profile.identity.product = QStringLiteral("Movra Bootloader");
        profile.identity.serial = console     ? QStringLiteral("Console Channel")
                                  : twoColour ? QStringLiteral("Microscope2")
                                              : QStringLiteral("Microscope");
        auto board = std::make_unique<UsbFpgaBoard>(bus, profile, 2, 4);
        board->core().change([&fault](sim::FpgaBoard& b) {
            if (fault == "stuck byte")
                b.setStuckByte(0x10020, 0x00);
            else if (fault == "silent")
                b.stopAnsweringAfter(20);
            else if (fault == "erase fails")
                b.setEraseAlwaysFails(true);
            else if (fault == "erase unanswered")
                b.stopAnsweringAtErase();
            else if (fault == "lost erase")
                b.loseEraseReply(2);
            else if (fault == "lost ack")
                b.loseAcknowledgement(10);
        });

        QVERIFY(rig->waitUntil(
            [&] {
                return !rig->reports.isEmpty() && !rig->reports.last().seen.bootloaderVersion.isEmpty()
                       && rig->reports.last().seen.bootloaderVersion != QStringLiteral("2.0");
            },
            7000));
        const nsUpdater::DeviceCommunicationInfo found = rig->reports.last().seen;
        QCOMPARE(found.uid, board->uid());
        QCOMPARE(found.deviceType, int(twoColour ? nsUpdater::GQZ2 : nsUpdater::Channels));
        QCOMPARE(found.bootloaderVersion, QStringLiteral("2.7"));

        QCOMPARE(rig->updater->startUpdate(file, found.deviceType, found.uid, false, false),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(rig->waitUntil([&] { return ended(*rig); }, 60000));
        // A second end within 300 ms would show here.
        QVERIFY(!rig->waitUntil([&] { return ends(*rig) > 1; }, 300));
        int successes = 0;
        int errors = 0;
        for (const Response& r : rig->responses) {
            successes += r.status == nsFirmware::Success;
            errors += r.status == nsFirmware::Error;
            if (r.status == nsFirmware::Error)
                QCOMPARE(r.msg, failedStep);
        }
        QCOMPARE(successes, success ? 1 : 0);
        QCOMPARE(errors, success ? 0 : 1);
        QVERIFY(board->waitUntil([&] { return board->core().jumped() == success; }, 5000));
        if (success) {
            QCOMPARE(board->core().flash().left(m_reference.size()), m_reference);
            QCOMPARE(board->core().crcRange(), qMakePair(0u, quint32(m_reference.size())));
        }
        rig.reset();
        board.reset();
        front.reset();
    }
};

QTEST_MAIN(TestFpgaRoad)
#include "tst_fpgaroad.moc"
