#include "device/MovraCameraInfo.h"
#include "device/camera/TISCameraHandler.h"
#include "device/camera/library/CameraLibrary.h"
#include "tests/device/camera/sim/StreamLockedFakeCamera.h"
#include "tests/device/camera/sim/WatchingCameraBackend.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/SignalWait.h"

#include <QtTest>

namespace {

const QSize Small(320, 240);
const QSize Large(640, 480);

// The rates of at most 61 per second that the camera's readout allows at
// each size.
const QList<float> RatesAtSmall = { 60, 50, 30, 25, 15, 10, 7.5, 5, 3.75, 2.5, 1 };
const QList<float> RatesAtLarge = { 30, 25, 15, 10, 7.5, 5, 3.75, 2.5, 1 };

// Room for a loaded machine; frames come every 40 ms.
constexpr int FrameWaitMs = 20000;

} // namespace

// The camera handler changing a streaming camera's size, frame rate and
// trigger, over Aravis's simulated camera described as one that keeps these
// while it streams: each change stops live acquisition first and is in
// effect; the stream stays stopped until a start, restart or snap brings it
// back, with frames of the new size. The camera is watched where the camera
// layer meets Aravis.
class TestTISCameraStreamChanges : public QObject
{
    Q_OBJECT

public:
    enum class Change {
        Size,
        Rate,
        Trigger
    };
    Q_ENUM(Change)
    enum class Restart {
        Start,
        Restart,
        Snap
    };
    Q_ENUM(Restart)

signals:
    void imageSeen();

private:
    StreamLockedFakeCamera m_description;
    QSharedPointer<WatchingCameraBackend> m_watch;
    QList<QSharedPointer<TISCameraImage>> m_images;

    bool waitForImages(int count)
    {
        SignalWait wait([this, count] { return m_images.size() >= count; });
        wait.on(this, &TestTISCameraStreamChanges::imageSeen);
        return wait.wait(FrameWaitMs);
    }

    // Once the stream stopped, every frame it gave has been queued to this
    // thread: taken and forgotten.
    void forgetImages()
    {
        QCoreApplication::processEvents();
        m_images.clear();
    }

private slots:
    void initTestCase()
    {
        const QString reason = m_description.install();
        if (!reason.isEmpty())
            QSKIP(qPrintable(reason));
        m_watch = QSharedPointer<WatchingCameraBackend>::create(DShowLib::cameraBackend());
        if (m_watch->cameras().isEmpty())
            QSKIP("Aravis lists no simulated camera (its Fake interface is missing)");
        DShowLib::setCameraBackend(m_watch);
    }

    void changeWhileStreaming_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<Restart>("restart");
        QTest::addColumn<QSize>("frameSize");
        QTest::addColumn<bool>("streamsAfter");
        QTest::newRow("size, then start") << Change::Size << Restart::Start << Large << true;
        QTest::newRow("size, then restart") << Change::Size << Restart::Restart << Large << true;
        QTest::newRow("size, then snap") << Change::Size << Restart::Snap << Large << true;
        QTest::newRow("frame rate, then start") << Change::Rate << Restart::Start << Small << true;
        // The snap switches the trigger off and on again, which stops the
        // stream once more.
        QTest::newRow("trigger, then snap") << Change::Trigger << Restart::Snap << Small << false;
    }

    void changeWhileStreaming()
    {
        QFETCH(Change, change);
        QFETCH(Restart, restart);
        QFETCH(QSize, frameSize);
        QFETCH(bool, streamsAfter);
        const auto record =
            DeviceRecordBuilder().name(QStringLiteral("Fake")).serialNumber(QStringLiteral("01")).buildCamera();
        TISCameraHandler handler(record);
        // Frames come as queued calls, as they reach the communicator.
        connect(
            &handler, &TISCameraHandler::sendNewImageReceivedToController, this,
            [this](QSharedPointer<MovraDeviceInfo>, QSharedPointer<TISCameraImage> image) {
                m_images << image;
                emit imageSeen();
            },
            Qt::QueuedConnection);
        // Emitted by the requests themselves, in this thread.
        QSignalSpy rates(&handler, &TISCameraHandler::sendAvailableFPSToController);
        QSignalSpy triggerModes(&handler, &TISCameraHandler::sendIsExternalTriggerToController);
        m_images.clear();

        handler.open();
        const QSharedPointer<WatchedCameraDevice> camera = m_watch->lastOpened();
        QVERIFY(camera);
        handler.setResolution(Small);
        handler.setFrameRate(25);
        QCOMPARE(rates.size(), 1);
        QCOMPARE(rates.takeFirst().at(1).value<QList<float>>(), RatesAtSmall);
        handler.startStop(true);
        QVERIFY(waitForImages(1));
        QVERIFY(camera->streaming());

        switch (change) {
        case Change::Size: handler.setResolution(Large); break;
        case Change::Rate: handler.setFrameRate(15); break;
        case Change::Trigger: handler.setExternalTrigger(true); break;
        }

        // Stopped first, so the camera took the change, and not started again.
        QVERIFY(!camera->streaming());
        switch (change) {
        case Change::Size:
            QCOMPARE(camera->videoFormat().toString(), QStringLiteral("RGB32 (640x480)"));
            QCOMPARE(rates.size(), 1);
            QCOMPARE(rates.at(0).at(1).value<QList<float>>(), RatesAtLarge);
            QCOMPARE(record->availableFps(), RatesAtLarge);
            break;
        case Change::Rate:
            QVERIFY2(qAbs(camera->frameRate() - 15.0) < 0.01, qPrintable(QString::number(camera->frameRate())));
            break;
        case Change::Trigger:
            QVERIFY(camera->externalTrigger());
            // The slowest rate at least twice the 25 per second set.
            QVERIFY2(qAbs(camera->frameRate() - 50.0) < 0.01, qPrintable(QString::number(camera->frameRate())));
            break;
        }
        forgetImages();

        switch (restart) {
        case Restart::Start:
            handler.startStop(true);
            QVERIFY(waitForImages(3));
            break;
        case Restart::Restart:
            handler.sinkRestarted();
            QVERIFY(waitForImages(3));
            break;
        case Restart::Snap:
            handler.snapImage();
            QCoreApplication::processEvents();
            QCOMPARE(m_images.size(), 1);
            break;
        }
        for (const auto& image : std::as_const(m_images))
            QCOMPARE(image->image().size(), frameSize);
        QCOMPARE(camera->streaming(), streamsAfter);
        handler.askForCurrentTriggerMode();
        QCOMPARE(triggerModes.size(), 1);
        QCOMPARE(triggerModes.at(0).at(1).toBool(), change == Change::Trigger);
    }
};

int main(int argc, char** argv)
{
    // Aravis's simulated camera alone: nothing is looked for on the network.
    qputenv("MOVRA_CAMERA_INTERFACES", "Fake");
    QCoreApplication app(argc, argv);
    TestTISCameraStreamChanges test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tiscamerastreamchanges.moc"
