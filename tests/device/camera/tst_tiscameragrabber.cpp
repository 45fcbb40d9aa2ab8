#include "device/MovraCameraInfo.h"
#include "device/camera/TISCameraGrabber.h"
#include "device/camera/library/CameraLibrary.h"
#include "tests/device/camera/sim/ScriptedCameraBackend.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <thread>

using DShowLib::CameraEntry;

// Discovery over a scripted camera stack: the grabber runs in a thread of its
// own, as under the camera communicator, and the list changes are noticed by
// the library's watcher thread.
class TestTISCameraGrabber : public QObject
{
    Q_OBJECT

private:
    QSharedPointer<ScriptedCameraBackend> m_backend;
    QSharedPointer<QThread> m_thread;
    TISCameraGrabber* m_grabber = nullptr;
    QStringList m_events;
    QList<QThread*> m_emitters;
    QElapsedTimer m_sinceStart;
    QList<qint64> m_insertTimes;

    void startGrabber()
    {
        m_thread = QSharedPointer<QThread>::create();
        m_grabber = new TISCameraGrabber();
        m_grabber->moveToThread(m_thread.data());
        connect(m_thread.data(), &QThread::started, m_grabber, &AbstractGrabber::run);
        connect(m_thread.data(), &QThread::finished, m_grabber, &QObject::deleteLater);
        // Connected first, so run first: the emitting thread is written down
        // before the report is queued to this thread, which reads it then.
        connect(
            m_grabber, &AbstractGrabber::sendDeviceInserted, this, [this] { m_emitters << QThread::currentThread(); },
            Qt::DirectConnection);
        connect(m_grabber, &AbstractGrabber::sendDeviceInserted, this, [this](QSharedPointer<MovraDeviceInfo> d) {
            m_events << "in " + d->uid();
            m_insertTimes << m_sinceStart.elapsed();
        });
        connect(m_grabber, &AbstractGrabber::sendDeviceRemoved, this,
                [this](QSharedPointer<MovraDeviceInfo> d) { m_events << "out " + d->uid(); });
        m_sinceStart.start();
        m_thread->start();
    }

    void passFirstLook(int expectedInsertions) { QTRY_COMPARE_WITH_TIMEOUT(m_events.size(), expectedInsertions, 5000); }

private slots:
    void init()
    {
        m_backend = QSharedPointer<ScriptedCameraBackend>::create();
        DShowLib::setCameraBackend(m_backend);
        m_events.clear();
        m_emitters.clear();
        m_insertTimes.clear();
    }

    void cleanup()
    {
        if (m_thread) {
            m_thread->quit();
            QVERIFY(m_thread->wait(5000));
            m_thread.reset();
        }
        m_grabber = nullptr;
        DShowLib::setCameraBackend({});
        m_backend.reset();
    }

    void recordRules_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QList<int>>("version");
        QTest::addColumn<int>("driverType");
        QTest::addColumn<QString>("uid");
        QTest::addColumn<QString>("firmware");

