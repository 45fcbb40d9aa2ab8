#include "device/CommunicatorFactory.h"
#include "firmware/core/DeviceIdentifier.h"
#include "tests/device/camera/sim/PrivateNetwork.h"
#include "tests/support/UpdaterRig.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

// The whole road of a camera over the default transports: Aravis's simulated
// cameras are found by the camera communicator in the hardware server's
// threads, opened by the firmware updater and shown, then lost. The test
// runs in a network namespace of its own.
class TestRoadCamera : public QObject
{
    Q_OBJECT

public:
    explicit TestRoadCamera(const QString& noNetworkReason)
        : m_noNetworkReason(noNetworkReason)
    {
    }

private:
    QString m_noNetworkReason;

    static QStringList shown(const UpdaterRig& rig)
    {
        QStringList lines;
        for (const UpdaterRig::Connected& c : rig.connected)
            lines << QStringLiteral("%1 %2 %3 %4").arg(c.type).arg(c.name, c.uid).arg(c.connected ? "in" : "out");
        return lines;
    }

private slots:
    void initTestCase()
    {
        if (!m_noNetworkReason.isEmpty())
            QSKIP(qPrintable(m_noNetworkReason));
    }

    void camerasShownAndRemoved()
    {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("arv-fake-gv-camera-0.8"));
        if (server.isEmpty())
            QSKIP("arv-fake-gv-camera-0.8 (package aravis-tools) is not installed");
        QProcess gigE;
        gigE.start(server, { "-i", "127.0.0.1", "-s", "FACE5" });
        QVERIFY(gigE.waitForStarted());

        const int camera = int(nsUpdater::DeviceIdentifier::Camera);
        auto rig = std::make_unique<UpdaterRig>(QSharedPointer<CommunicatorFactory>::create());
        QTRY_COMPARE_WITH_TIMEOUT(shown(*rig).size(), 2, 20000);
        QVERIFY(shown(*rig).contains(QStringLiteral("%1 Fake 01 in").arg(camera)));
        QVERIFY(shown(*rig).contains(QStringLiteral("%1 Fake 0face5 in").arg(camera)));

        gigE.terminate();
        QVERIFY(gigE.waitForFinished());
        QTRY_COMPARE_WITH_TIMEOUT(shown(*rig).size(), 3, 30000);
        QCOMPARE(shown(*rig).last(), QStringLiteral("%1 Fake 0face5 out").arg(camera));

        rig.reset();
    }
};

int main(int argc, char** argv)
{
    // Before any thread starts, and before Aravis looks at the network.
    const QString noNetworkReason = enterPrivateNetwork();
    qputenv("MOVRA_CAMERA_INTERFACES", "Fake,GigEVision");
    QApplication app(argc, argv);
    TestRoadCamera test(noNetworkReason);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_roadcamera.moc"
