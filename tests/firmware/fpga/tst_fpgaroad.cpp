#include "tests/e2e/UsbInstrument.h"
#include "tests/firmware/fpga/UsbFpgaBoard.h"
#include "tests/firmware/updater/UpdaterRig.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

using Response = UpdaterRig::Response;

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

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
        const QString srecCat = QStandardPaths::findExecutable(QStringLiteral("srec_cat"));
        const QString objcopy = QStandardPaths::findExecutable(QStringLiteral("objcopy"));
        if (srecCat.isEmpty() || objcopy.isEmpty())
            QSKIP("srec_cat and objcopy make and check the MCS fixture");
        QByteArray image(3 * sim::FpgaBoard::SectorSize + 4321, 0);
        QRandomGenerator random(11);
        for (char& c : image)
            c = char(random.bounded(256));
        const QString bin = m_dir.filePath(QStringLiteral("image.bin"));
        QFile file(bin);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(image);
        file.close();
        m_mcs = m_dir.filePath(QStringLiteral("image.mcs"));
        QVERIFY(run(srecCat, { bin, "-binary", "-o", m_mcs, "-intel", "-output_block_size=16", "-address-length=4" }));
        const QString back = m_dir.filePath(QStringLiteral("back.bin"));
        QVERIFY(run(objcopy, { "-I", "ihex", "-O", "binary", m_mcs, back }));
        QFile reference(back);
        QVERIFY(reference.open(QIODevice::ReadOnly));
        m_reference = reference.readAll();
        QCOMPARE(m_reference, image);
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
            QVERIFY(QTest::qWaitFor([&] { return !rig->reports.isEmpty(); }, 7000));
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

        QVERIFY(QTest::qWaitFor(
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
        QVERIFY(QTest::qWaitFor([&] { return ended(*rig); }, 60000));
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
