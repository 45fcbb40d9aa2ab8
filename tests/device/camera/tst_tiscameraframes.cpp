#include "device/MovraCameraInfo.h"
#include "device/camera/TISCameraHandler.h"
#include "device/camera/TISCameraImage.h"
#include "device/camera/library/CameraLibrary.h"
#include "tests/device/camera/sim/ScriptedCameraBackend.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <thread>

using DShowLib::FrameTypeInfo;
using DShowLib::VideoFormatItem;

// The frame half of the camera handler over a scripted camera stack: the
// stamp filter, the stop confirmation, snaps, frame images and shutdown
// while frames arrive.
class TestTISCameraFrames : public QObject
{
    Q_OBJECT

private:
    QSharedPointer<ScriptedCameraBackend> m_backend;
    QSharedPointer<ScriptedCameraDevice> m_camera;
    QSharedPointer<MovraCameraInfo> m_record;
    QList<QSharedPointer<TISCameraImage>> m_images;
    QList<bool> m_confirmations;

    FrameTypeInfo frameType() const { return FrameTypeInfo(VideoFormatItem::Y800, QSize(4, 2)); }

    // Images reach the test as queued calls, as they reach the communicator.
    void watch(TISCameraHandler* handler)
    {
        connect(
            handler, &TISCameraHandler::sendNewImageReceivedToController, this,
            [this](QSharedPointer<MovraDeviceInfo>, QSharedPointer<TISCameraImage> image) { m_images << image; },
            Qt::QueuedConnection);
        connect(
            handler, &TISCameraHandler::sendStartStopConfirmationToController, this,
            [this](QSharedPointer<MovraDeviceInfo>, bool started) { m_confirmations << started; },
            Qt::QueuedConnection);
    }

    // Waits until the stream delivered every frame pushed, then takes the
    // images those frames queued.
    void drain()
    {
        QTRY_COMPARE(m_camera->pendingFrames(), 0);
        QCoreApplication::processEvents();
    }

    QList<qint64> passedFrames() const
    {
        QList<qint64> ids;
        for (const auto& image : m_images)
            ids << image->metadataStamp2();
        return ids;
    }

private slots:
    void init()
    {
        m_backend = QSharedPointer<ScriptedCameraBackend>::create();
        DShowLib::setCameraBackend(m_backend);
        m_camera = QSharedPointer<ScriptedCameraDevice>::create();
        m_camera->formats = { VideoFormatItem(VideoFormatItem::Y800, QSize(4, 2)) };
        m_camera->rates = { 30 };
        const DShowLib::CameraEntry entry = ScriptedCameraBackend::camera("DMK 33UX249", "1a2b");
        m_backend->setCameras({ entry });
        m_backend->setDevice(entry.id, m_camera);
        m_record = DeviceRecordBuilder().serialNumber("1a2b").buildCamera();
        m_images.clear();
        m_confirmations.clear();
    }

    void cleanup() { DShowLib::setCameraBackend({}); }

    void stampFilter_data()
    {
        QTest::addColumn<QList<qint64>>("stamps");
        QTest::addColumn<int>("restartBefore");    // frame index, -1 for none
        QTest::addColumn<QList<qint64>>("passed"); // frame indexes
        QTest::newRow("repeats and missing stamps")
            << QList<qint64> { 5, 5, 6, 0, 7, 0 } << -1 << QList<qint64> { 0, 2, 3, 4 };
        QTest::newRow("no stamps at all") << QList<qint64> { 0, 0, 0 } << -1 << QList<qint64> { 0 };
        QTest::newRow("no stamps, restart") << QList<qint64> { 0, 0, 0, 0 } << 2 << QList<qint64> { 0, 2 };
        QTest::newRow("restart forgets the last stamp") << QList<qint64> { 5, 5 } << 1 << QList<qint64> { 0, 1 };
        // More frames than buffers: every buffer went back to the sink.
        QList<qint64> many;
        QList<qint64> all;
        for (int i = 0; i < TISCameraHandler::QueueBufferCount + 10; ++i) {
            many << i + 1;
            all << i;
        }
        QTest::newRow("buffers go back") << many << -1 << all;
    }

    void stampFilter()
    {
        QFETCH(QList<qint64>, stamps);
        QFETCH(int, restartBefore);
        QFETCH(QList<qint64>, passed);
        TISCameraHandler handler(m_record);
        watch(&handler);
        handler.open();
        handler.startStop(true);
        QVERIFY(m_camera->streaming());
        for (int i = 0; i < stamps.size(); ++i) {
            if (i == restartBefore) {
                drain();
                handler.sinkRestarted();
            }
            m_camera->pushFrame(frameType(), QByteArray(8, char(i)), stamps[i], i);
            // One at a time, so the pool of buffers is never short.
            drain();
        }
        QCOMPARE(passedFrames(), passed);
    }

