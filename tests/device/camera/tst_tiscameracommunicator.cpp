#include "device/MovraCameraInfo.h"
#include "device/camera/TISCameraCommunicator.h"
#include "device/camera/library/CameraLibrary.h"
#include "tests/device/camera/sim/PrivateNetwork.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/RelaySpy.h"

#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

using Record = QSharedPointer<MovraDeviceInfo>;

// The camera communicator in its own thread, as the hardware server runs it,
// over the production backend: Aravis's simulated camera and a simulated
// GigE Vision camera in a network namespace of the test's own.
class TestTISCameraCommunicator : public QObject
{
    Q_OBJECT

public:
    explicit TestTISCameraCommunicator(const QString& noNetworkReason)
        : m_noNetworkReason(noNetworkReason)
    {
    }

private:
    QString m_noNetworkReason;
    QThread m_thread;
    QSharedPointer<TISCameraCommunicator> m_communicator;

    static Record recordOf(const RelaySpy& spy, int i) { return spy.at(i).at(0).value<Record>(); }

private slots:
    void initTestCase()
    {
        if (!m_noNetworkReason.isEmpty())
            QSKIP(qPrintable(m_noNetworkReason));
    }

    void cleanup()
    {
        m_thread.quit();
        QVERIFY(m_thread.wait(10000));
        m_communicator.reset();
    }

    void camerasFoundOpenedAndLost()
    {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("arv-fake-gv-camera-0.8"));
        if (server.isEmpty())
            QSKIP("arv-fake-gv-camera-0.8 (package aravis-tools) is not installed");
        QProcess gigE;
        gigE.start(server, { "-i", "127.0.0.1", "-s", "BEEF01" });
        QVERIFY(gigE.waitForStarted());

        QThread& thread = m_thread;
        m_communicator = QSharedPointer<TISCameraCommunicator>::create();
        auto communicator = m_communicator;
        connect(&thread, &QThread::started, communicator.data(), &AbstractCommunicator::onCommunicationThreadStarted);
        connect(&thread, &QThread::finished, communicator.data(), &AbstractCommunicator::onCommunicationThreadStopped,
                Qt::DirectConnection);
        communicator->moveToThread(&thread);
        // Emitted in the camera thread, written down in this one.
        RelaySpy inserted(communicator.data(), &AbstractCommunicator::sendDeviceInserted);
        RelaySpy removed(communicator.data(), &AbstractCommunicator::sendDeviceRemoved);
        RelaySpy connection(communicator.data(), &AbstractCommunicator::sendConnectionChanged);
        RelaySpy rates(communicator.data(), &TISCameraCommunicator::sendAvailableFPSReceivedFromDevice);
        thread.start(QThread::HighPriority);

        QTRY_COMPARE_WITH_TIMEOUT(inserted.size(), 2, 20000);
        Record fake, gigECamera;
        for (int i = 0; i < 2; ++i)
            (recordOf(inserted, i)->uid() == "01" ? fake : gigECamera) = recordOf(inserted, i);
        QVERIFY(fake && gigECamera);
        QCOMPARE(gigECamera->uid(), QStringLiteral("0beef01"));

        // Opening configures the camera and fills its record.
        QMetaObject::invokeMethod(communicator.data(), "onOpenDeviceReceived",
                                  Q_ARG(QSharedPointer<MovraDeviceInfo>, fake));
        QTRY_COMPARE_WITH_TIMEOUT(connection.size(), 1, 10000);
        QCOMPARE(recordOf(connection, 0), fake);
        QCOMPARE(connection[0][1].toBool(), true);
        const auto camera = qSharedPointerDynamicCast<MovraCameraInfo>(fake);
        QCOMPARE(camera->resolutions().first(), QSize(2048, 2048));
        QCOMPARE(camera->availableFps().first(), 60.0f);
        QVERIFY(camera->gainRange().second > camera->gainRange().first);

        // Requests that name a record that is not a known camera do nothing.
        const auto stranger = DeviceRecordBuilder().serialNumber("01").build();
        QMetaObject::invokeMethod(communicator.data(), "onOpenDeviceReceived",
                                  Q_ARG(QSharedPointer<MovraDeviceInfo>, stranger));
        QMetaObject::invokeMethod(communicator.data(), "onSendCommandToDeviceReceived",
                                  Q_ARG(QSharedPointer<MovraDeviceInfo>, fake), Q_ARG(QByteArray, "abc"));
        QMetaObject::invokeMethod(communicator.data(), "onDeviceRemoved",
                                  Q_ARG(QSharedPointer<MovraDeviceInfo>, stranger));

        // The GigE camera goes; a request for it afterwards does nothing.
        QMetaObject::invokeMethod(communicator.data(), "onOpenDeviceReceived",
                                  Q_ARG(QSharedPointer<MovraDeviceInfo>, gigECamera));
        QTRY_COMPARE_WITH_TIMEOUT(connection.size(), 2, 10000);
        gigE.terminate();
        QVERIFY(gigE.waitForFinished());
        QTRY_COMPARE_WITH_TIMEOUT(removed.size(), 1, 30000);
        QCOMPARE(recordOf(removed, 0), gigECamera);
        QMetaObject::invokeMethod(communicator.data(), "onOpenDeviceReceived",
                                  Q_ARG(QSharedPointer<MovraDeviceInfo>, gigECamera));
        QMetaObject::invokeMethod(communicator.data(), "onResolutionChangedReceived",
                                  Q_ARG(QSharedPointer<MovraDeviceInfo>, gigECamera), Q_ARG(QSize, QSize(640, 480)));
        // A relay for the removed camera is dropped.
        QMetaObject::invokeMethod(communicator.data(), "onAvailableFPSReceived",
                                  Q_ARG(QSharedPointer<MovraDeviceInfo>, gigECamera),
                                  Q_ARG(QList<float>, QList<float> { 30 }));

        // The open camera still answers requests, through the relays.
        QMetaObject::invokeMethod(communicator.data(), "onResolutionChangedReceived",
                                  Q_ARG(QSharedPointer<MovraDeviceInfo>, fake), Q_ARG(QSize, QSize(640, 480)));
        QTRY_COMPARE_WITH_TIMEOUT(rates.size(), 1, 10000);
        QCOMPARE(recordOf(rates, 0), fake);
        QTest::qWait(200);
        QCOMPARE(connection.size(), 2);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(rates.size(), 1);
    }
};

int main(int argc, char** argv)
{
    // Before any thread starts, and before Aravis looks at the network.
    const QString noNetworkReason = enterPrivateNetwork();
    qputenv("MOVRA_CAMERA_INTERFACES", "Fake,GigEVision");
    QCoreApplication app(argc, argv);
    TestTISCameraCommunicator test(noNetworkReason);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tiscameracommunicator.moc"
