#include "device/MovraCameraInfo.h"
#include "device/camera/TISCameraGrabber.h"
#include "device/camera/TISCameraHandler.h"
#include "device/camera/library/CameraLibrary.h"
#include "device/camera/library/CameraPropertyIds.h"
#include "device/camera/library/Grabber.h"
#include "tests/device/camera/sim/PrivateNetwork.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

namespace ids = nsCameraProperty;

namespace {

// Counts the grabber thread's looks at the list on their way to Aravis.
class CountingBackend : public DShowLib::CameraBackend
{
public:
    explicit CountingBackend(QSharedPointer<DShowLib::CameraBackend> inner)
        : m_inner(inner)
    {
    }

    QList<DShowLib::CameraEntry> cameras() override
    {
        {
            QMutexLocker locker(&m_lock);
            m_lookers.append(QThread::currentThread());
        }
        return m_inner->cameras();
    }
    QSharedPointer<DShowLib::CameraDevice> open(const QString& id) override { return m_inner->open(id); }
    int watchIntervalMs() const override { return m_inner->watchIntervalMs(); }

    int looksFrom(QThread* thread)
    {
        QMutexLocker locker(&m_lock);
        return int(m_lookers.count(thread));
    }

private:
    QSharedPointer<DShowLib::CameraBackend> m_inner;
    QMutex m_lock;
    QList<QThread*> m_lookers;
};

} // namespace

// The camera layer through its production backend, against Aravis's own
// simulated cameras: the built-in "Fake" camera (serial "1") and a simulated
// GigE Vision camera served on the loopback interface of a network namespace
// of the test's own.
class TestTISCameraAravis : public QObject
{
    Q_OBJECT

public:
    explicit TestTISCameraAravis(const QString& noNetworkReason)
        : m_noNetworkReason(noNetworkReason)
    {
    }

private:
    QString m_noNetworkReason;
    QSharedPointer<DShowLib::CameraBackend> m_aravis;

    static bool hasFormat(const QList<DShowLib::VideoFormatItem>& formats, int code, const QSize& size)
    {
        return formats.contains(DShowLib::VideoFormatItem(code, size));
    }

private slots:
    void initTestCase()
    {
        if (!m_noNetworkReason.isEmpty())
            QSKIP(qPrintable(m_noNetworkReason));
        m_aravis = DShowLib::cameraBackend();
    }

    void fakeCameraListedAndRecorded()
    {
        TISCameraGrabber grabber;
        QSignalSpy inserted(&grabber, &AbstractGrabber::sendDeviceInserted);
        QVERIFY(QMetaObject::invokeMethod(&grabber, "refreshAvailableDevices", Qt::DirectConnection));
        QCOMPARE(inserted.size(), 1);
        const auto record =
            qSharedPointerDynamicCast<MovraCameraInfo>(inserted[0][0].value<QSharedPointer<MovraDeviceInfo>>());
        QVERIFY(record);
        QCOMPARE(record->name(), QStringLiteral("Fake"));
        QCOMPARE(record->uid(), QStringLiteral("01"));
        QCOMPARE(record->serialNumber(), QStringLiteral("01"));
        QCOMPARE(record->driverType(), DriverType::BehaviorCamera);
        QCOMPARE(record->commType(), CommType::Camera);
        // Aravis's version as the camera reports it, the missing fourth part 0.
        QVERIFY2(QRegularExpression("^0\\.\\d+\\.\\d+\\.0$").match(record->motherboardFirmware()).hasMatch(),
                 record->motherboardFirmware().constData());
        QCOMPARE(record->channelFirmware(), record->motherboardFirmware());
    }

