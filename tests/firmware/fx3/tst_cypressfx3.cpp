#include "firmware/fx3/CypressFX3Communicator.h"
#include "tests/firmware/fx3/sim/SimFx3Bridge.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/McsFixture.h"
#include "tests/support/sim/SimRegisterCrc.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

using Response = QPair<int, int>; // code, status

const DeviceRecordBuilder Tv720 =
    DeviceRecordBuilder::usb3(0x04B4, 0x00F2).release(9).uid(QStringLiteral("04B4-00F2-0203-04"));

// CRC-16/XMODEM, written here again.
quint16 xmodem(const QByteArray& bytes)
{
    quint16 crc = 0;
    for (char c : bytes) {
        crc ^= quint16(quint8(c)) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

const QString NA = QStringLiteral("N/A");

} // namespace

class TestCypressFX3 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_mcs;
    QByteArray m_reference;

    // The communicator's control commands go to the bridge, its answers come
    // back as the USB layer hands them on, one event later.
    struct Rig
    {
        CypressFX3Communicator c;
        sim::Fx3Bridge bridge;
        QSharedPointer<MovraDeviceInfo> device = Tv720.build();
        QList<Response> responses;
        bool answering = true;
        int answersLeft = -1;

        Rig()
        {
            QObject::connect(&c, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater, &c,
                             [this](char code, nsFirmware::MessageStatus status, int) {
                                 responses.append({ int(code), int(status) });
                             });
            QObject::connect(
                &c, &AbstractFirmwareCommunicator::sendCtrlCmdToDevice, &c,
                [this](QSharedPointer<MovraDeviceInfo>, QByteArray command) {
                    if (!answering || answersLeft == 0)
                        return;
                    if (answersLeft > 0)
                        --answersLeft;
                    const QByteArray reply = bridge.control(command);
                    if (!reply.isEmpty())
                        QMetaObject::invokeMethod(
                            &c, [this, reply] { c.onCommandReceivedFromDevice(device, reply); }, Qt::QueuedConnection);
                },
                Qt::DirectConnection);
        }
        bool ended() const
        {
            for (const Response& r : responses) {
                if (r.second != nsFirmware::InProgress)
                    return true;
            }
            return false;
        }
        int count(int status) const
        {
            int n = 0;
            for (const Response& r : responses)
                n += r.second == status;
            return n;
        }
    };

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QSharedPointer<MovraDeviceInfo>>();
        qRegisterMetaType<nsFirmware::MessageStatus>("nsFirmware::MessageStatus");
        qRegisterMetaType<nsUpdater::DeviceIdentifier>("nsUpdater::DeviceIdentifier");
        qRegisterMetaType<nsFirmware::DeviceVersions>("nsFirmware::DeviceVersions");
        QVERIFY(m_dir.isValid());
        McsFixture fixture;
        // 400 records of 16 bytes, in two 64 KiB sectors.
        switch (fixture.make(m_dir.path(), 400 * 16, 7)) {
        case McsFixture::Outcome::ToolsMissing: QSKIP("srec_cat and objcopy make and check the MCS fixture");
        case McsFixture::Outcome::Failed: QFAIL(qPrintable(fixture.error));
        case McsFixture::Outcome::Made: break;
        }
        m_mcs = fixture.path;
        m_reference = fixture.reference;
    }

    void controlVectors()
    {
        CypressFX3Communicator c;
        QSignalSpy sent(&c, &AbstractFirmwareCommunicator::sendCtrlCmdToDevice);
        QVERIFY(c.sendBootloaderCommand(1, Tv720.build()));
        QVERIFY(c.sendBootloaderCommand(5, Tv720.build()));
        QVERIFY(!c.sendBootloaderCommand(6, Tv720.build()));
        QVERIFY(!c.sendBootloaderCommand(3, Tv720.build())); // no file
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent.at(0).at(1).toByteArray().toHex(), QByteArray("0100000000001901ab8855"));
        QCOMPARE(sent.at(1).at(1).toByteArray().toHex(), QByteArray("05000000000002"));
    }

    void updateCommands()
    {
        CypressFX3Communicator c;
        QSignalSpy sent(&c, &AbstractFirmwareCommunicator::sendCtrlCmdToDevice);
        QVERIFY(!c.updateFirmware(m_dir.filePath(QStringLiteral("missing.mcs")), Tv720.build(), {}));
        QCOMPARE(sent.size(), 0);
        QVERIFY(c.updateFirmware(m_mcs, Tv720.build(), {}));
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.at(0).at(1).toByteArray().toHex(), QByteArray("02000000000005"));
        QVERIFY(c.sendBootloaderCommand(4, Tv720.build()));
        const QByteArray crc = sent.at(1).at(1).toByteArray();
        QCOMPARE(crc.size(), 7 + 13);
        QCOMPARE(crc.left(7).toHex(), QByteArray("04000000000004"));
        QCOMPARE(crc.at(7), char(4));
        const quint16 check = quint16(quint8(crc.at(18)) | quint8(crc.at(19)) << 8);
        QCOMPARE(check, xmodem(crc.mid(7, 11)));
    }

    void versionQuery()
    {
        CypressFX3Communicator c;
        QSignalSpy sent(&c, &AbstractFirmwareCommunicator::sendCommandToDevice);
        c.askForInstalledVersion(
            DeviceRecordBuilder::usb3(0x04B4, 0x00F1).release(8).uid(QStringLiteral("gqz3")).build());
        QCOMPARE(sent.size(), 0);
        c.askForInstalledVersion(Tv720.build());
        QCOMPARE(sent.size(), 1);
        const QByteArray frame = sent.first().at(1).toByteArray();
        QCOMPARE(frame.size(), 16);
        QCOMPARE(frame.left(5).toHex(), QByteArray("2308020001"));
        QCOMPARE(quint8(frame.at(5)), sim::registerCrc(frame.mid(1, 4)));
        QCOMPARE(frame.at(6), '\r');
        QCOMPARE(frame.mid(7), QByteArray(9, '\0'));
    }

    void versionReplies_data()
    {
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("versions");
        QByteArray marked(18, '\0');
        marked[3] = 13;
        marked[16] = 2;
        marked[17] = 7;
        QByteArray unmarked = marked;
        unmarked[3] = 12;
        QTest::newRow("TV720 version") << true << marked << QStringList { "7.2", NA, NA };
        QTest::newRow("without its mark") << true << unmarked << QStringList();
        QTest::newRow("too short for its version") << true << marked.left(17) << QStringList();
        QTest::newRow("boot info") << false << QByteArray("\x01\x03\x04", 3) << QStringList { NA, NA, "3.4" };
        QTest::newRow("channel") << false << QByteArray("\x16\x00\x01\x02\x03", 5) << QStringList { NA, "1.2.3", NA };
        QTest::newRow("bootloader") << false << QByteArray("\x17\x00\x02\x09\x05", 5) << QStringList { NA, NA, "2.5" };
        QTest::newRow("short bootloader") << false << QByteArray("\x17\x00\x02", 3) << QStringList();
    }

    void versionReplies()
    {
        QFETCH(bool, asked);
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, versions);
        CypressFX3Communicator c;
        QSignalSpy reports(&c, &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater);
        if (asked)
            c.askForInstalledVersion(Tv720.build());
        c.onCommandReceivedFromDevice(Tv720.build(), reply);
        QCOMPARE(reports.size(), versions.isEmpty() ? 0 : 1);
        if (versions.isEmpty())
            return;
        const auto v = reports.first().at(1).value<nsFirmware::DeviceVersions>();
        QCOMPARE(QStringList({ v.motherboardVersion, v.channelVersion, v.bootloaderVersion }), versions);
    }

    void update_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("errorCode"); // 0: success
        QTest::newRow("updated") << "" << 0;
        QTest::newRow("erase retried") << "erase fails twice" << 0;
        QTest::newRow("CRC mismatch") << "stuck byte" << 4;
        QTest::newRow("erase keeps failing") << "erase fails" << 2;
        QTest::newRow("device stops answering") << "silent" << 3;
        QTest::newRow("a second device answers") << "second device" << 2;
    }

    void update()
    {
        QFETCH(QString, fault);
        QFETCH(int, errorCode);
        Rig rig;
        rig.c.setReplyTimeout(500);
        if (fault == "erase fails twice")
            rig.bridge.failErases(1, 2);
        else if (fault == "erase fails")
            rig.bridge.failErases(1, 1000);
        else if (fault == "stuck byte")
            rig.bridge.setStuckByte(0x123, 0x00);
        else if (fault == "silent")
            rig.answersLeft = 3; // the two erases, then one programming command
        QVERIFY(rig.c.updateFirmware(
            m_mcs, fault == "second device" ? Tv720.uid(QStringLiteral("other")).build() : rig.device, {}));
        QVERIFY(QTest::qWaitFor([&] { return rig.ended(); }, 20000));
        QTest::qWait(600);
        if (errorCode == 0) {
            QCOMPARE(rig.count(nsFirmware::Error), 0);
            QCOMPARE(rig.responses.last(), Response(4, nsFirmware::Success));
            QVERIFY(rig.bridge.jumped());
            QCOMPARE(rig.bridge.flash().left(m_reference.size()).toHex(), m_reference.toHex());
            // Up to 191 records a command: 400 data records and the
            // address and end records.
            const QList<int> split = rig.bridge.recordsPerCommand();
            QVERIFY(split.size() >= 3);
            QCOMPARE(split.at(0), 191);
            QCOMPARE(split.at(1), 191);
            QVERIFY(split.at(2) >= 18);
        } else {
            QCOMPARE(rig.count(nsFirmware::Success), 0);
            QCOMPARE(rig.count(nsFirmware::Error), 1);
            QCOMPARE(rig.responses.last(), Response(errorCode, nsFirmware::Error));
            QVERIFY(!rig.bridge.jumped());
        }
        if (fault == "erase fails")
            QCOMPARE(rig.bridge.erases(), 1 + AbstractFirmwareCommunicator::MaxEraseRetries);
    }
};

QTEST_GUILESS_MAIN(TestCypressFX3)
#include "tst_cypressfx3.moc"
