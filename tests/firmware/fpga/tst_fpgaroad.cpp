#include "tests/e2e/UsbInstrument.h"
#include "tests/firmware/fpga/McsFixture.h"
#include "tests/firmware/fpga/UsbFpgaBoard.h"
#include "tests/firmware/updater/UpdaterRig.h"

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

} // namespace

// A two-colour microscope driver, and a console's channel boards on its
// service port, on the simulated USB bus under the whole program: found,
// their version read, updated from an MCS file.
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
    }

    void update_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("stuckByte");
        const int two = int(sim::FpgaBoard::Kind::TwoColorMicroscope);
        const int one = int(sim::FpgaBoard::Kind::OneColorMicroscope);
        const int console = int(sim::FpgaBoard::Kind::ConsoleChannel);
        QTest::newRow("two-colour updated") << two << false;
        QTest::newRow("two-colour CRC mismatch") << two << true;
        // In its bootloader it is a channel board (5) until the file name
        // makes its update a one-colour microscope's.
        QTest::newRow("one-colour updated") << one << false;
        QTest::newRow("console channels updated") << console << false;
        QTest::newRow("console CRC mismatch") << console << true;
    }

    void update()
    {
        QFETCH(int, kind);
        QFETCH(bool, stuckByte);
        const bool console = sim::FpgaBoard::Kind(kind) == sim::FpgaBoard::Kind::ConsoleChannel;
        const bool twoColour = sim::FpgaBoard::Kind(kind) == sim::FpgaBoard::Kind::TwoColorMicroscope;
        // A microscope's file name names it; a console channel's does not.
        const QString file = m_dir.filePath(console ? QStringLiteral("Movra-AcquisitionConsole_Firmware_V1.4.mcs")
                                                    : QStringLiteral("Movra-Microscope_Firmware_V2.8.mcs"));
        if (!QFile::exists(file))
            QVERIFY(QFile::copy(m_mcs, file));
        auto bus = QSharedPointer<SimUsbBus>::create();
        auto rig = std::make_unique<UpdaterRig>(QSharedPointer<SimulatedUsbTransports>::create(bus));
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
        if (stuckByte)
            board->core().change([](sim::FpgaBoard& b) { b.setStuckByte(0x10020, 0x00); });

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

        QCOMPARE(rig->updater->startUpdate(file, found.deviceType, found.uid, false, false), 0);
        QVERIFY(rig->waitUntil([&] { return ended(*rig); }, 60000));
        QTest::qWait(300);
        int successes = 0;
        int errors = 0;
        for (const Response& r : rig->responses) {
            successes += r.status == nsFirmware::Success;
            errors += r.status == nsFirmware::Error;
        }
        QCOMPARE(successes, stuckByte ? 0 : 1);
        QCOMPARE(errors, stuckByte ? 1 : 0);
        QTRY_COMPARE(board->core().jumped(), !stuckByte);
        if (!stuckByte)
            QCOMPARE(board->core().flash().left(m_reference.size()), m_reference);
        rig.reset();
        board.reset();
        front.reset();
    }
};

QTEST_MAIN(TestFpgaRoad)
#include "tst_fpgaroad.moc"
