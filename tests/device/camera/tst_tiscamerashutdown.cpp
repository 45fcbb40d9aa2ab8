#include "device/MovraHardwareServer.h"
#include "device/camera/TISCameraCommunicator.h"
#include "device/camera/library/CameraLibrary.h"
#include "tests/device/camera/sim/WatchingCameraBackend.h"
#include "tests/support/TestTransports.h"

#include <QtTest>

#include <atomic>
#include <memory>

using Record = QSharedPointer<MovraDeviceInfo>;

namespace {

// Frames come every 33 ms at the rate asked for: a stream still running
// delivers several within this time.
constexpr int QuietMs = 500;

} // namespace

// The program's end with a camera streaming: Aravis's simulated camera,
// found and opened through the hardware server, streams through the camera
// communicator's requests; then the server stops its threads as the
// program does at exit and is released. Frames are counted below the
// camera layer, where Aravis delivers them.
class TestTISCameraShutdown : public QObject
{
    Q_OBJECT

signals:
    void frameSeen();
    void frameAfterTheEnd();
    void answered();

private:
    QSharedPointer<WatchingCameraBackend> m_watch;

private slots:
    void initTestCase()
    {
        m_watch = QSharedPointer<WatchingCameraBackend>::create(DShowLib::cameraBackend());
        if (m_watch->cameras().isEmpty())
            QSKIP("Aravis lists no simulated camera (its Fake interface is missing)");
        DShowLib::setCameraBackend(m_watch);
    }

    void noFrameOnceTheThreadHasEnded_data()
    {
        QTest::addColumn<bool>("stoppedFirst");
        QTest::newRow("streaming") << false;
        // The 200 ms stop confirmation still pending when the thread ends.
        QTest::newRow("just stopped") << true;
    }

    void noFrameOnceTheThreadHasEnded()
    {
        QFETCH(bool, stoppedFirst);
        // This row's connections to the test's thread go with it.
        QObject here;
        // The camera transport alone, whose communicator the test keeps an eye on.
        QWeakPointer<TISCameraCommunicator> cameras;
        const TestTransports transports = TestTransports()
                                              .make(TestTransports::Camera, TestTransports::watched(cameras))
                                              .only({ TestTransports::Camera });
        auto server = std::make_unique<MovraHardwareServer>(transports.shared());
        QSignalSpy inserted(server.get(), &MovraHardwareServer::deviceInserted);
        QSignalSpy connection(server.get(), &MovraHardwareServer::deviceConnectionChanged);
        server->startCommunicationThreads();
        QVERIFY(inserted.wait(10000));
        const Record camera = inserted.first().first().value<Record>();
        emit server->openCameraDeviceReceivedFromUpdater(camera);
        QVERIFY(connection.wait(10000));
        QCOMPARE(m_watch->openCameras(), 1);

        TISCameraCommunicator* communicator = cameras.toStrongRef().data();
        QVERIFY(communicator);
        // Counted where the communicator emits, in its own thread.
        std::atomic<int> relayed { 0 };
        std::atomic<int> confirmations { 0 };
        connect(
            communicator, &TISCameraCommunicator::sendImageReceivedFromDevice, communicator,
            [&relayed](Record, QSharedPointer<TISCameraImage>) { ++relayed; }, Qt::DirectConnection);
        connect(
            communicator, &TISCameraCommunicator::sendStartStopConfirmationReceivedFromDevice, communicator,
            [&confirmations](Record, bool) { ++confirmations; }, Qt::DirectConnection);
        QVERIFY(QMetaObject::invokeMethod(communicator, "onResolutionChangedReceived",
                                          Q_ARG(QSharedPointer<MovraDeviceInfo>, camera),
                                          Q_ARG(QSize, QSize(640, 480))));
        QVERIFY(QMetaObject::invokeMethod(communicator, "onFPSChangedReceived",
                                          Q_ARG(QSharedPointer<MovraDeviceInfo>, camera), Q_ARG(float, 30.0f)));
        QVERIFY(QMetaObject::invokeMethod(communicator, "onStartStopReceived",
                                          Q_ARG(QSharedPointer<MovraDeviceInfo>, camera), Q_ARG(bool, true)));
        // Brought to this thread to be waited on.
        connect(m_watch.data(), &WatchingCameraBackend::frameDelivered, &here, [this](int) { emit frameSeen(); });
        QSignalSpy frames(this, &TestTISCameraShutdown::frameSeen);
        while (relayed < 3)
            QVERIFY(frames.wait(10000));
        QCOMPARE(confirmations.load(), 1);
        if (stoppedFirst) {
            QVERIFY(QMetaObject::invokeMethod(communicator, "onStartStopReceived",
                                              Q_ARG(QSharedPointer<MovraDeviceInfo>, camera), Q_ARG(bool, false)));
            // Answered after the stop, so the stop has been done.
            connect(communicator, &TISCameraCommunicator::sendAvailableResolutionsReceivedFromDevice, &here,
                    [this] { emit answered(); });
            QSignalSpy answer(this, &TestTISCameraShutdown::answered);
            QVERIFY(QMetaObject::invokeMethod(communicator, "onAskForAvailableResolutionsReceived",
                                              Q_ARG(QSharedPointer<MovraDeviceInfo>, camera)));
            QVERIFY(answer.wait(10000));
        }

        // The program's end: the server's threads are stopped, then it goes.
        server->stopCommunicationThreads();
        const int framesAtTheEnd = m_watch->frames();
        const int relayedAtTheEnd = relayed;
        const int confirmationsAtTheEnd = confirmations;
        connect(m_watch.data(), &WatchingCameraBackend::frameDelivered, &here, [&](int count) {
            if (count > framesAtTheEnd)
                emit frameAfterTheEnd();
        });
        QSignalSpy late(this, &TestTISCameraShutdown::frameAfterTheEnd);
        QVERIFY2(!late.wait(QuietMs), qPrintable(QString::number(m_watch->frames() - framesAtTheEnd)));
        QCOMPARE(m_watch->frames(), framesAtTheEnd);
        QCOMPARE(relayed.load(), relayedAtTheEnd);
        // Still open: cameras close when their handlers go with the communicator.
        QCOMPARE(m_watch->openCameras(), 1);

        server.reset();
        QVERIFY(cameras.isNull());
        QCOMPARE(m_watch->openCameras(), 0);
        QCOMPARE(m_watch->frames(), framesAtTheEnd);
        QCOMPARE(relayed.load(), relayedAtTheEnd);
        QCOMPARE(confirmations.load(), confirmationsAtTheEnd);
    }
};

int main(int argc, char** argv)
{
    // Aravis's simulated camera alone: nothing is looked for on the network.
    qputenv("MOVRA_CAMERA_INTERFACES", "Fake");
    QCoreApplication app(argc, argv);
    TestTISCameraShutdown test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tiscamerashutdown.moc"