    void fakeCameraFormatsRatesAndProperties()
    {
        DShowLib::Grabber grabber;
        QVERIFY(!grabber.openDev(0x2));
        QVERIFY(!grabber.isDevOpen());
        QVERIFY(grabber.openDev(0x1));
        QVERIFY(grabber.isDevOpen());
        QVERIFY(grabber.isDevValid());

        // Mono8, Mono16 and RGB8 as the three colour codes, each in the
        // largest size and the usual sizes within the camera's bounds.
        const auto formats = grabber.getAvailableVideoFormats_();
        for (int code :
             { DShowLib::VideoFormatItem::Y800, DShowLib::VideoFormatItem::Y16, DShowLib::VideoFormatItem::RGB32 }) {
            QVERIFY2(hasFormat(formats, code, QSize(2048, 2048)), qPrintable(QString::number(code)));
            QVERIFY(hasFormat(formats, code, QSize(640, 480)));
            QVERIFY(hasFormat(formats, code, QSize(1920, 1080)));
        }
        QCOMPARE(formats.first().getSizeString_(), QStringLiteral("2048x2048"));

        QVERIFY(grabber.setVideoFormat(QStringLiteral("Y16 (640x480)")));
        QCOMPARE(grabber.getVideoFormat(), QStringLiteral("Y16 (640x480)"));
        QVERIFY(!grabber.setVideoFormat(QStringLiteral("Y16 (641x480)")));
        QVERIFY(!grabber.setVideoFormat(QStringLiteral("NV12 (640x480)")));
        QCOMPARE(grabber.getVideoFormat(), QStringLiteral("Y16 (640x480)"));

        // The usual rates within 0.1 to 1000 frames per second, fastest first.
        const QList<double> rates = grabber.getAvailableFPS_();
        QCOMPARE(rates.first(), 240.0);
        QCOMPARE(rates.last(), 1.0);
        QVERIFY(rates.contains(60.0) && rates.contains(7.5));
        QVERIFY(std::is_sorted(rates.rbegin(), rates.rend()));
        QVERIFY(grabber.setFPS(30.0));
        QVERIFY(qAbs(grabber.getFPS() - 30.0) < 0.01);

        const auto exposure = grabber.getVCDPropertyElement(ids::ExposureItem, ids::ValueElement);
        QVERIFY(exposure && exposure->absoluteValue());
        QVERIFY(exposure->absoluteValue()->getMin().value() < exposure->absoluteValue()->getMax().value());
        QVERIFY(exposure->absoluteValue()->setValue(2000.0));
        QCOMPARE(exposure->absoluteValue()->getValue().value(), 2000.0);

        const auto gain = grabber.getVCDPropertyElement(ids::GainItem, ids::ValueElement);
        QVERIFY(gain && gain->absoluteValue());
        QVERIFY(gain->absoluteValue()->getMax().value() > 0);

        const auto gainAuto = grabber.getVCDPropertyElement(ids::GainItem, ids::AutoElement);
        QVERIFY(gainAuto && gainAuto->onOff());
        QCOMPARE(gainAuto->onOff()->getSwitch(), std::optional<bool>(false));

        const auto offset = grabber.getVCDPropertyElement(ids::CentringItem, ids::XOffsetElement);
        QVERIFY(offset && offset->range());
        QCOMPARE(offset->range()->getValue(), std::optional<int>(0));

        // Features the simulated camera lacks give no element.
        QVERIFY(!grabber.getVCDPropertyElement(ids::FlipHorizontalItem, ids::ValueElement));
        QVERIFY(!grabber.getVCDPropertyElement(ids::StrobeItem, ids::ValueElement));
        QVERIFY(!grabber.getVCDPropertyElement(ids::ExposureItem, ids::AutoElement));
        QVERIFY(!grabber.getVCDPropertyElement(ids::StrobeItem, ids::XOffsetElement));

        QVERIFY(!grabber.getExternalTrigger());
        QVERIFY(grabber.setExternalTrigger(true));
        QVERIFY(grabber.getExternalTrigger());
        QVERIFY(grabber.setExternalTrigger(false));
        QVERIFY(!grabber.setFlipH(true));

        qint64 first = 0, second = 0;
        QVERIFY(grabber.getCurReferenceTime(first));
        QTest::qWait(5);
        QVERIFY(grabber.getCurReferenceTime(second));
        QVERIFY(second > first);

        QVERIFY(grabber.closeDev());
        QVERIFY(!grabber.isDevOpen());
        QVERIFY(grabber.getAvailableVideoFormats_().isEmpty());
        QVERIFY(!grabber.getVCDPropertyElement(ids::ExposureItem, ids::ValueElement));
    }

