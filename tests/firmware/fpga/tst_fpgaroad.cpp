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

// A two-colour microscope driver on the simulated USB bus under the whole
// program: found, its version read, updated from an MCS file.
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
        m_mcs = m_dir.filePath(QStringLiteral("Movra-Microscope2_Firmware_V2.8.mcs"));
        QVERIFY(run(srecCat, { bin, "-binary", "-o", m_mcs, "-intel", "-output_block_size=16", "-address-length=4" }));
        const QString back = m_dir.filePath(QStringLiteral("back.bin"));
        QVERIFY(run(objcopy, { "-I", "ihex", "-O", "binary", m_mcs, back }));
        QFile reference(back);
        QVERIFY(reference.open(QIODevice::ReadOnly));
        m_reference = reference.readAll();
        QCOMPARE(m_reference, image);
    }

    void twoColourUpdate_data()
    {
        QTest::addColumn<bool>("stuckByte");
        QTest::newRow("updated") << false;
        QTest::newRow("CRC mismatch") << true;
    }

    void twoColourUpdate()
    {
        QFETCH(bool, stuckByte);
        auto bus = QSharedPointer<SimUsbBus>::create();
        sim::FpgaBoardProfile profile;
        profile.kind = sim::FpgaBoard::Kind::TwoColorMicroscope;
        profile.identity.productId = 0xF676;
        profile.identity.release = 2;
        profile.identity.product = QStringLiteral("Movra Bootloader");
        profile.identity.serial = QStringLiteral("Microscope2");
        auto board = std::make_unique<UsbFpgaBoard>(bus, profile, 2, 4);
        if (stuckByte)
            board->core().change([](sim::FpgaBoard& b) { b.setStuckByte(0x10020, 0x00); });
        auto rig = std::make_unique<UpdaterRig>(QSharedPointer<SimulatedUsbTransports>::create(bus));

        QVERIFY(QTest::qWaitFor([&] { return !rig->reports.isEmpty(); }, 7000));
        const nsUpdater::DeviceCommunicationInfo found = rig->reports.last().seen;
        QCOMPARE(found.uid, board->uid());
        QCOMPARE(found.deviceType, int(nsUpdater::GQZ2));
        QCOMPARE(found.bootloaderVersion, QStringLiteral("2.7"));

        QCOMPARE(rig->updater->startUpdate(m_mcs, found.deviceType, found.uid, false, false), 0);
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
    }
};

QTEST_MAIN(TestFpgaRoad)
#include "tst_fpgaroad.moc"
