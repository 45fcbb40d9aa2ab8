#include "device/camera/aravis/GigEDiscoveryProbe.h"
#include "tests/device/camera/sim/PrivateNetwork.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>
#include <QtTest>

namespace {

// A discovery acknowledgement as a camera sends it: status, answer code,
// payload length, acknowledgement id, then the payload, which holds the MAC
// address at bytes 10 to 15.
QByteArray acknowledgement(quint16 status, quint16 answer, quint16 length, int payloadSize)
{
    QByteArray datagram(8, '\0');
    qToBigEndian<quint16>(status, datagram.data());
    qToBigEndian<quint16>(answer, datagram.data() + 2);
    qToBigEndian<quint16>(length, datagram.data() + 4);
    qToBigEndian<quint16>(0xffff, datagram.data() + 6);
    for (int i = 0; i < payloadSize; ++i)
        datagram.append(char(i));
    return datagram;
}

} // namespace

// The GigE Vision cameras' answers to discovery, read from their replies and
// gathered from Aravis's simulated GigE camera in a network namespace of the
// test's own.
class TestGigEDiscoveryProbe : public QObject
{
    Q_OBJECT

public:
    explicit TestGigEDiscoveryProbe(const QString& noNetworkReason)
        : m_noNetworkReason(noNetworkReason)
    {
    }

private:
    QString m_noNetworkReason;

private slots:
    void repliesRead_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<bool>("answer");
        QTest::newRow("acknowledgement") << acknowledgement(0, 0x0003, 248, 248) << true;
        QTest::newRow("longer than its payload") << acknowledgement(0, 0x0003, 248, 260) << true;
        QTest::newRow("header cut short") << acknowledgement(0, 0x0003, 248, 248).left(7) << false;
        QTest::newRow("error status") << acknowledgement(0x8001, 0x0003, 248, 248) << false;
        QTest::newRow("another answer") << acknowledgement(0, 0x0081, 248, 248) << false;
        QTest::newRow("payload cut short") << acknowledgement(0, 0x0003, 248, 200) << false;
        QTest::newRow("no room for the MAC") << acknowledgement(0, 0x0003, 12, 12) << false;
    }

    void repliesRead()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(bool, answer);
        const auto read = GigEDiscoveryProbe::readAnswer(datagram);
        QCOMPARE(read.has_value(), answer);
        if (!answer)
            return;
        QCOMPARE(read->reply, datagram.mid(8, 248));
        QCOMPARE(read->mac, QByteArray::fromHex("0a0b0c0d0e0f"));
    }

    void cameraAnswersWhileItRuns()
    {
        if (!m_noNetworkReason.isEmpty())
            QSKIP(qPrintable(m_noNetworkReason));
        const QString server = QStandardPaths::findExecutable(QStringLiteral("arv-fake-gv-camera-0.8"));
        if (server.isEmpty())
            QSKIP("arv-fake-gv-camera-0.8 (package aravis-tools) is not installed");

        GigEDiscoveryProbe probe;
        QVERIFY(probe.look().cameras.isEmpty());

        QProcess camera;
        camera.start(server, { "-i", "127.0.0.1", "-s", "FACE5" });
        QVERIFY(camera.waitForStarted());
        // The camera listens a moment after it started.
        GigEDiscoveryProbe::Answers answers;
        QTRY_VERIFY_WITH_TIMEOUT(!(answers = probe.look()).cameras.isEmpty(), 20000);
        QCOMPARE(answers.cameras.size(), 1);
        QCOMPARE(answers.replies.size(), 1);
        QVERIFY(answers.replies.begin()->contains("FACE5"));
        // Asked again, the camera answers again alike (on a loaded machine
        // an answer may come after its look's second and count at the next).
        QTRY_COMPARE_WITH_TIMEOUT(probe.look().replies, answers.replies, 20000);

        camera.terminate();
        QVERIFY(camera.waitForFinished());
        // A look reads the answers to the request of the look before, which
        // the camera may still have answered.
        probe.look();
        QVERIFY(probe.look().cameras.isEmpty());
    }
};

int main(int argc, char** argv)
{
    const QString noNetworkReason = enterPrivateNetwork();
    QCoreApplication app(argc, argv);
    TestGigEDiscoveryProbe test(noNetworkReason);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_gigediscoveryprobe.moc"