        const QList<int> v1234 = { 1, 2, 3, 4 };
        QTest::newRow("DMK 33UX249") << "DMK 33UX249"
                                     << "1a2b3c4d" << v1234 << 9 << "1a2b3c4d"
                                     << "1.2.3.4";
        QTest::newRow("DMM 37UX287-ML") << "DMM 37UX287-ML"
                                        << "1a2b3c4d" << v1234 << 9 << "1a2b3c4d"
                                        << "1.2.3.4";
        QTest::newRow("USB39 UX174 M") << "USB39 UX174 M"
                                       << "1a2b3c4d" << v1234 << 9 << "1a2b3c4d"
                                       << "1.2.3.4";
        QTest::newRow("DMK 33UX174") << "DMK 33UX174"
                                     << "1a2b3c4d" << v1234 << 9 << "1a2b3c4d"
                                     << "1.2.3.4";
        QTest::newRow("model with more text") << "The DMK 33UX174 rev B"
                                              << "1a2b3c4d" << v1234 << 9 << "1a2b3c4d"
                                              << "1.2.3.4";
        QTest::newRow("other letter case") << "dmk 33ux174"
                                           << "1a2b3c4d" << v1234 << 8 << "1a2b3c4d"
                                           << "1.2.3.4";
        QTest::newRow("part of a model") << "DMK 33UX"
                                         << "1a2b3c4d" << v1234 << 8 << "1a2b3c4d"
                                         << "1.2.3.4";
        QTest::newRow("1 digit") << "Fake"
                                 << "1" << v1234 << 8 << "01"
                                 << "1.2.3.4";
        QTest::newRow("5 digits") << "Fake"
                                  << "abcde" << v1234 << 8 << "0abcde"
                                  << "1.2.3.4";
        QTest::newRow("7 digits") << "Fake"
                                  << "1234567" << v1234 << 8 << "01234567"
                                  << "1.2.3.4";
        QTest::newRow("8 digits") << "Fake"
                                  << "12345678" << v1234 << 8 << "12345678"
                                  << "1.2.3.4";
        QTest::newRow("upper case") << "Fake"
                                    << "ABCDEF1" << v1234 << 8 << "0abcdef1"
                                    << "1.2.3.4";
        QTest::newRow("leading zeros") << "Fake"
                                       << "00000042" << v1234 << 8 << "042"
                                       << "1.2.3.4";
        QTest::newRow("16 digits at 2^63 and above") << "Fake"
                                                     << "fedcba9876543210" << v1234 << 8 << "fedcba9876543210"
                                                     << "1.2.3.4";
        QTest::newRow("no driver version") << "Fake"
                                           << "1" << QList<int> { 0, 0, 0, 0 } << 8 << "01"
                                           << "0.0.0.0";
        QTest::newRow("partial driver version") << "Fake"
                                                << "1" << QList<int> { 0, 8, 26, 0 } << 8 << "01"
                                                << "0.8.26.0";
    }

    void recordRules()
    {
        QFETCH(QString, model);
        QFETCH(QString, serial);
        QFETCH(QList<int>, version);
        QFETCH(int, driverType);
        QFETCH(QString, uid);
        QFETCH(QString, firmware);

        const CameraEntry entry =
            ScriptedCameraBackend::camera(model, serial, { version[0], version[1], version[2], version[3] });
        const auto record = qSharedPointerDynamicCast<MovraCameraInfo>(
            TISCameraGrabber::createDeviceInfo(DShowLib::VideoCaptureDeviceItem(entry)));
        QVERIFY(record);
        QCOMPARE(int(record->driverType()), driverType);
        QCOMPARE(record->name(), model);
        QCOMPARE(record->uid(), uid);
        QCOMPARE(record->serialNumber(), uid);
        QCOMPARE(record->channelCount(), 1);
        // Compatibility is compared through the record's equality.
        const auto expected = DeviceRecordBuilder::on(CommType::Camera)
                                  .driverType(DriverType(driverType))
                                  .name(model)
                                  .serialNumber(uid)
                                  .uid(uid)
                                  .channelCount(1)
                                  .compatibility(DeviceCompatibility::Full)
                                  .buildCamera();
        QVERIFY(*record == *expected);
        QCOMPARE(record->commType(), CommType::Camera);
        QCOMPARE(record->status(), DeviceStatus::Unavailable);
        QCOMPARE(record->motherboardFirmware(), firmware.toLatin1());
        QCOMPARE(record->channelFirmware(), firmware.toLatin1());
        QVERIFY(record->availableFps().isEmpty());
        QVERIFY(record->resolutions().isEmpty());

        // The text turns back into the very serial number when the camera is opened.
        bool ok = false;
        QCOMPARE(record->serialNumber().toULongLong(&ok, 16), serial.toULongLong(nullptr, 16));
        QVERIFY(ok);
    }

    void recordWithoutSerial_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::newRow("none") << QString();
        QTest::newRow("not hexadecimal") << "SN-12";
        QTest::newRow("17 digits") << "1fedcba9876543210";
    }

    void recordWithoutSerial()
    {
        QFETCH(QString, serial);
        const auto record = TISCameraGrabber::createDeviceInfo(
            DShowLib::VideoCaptureDeviceItem(ScriptedCameraBackend::camera("DMK 33UX249", serial, { 1, 0, 0, 0 })));
        QCOMPARE(record->driverType(), DriverType::NXLTCamera);
        QVERIFY(record->name().isEmpty());
        QVERIFY(record->uid().isEmpty());
        QCOMPARE(record->commType(), CommType::None);
        QVERIFY(record->motherboardFirmware().isEmpty());
    }

    void firstPassAfter1500msThenOnlyOnNotices()
    {
        m_backend->setCameras(
            { ScriptedCameraBackend::camera("DMK 33UX249", "a1"), ScriptedCameraBackend::camera("Fake", "1") });
        startGrabber();
        QTest::qWait(1300);
        QCOMPARE(m_events, QStringList());
        passFirstLook(2);
        QCOMPARE(m_events, (QStringList { "in 0a1", "in 01" }));
        for (qint64 at : std::as_const(m_insertTimes)) {
            QVERIFY2(at >= AbstractGrabber::PollIntervalMs, qPrintable(QString::number(at)));
            QVERIFY2(at < AbstractGrabber::PollIntervalMs + 1000, qPrintable(QString::number(at)));
        }
        QCOMPARE(m_emitters, (QList<QThread*> { m_thread.data(), m_thread.data() }));

        // No poll after the first pass: the grabber thread looks no more.
        QTest::qWait(2 * AbstractGrabber::PollIntervalMs);
        QCOMPARE(m_backend->looksFrom(m_thread.data()), 1);
        QCOMPARE(m_events.size(), 2);
    }

    void noticesFromTheLibraryThread()
    {
        m_backend->setCameras(
            { ScriptedCameraBackend::camera("Fake", "1"), ScriptedCameraBackend::camera("Fake", "2") });
        startGrabber();
        passFirstLook(2);
        m_events.clear();

        // One change: a camera unplugged while another is plugged in.
        m_backend->setCameras(
            { ScriptedCameraBackend::camera("Fake", "2"), ScriptedCameraBackend::camera("Fake", "3") });
        QTRY_COMPARE(m_events, (QStringList { "in 03", "out 01" }));

        // A change that keeps the serial numbers: a pass that reports nothing.
        const int looks = m_backend->looksFrom(m_thread.data());
        m_backend->setCameras(
            { ScriptedCameraBackend::camera("Fake", "2", { 9, 0, 0, 0 }), ScriptedCameraBackend::camera("Fake", "3") });
        QTRY_COMPARE(m_backend->looksFrom(m_thread.data()), looks + 1);
        QTest::qWait(100);
        QCOMPARE(m_events, (QStringList { "in 03", "out 01" }));

        // A camera without serial number is never reported; one whose serial
        // number can no longer be read is reported removed.
        m_backend->setCameras({ ScriptedCameraBackend::camera("Fake", "2"), ScriptedCameraBackend::camera("Fake", ""),
                                ScriptedCameraBackend::camera("Fake", "") });
        QTRY_COMPARE(m_events, (QStringList { "in 03", "out 01", "out 03" }));
        QTest::qWait(100);
        QCOMPARE(m_events.size(), 3);
    }

    void grabberGoneWhileNoticesArrive()
    {
        // The list flips from a foreign thread all along; each grabber is
        // destroyed in the middle of notices and passes. Nothing may reach a
        // grabber or listener that is gone.
        std::atomic<bool> flipping { true };
        std::thread flipper([&] {
            int i = 0;
            while (flipping) {
                m_backend->setCameras(i++ % 2 ? QList<CameraEntry> { ScriptedCameraBackend::camera("Fake", "1") }
                                              : QList<CameraEntry> {});
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        for (int round = 0; round < 5; ++round) {
            startGrabber();
            QMetaObject::invokeMethod(m_grabber, "refreshAvailableDevices", Qt::QueuedConnection);
            QTest::qWait(60);
            m_thread->quit();
            QVERIFY(m_thread->wait(5000));
            m_thread.reset();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        flipping = false;
        flipper.join();
        QVERIFY(!m_events.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTISCameraGrabber)
#include "tst_tiscameragrabber.moc"
