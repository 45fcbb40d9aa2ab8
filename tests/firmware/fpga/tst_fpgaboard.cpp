#include "firmware/fpga/ConsoleChannelCommunicator.h"
#include "firmware/fpga/Microscope1ColorCommunicator.h"
#include "firmware/fpga/Microscope2ColorCommunicator.h"
#include "tests/firmware/fpga/sim/SimFpgaBoard.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/McsFixture.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

using Kind = sim::FpgaBoard::Kind;

QSharedPointer<MovraDeviceInfo> boardDevice(Kind kind)
{
    // Release 2: replies without the bootloader's prefix byte.
    return DeviceRecordBuilder::on(CommType::USB)
        .uid(QStringLiteral("04D8-F676-0201-03"))
        .name(QStringLiteral("Bootloader"))
        .release(2)
        .channelFirmware(kind == Kind::TwoColorMicroscope
                             ? "Microscope2"
                             : (kind == Kind::ConsoleChannel ? "Console Channel" : "Microscope"))
        .build();
}

} // namespace

// Whole updates of the three FPGA boards: the board's own parser, CRC and
// flash decide whether an update worked, and a failure is never success.
class TestFpgaBoard : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_mcs;
    QByteArray m_reference;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Five 64 KiB sectors and a part of a sixth, as a bitstream file has.
        McsFixture fixture;
        switch (fixture.make(m_dir.path(), 5 * sim::FpgaBoard::SectorSize + 12345, 2112)) {
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
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("success");

        const int console = int(Kind::ConsoleChannel);
        const int one = int(Kind::OneColorMicroscope);
        const int two = int(Kind::TwoColorMicroscope);
        QTest::newRow("console") << console << "" << true;
        QTest::newRow("one-colour") << one << "" << true;
        QTest::newRow("two-colour") << two << "" << true;
        QTest::newRow("console lost acknowledgement") << console << "lost ack" << true;
        QTest::newRow("console lost erase reply") << console << "lost erase" << true;
        QTest::newRow("console CRC mismatch") << console << "stuck byte" << false;
        QTest::newRow("two-colour CRC mismatch") << two << "stuck byte" << false;
        QTest::newRow("console erase fails") << console << "erase fails" << false;
        QTest::newRow("two-colour erase fails") << two << "erase fails" << false;
        QTest::newRow("two-colour stops answering") << two << "silent" << false;
        QTest::newRow("one-colour stops answering") << one << "silent" << false;
    }

    void update()
    {
        QFETCH(int, kind);
        QFETCH(QString, fault);
        QFETCH(bool, success);

        sim::FpgaBoard board(Kind(kind), 8);
        if (fault == "lost ack")
            board.loseAcknowledgement(40);
        else if (fault == "stuck byte")
            board.setStuckByte(0x20010, 0x00);
        else if (fault == "erase fails")
            board.setEraseAlwaysFails(true);
        else if (fault == "lost erase")
            board.loseEraseReply(3);
        else if (fault == "silent")
            board.stopAnsweringAfter(30);

        std::unique_ptr<AbstractFirmwareCommunicator> communicator;
        if (Kind(kind) == Kind::ConsoleChannel) {
            auto c = std::make_unique<ConsoleChannelCommunicator>();
            c->setRetryTimingForTest(50, 5);
            c->setEraseRetryLimitForTest(4);
            communicator = std::move(c);
        } else if (Kind(kind) == Kind::OneColorMicroscope) {
            auto c = std::make_unique<Microscope1ColorCommunicator>();
            c->setReplyTimeout(300);
            communicator = std::move(c);
        } else {
            auto c = std::make_unique<Microscope2ColorCommunicator>();
            c->setReplyTimeout(300);
            c->setEraseRetryLimitForTest(4);
            communicator = std::move(c);
        }
        AbstractFirmwareCommunicator* c = communicator.get();
        const auto device = boardDevice(Kind(kind));
        // Replies come back later, as from a transport.
        connect(c, &AbstractFirmwareCommunicator::sendCommandToDevice, c,
                [&board, c](QSharedPointer<MovraDeviceInfo> to, QByteArray data) {
                    for (const QByteArray& reply : board.receive(data))
                        QMetaObject::invokeMethod(
                            c, [c, to, reply] { c->onCommandReceivedFromDevice(to, reply); }, Qt::QueuedConnection);
                });
        int programFrames = 0;
        int eraseFrames = 0;
        connect(c, &AbstractFirmwareCommunicator::sendCommandToDevice, c,
                [&programFrames, &eraseFrames](QSharedPointer<MovraDeviceInfo>, QByteArray data) {
                    programFrames += data.size() > 1 && data.at(1) == 3 ? 1 : 0;
                    eraseFrames += data.size() > 1 && data.at(1) == 2 ? 1 : 0;
                });
        QList<QPair<int, int>> ends; // step, status
        connect(c, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater, c,
                [&ends](char step, nsFirmware::MessageStatus status, int) {
                    if (status != nsFirmware::InProgress)
                        ends.append({ int(step), int(status) });
                });

        QVERIFY(c->updateFirmware(m_mcs, device, {}));
        QTRY_VERIFY_WITH_TIMEOUT(!ends.isEmpty(), 30000);
        QTest::qWait(400); // nothing more may follow
        QCOMPARE(ends.size(), 1);
        QCOMPARE(ends.first().second == nsFirmware::Success, success);
        QCOMPARE(board.jumped(), success);
        QCOMPARE(board.badFrames(), 0);
        QCOMPARE(c->isUpdating(), 0);
        if (success)
            QCOMPARE(board.flash().left(m_reference.size()), m_reference);
        // The step that failed.
        if (fault == "erase fails")
            QCOMPARE(ends.first().first, 2);
        if (fault == "silent")
            QCOMPARE(ends.first().first, 3);
        // One packet went twice, the second time acknowledged.
        QCOMPARE(programFrames - board.programmingPackets(), fault == "lost ack" ? 1 : 0);
        QCOMPARE(eraseFrames - board.erases(), fault == "lost erase" ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestFpgaBoard)
#include "tst_fpgaboard.moc"