    void fakeCameraStreamsStopsAndSnaps()
    {
        const auto record =
            DeviceRecordBuilder().name(QStringLiteral("Fake")).serialNumber(QStringLiteral("01")).buildCamera();
        TISCameraHandler handler(record);
        QList<QSharedPointer<TISCameraImage>> images;
        QList<bool> confirmations;
        connect(
            &handler, &TISCameraHandler::sendNewImageReceivedToController, this,
            [&images](QSharedPointer<MovraDeviceInfo>, QSharedPointer<TISCameraImage> image) { images << image; },
            Qt::QueuedConnection);
        connect(
            &handler, &TISCameraHandler::sendStartStopConfirmationToController, this,
            [&confirmations](QSharedPointer<MovraDeviceInfo>, bool started) { confirmations << started; },
            Qt::QueuedConnection);
        handler.open();
        QCOMPARE(handler.colorFormat(), CameraColorFormat::RGB32);
        handler.setResolution(QSize(640, 480));
        handler.setFrameRate(30);

        handler.startStop(true);
        QTRY_VERIFY_WITH_TIMEOUT(images.size() >= 3, 10000);
        QElapsedTimer clock;
        clock.start();
        handler.startStop(false);
        QTRY_COMPARE(confirmations, (QList<bool> { true, false }));
        QVERIFY(clock.elapsed() >= TISCameraHandler::StopConfirmationMs - 5);

        const auto isPattern = [](const QImage& image) {
            if (image.size() != QSize(640, 480) || image.format() != QImage::Format_RGB32)
                return false;
            QSet<QRgb> colours;
            for (int x = 0; x < image.width(); x += 7)
                colours.insert(image.pixel(x, image.height() / 2));
            return colours.size() > 1;
        };
        QVERIFY(isPattern(images.first()->image()));

        // A snap restarts the stream into the snap sink and waits its
        // time-out for the first frame (the time-out itself is the frames
        // test's); on a loaded machine Aravis may take longer, which the
        // handler says, and a later snap gets its frame.
        images.clear();
        for (int snap = 0; snap < 5 && images.isEmpty(); ++snap) {
            handler.snapImage();
            QCoreApplication::processEvents();
        }
        QCOMPARE(images.size(), 1);
        QVERIFY(isPattern(images.first()->image()));
    }

    void gigECameraComesAndGoesOnNotices()
    {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("arv-fake-gv-camera-0.8"));
        if (server.isEmpty())
            QSKIP("arv-fake-gv-camera-0.8 (package aravis-tools) is not installed");

        auto counting = QSharedPointer<CountingBackend>::create(m_aravis);
        DShowLib::setCameraBackend(counting);
        QThread thread;
        auto* grabber = new TISCameraGrabber();
        grabber->moveToThread(&thread);
        connect(&thread, &QThread::started, grabber, &AbstractGrabber::run);
        connect(&thread, &QThread::finished, grabber, &QObject::deleteLater);
        QStringList events;
        connect(grabber, &AbstractGrabber::sendDeviceInserted, this,
                [&](QSharedPointer<MovraDeviceInfo> d) { events << "in " + d->uid() + " " + d->name(); });
        connect(grabber, &AbstractGrabber::sendDeviceRemoved, this,
                [&](QSharedPointer<MovraDeviceInfo> d) { events << "out " + d->uid(); });
        thread.start();
        QTRY_COMPARE_WITH_TIMEOUT(events, QStringList { "in 01 Fake" }, 10000);

        QProcess camera;
        camera.start(server, { "-i", "127.0.0.1", "-s", "C0FFEE1" });
        QVERIFY(camera.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(events, (QStringList { "in 01 Fake", "in 0c0ffee1 Fake" }), 20000);

        camera.terminate();
        QVERIFY(camera.waitForFinished());
        // Aravis keeps a silent GigE camera listed for a while.
        QTRY_COMPARE_WITH_TIMEOUT(events, (QStringList { "in 01 Fake", "in 0c0ffee1 Fake", "out 0c0ffee1" }), 30000);

        // The grabber looks only on notices: with the list at rest, it does
        // not look again.
        const int looks = counting->looksFrom(&thread);
        QVERIFY2(looks >= 3, qPrintable(QString::number(looks)));
        QTest::qWait(2 * AbstractGrabber::PollIntervalMs + 500);
        QCOMPARE(counting->looksFrom(&thread), looks);

        thread.quit();
        QVERIFY(thread.wait(10000));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DShowLib::setCameraBackend(m_aravis);
    }
};

int main(int argc, char** argv)
{
    // Before any thread starts, and before Aravis looks at the network.
    const QString noNetworkReason = enterPrivateNetwork();
    qputenv("MOVRA_CAMERA_INTERFACES", "Fake,GigEVision");
    QCoreApplication app(argc, argv);
    TestTISCameraAravis test(noNetworkReason);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tiscameraaravis.moc"