    void frameImage_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("bytes"); // given by the buffer
        QTest::addColumn<int>("bitsPerPixel");
        QTest::addColumn<bool>("hasImage");
        QTest::addColumn<bool>("mirrored");
        QTest::newRow("Mono8 width 5") << 7 << QSize(5, 3) << 15 << 8 << true << false;
        QTest::newRow("Mono8 width 6") << 7 << QSize(6, 2) << 12 << 8 << true << false;
        QTest::newRow("Mono16 width 3") << 11 << QSize(3, 3) << 18 << 16 << true << false;
        QTest::newRow("RGB32 mirrored") << 1 << QSize(3, 2) << 24 << 32 << true << true;
        QTest::newRow("Mono8 one byte short") << 7 << QSize(5, 3) << 14 << 8 << false << false;
        QTest::newRow("Mono16 one line short") << 11 << QSize(3, 3) << 12 << 16 << false << false;
        QTest::newRow("unknown colour code") << 4 << QSize(2, 2) << 16 << 0 << false << false;
    }

    void frameImage()
    {
        QFETCH(int, code);
        QFETCH(QSize, size);
        QFETCH(int, bytes);
        QFETCH(int, bitsPerPixel);
        QFETCH(bool, hasImage);
        QFETCH(bool, mirrored);
        QByteArray source(bytes, 0);
        for (int i = 0; i < bytes; ++i)
            source[i] = char(i * 7 + 3);
        auto buffer = std::make_shared<DShowLib::FrameQueueBuffer>();
        FrameTypeInfo type(code, size);
        if (type.subtype.isNull())
            type.subtype = QUuid::createUuid();
        buffer->fill(type, source, 9, 4);
        const TISCameraImage image(m_record, buffer);
        QCOMPARE(image.deviceInfo(), m_record);
        QCOMPARE(image.bitsPerPixel(), bitsPerPixel);
        QCOMPARE(image.metadataStamp1(), qint64(9));
        QCOMPARE(image.metadataStamp2(), qint64(4));
        QCOMPARE(!image.image().isNull(), hasImage);
        if (!hasImage)
            return;
        QCOMPARE(image.image().size(), size);
        const int line = size.width() * bitsPerPixel / 8;
        for (int y = 0; y < size.height(); ++y) {
            const int sourceLine = mirrored ? size.height() - 1 - y : y;
            const QByteArray expected = source.mid(sourceLine * line, line);
            const QByteArray got(reinterpret_cast<const char*>(image.image().constScanLine(y)), line);
            QCOMPARE(got, expected);
        }
    }

    void startAndStopConfirmations()
    {
        m_camera->hasClock = true;
        m_camera->clock = -12345;
        TISCameraHandler handler(m_record);
        watch(&handler);
        QSignalSpy reference(&handler, &TISCameraHandler::sendReferenceTimeToController);
        handler.open();

        // A stop while paused confirms nothing.
        handler.startStop(false);
        handler.startStop(true);
        QCOMPARE(reference.size(), 1);
        QCOMPARE(reference.at(0).at(1).value<int64_t>(), int64_t(-1234));
        QCoreApplication::processEvents();
        QCOMPARE(m_confirmations, QList<bool> { true });

        QElapsedTimer clock;
        clock.start();
        handler.startStop(false);
        QTRY_COMPARE(m_confirmations.size(), 2);
        QVERIFY(clock.elapsed() >= TISCameraHandler::StopConfirmationMs - 5);
        QCOMPARE(m_confirmations.last(), false);
        QTest::qWait(3 * TISCameraHandler::StopConfirmationMs);
        QCOMPARE(m_confirmations.size(), 2);
        QVERIFY2(m_camera->streaming(), "a stop pauses the sink only");
    }

    void stopConfirmationDiesWithTheHandler()
    {
        auto* handler = new TISCameraHandler(m_record);
        watch(handler);
        handler->open();
        handler->startStop(true);
        handler->startStop(false);
        delete handler;
        QTest::qWait(3 * TISCameraHandler::StopConfirmationMs);
        QCOMPARE(m_confirmations, QList<bool> { true });
    }

    void snap()
    {
        TISCameraHandler handler(m_record);
        QSignalSpy images(&handler, &TISCameraHandler::sendNewImageReceivedToController);
        handler.open();
        m_camera->trigger = true;

        // No frame within the time-out: nothing is emitted.
        handler.snapImage();
        QCOMPARE(images.size(), 0);
        QCOMPARE(m_camera->trigger, true);

        // The camera streams while the snap waits.
        std::atomic<bool> done { false };
        std::thread camera([&]() {
            while (!done) {
                m_camera->pushFrame(frameType(), QByteArray("abcdefgh"), 3);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
        handler.snapImage();
        done = true;
        camera.join();
        QCOMPARE(images.size(), 1);
        const auto image = images.at(0).at(1).value<QSharedPointer<TISCameraImage>>();
        QCOMPARE(image->image().size(), QSize(4, 2));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(image->image().constBits()), 8), QByteArray("abcdefgh"));
        QCOMPARE(m_camera->trigger, true);
    }

    void destroyedWhileFramesArrive()
    {
        auto* handler = new TISCameraHandler(m_record);
        watch(handler);
        handler->open();
        handler->startStop(true);
        std::atomic<bool> done { false };
        std::thread camera([&]() {
            for (qint64 stamp = 1; !done; ++stamp)
                m_camera->pushFrame(frameType(), QByteArray(8, 'x'), stamp);
        });
        QTRY_VERIFY(!m_images.isEmpty());
        delete handler;
        // Live acquisition ended with the handler: nothing reaches it now.
        QVERIFY(!m_camera->streaming());
        done = true;
        camera.join();
    }
};

QTEST_GUILESS_MAIN(TestTISCameraFrames)
#include "tst_tiscameraframes.moc"
