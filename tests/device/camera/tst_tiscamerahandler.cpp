#include "device/MovraCameraInfo.h"
#include "device/camera/TISCameraHandler.h"
#include "device/camera/library/CameraLibrary.h"
#include "device/camera/library/CameraPropertyIds.h"
#include "tests/device/camera/sim/ScriptedCameraBackend.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QtTest>

namespace ids = nsCameraProperty;
using DShowLib::VideoFormatItem;
using Kind = ScriptedCameraDevice::Kind;

Q_DECLARE_METATYPE(QList<double>)

// The camera handler over a scripted camera stack: what open chooses and
// writes, and the rules of the control requests.
class TestTISCameraHandler : public QObject
{
    Q_OBJECT

private:
    QSharedPointer<ScriptedCameraBackend> m_backend;
    QSharedPointer<ScriptedCameraDevice> m_camera;
    QSharedPointer<MovraCameraInfo> m_record;

    void listCamera(const QString& model, const QString& serial)
    {
        const DShowLib::CameraEntry entry = ScriptedCameraBackend::camera(model, serial);
        m_backend->setCameras({ entry });
        m_backend->setDevice(entry.id, m_camera);
        m_record = DeviceRecordBuilder::on(CommType::Camera)
                       .name(model)
                       .serialNumber(serial)
                       .compatibility(DeviceCompatibility::Full)
                       .buildCamera();
    }

    static QList<VideoFormatItem> formatsOf(const QList<int>& codes)
    {
        QList<VideoFormatItem> formats;
        for (int code : codes) {
            formats << VideoFormatItem(code, QSize(640, 480)) << VideoFormatItem(code, QSize(1280, 960))
                    << VideoFormatItem(code, QSize(1280, 720));
        }
        return formats;
    }

private slots:
    void init()
    {
        m_backend = QSharedPointer<ScriptedCameraBackend>::create();
        DShowLib::setCameraBackend(m_backend);
        m_camera = QSharedPointer<ScriptedCameraDevice>::create();
        m_camera->formats = formatsOf({ VideoFormatItem::Y800 });
        m_camera->rates = { 60, 30 };
        listCamera("DMK 33UX249", "1a2b3c4d");
    }

    void cleanup() { DShowLib::setCameraBackend({}); }

    void colourFormatChoice_data()
    {
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("format");
        QTest::newRow("Y800, RGB32, Y16") << QList<int> { 7, 1, 11 } << 1 << "RGB32 (1280x960)";
        QTest::newRow("Y16, Y800") << QList<int> { 11, 7 } << 11 << "Y16 (1280x960)";
        QTest::newRow("Y800 alone") << QList<int> { 7 } << 7 << "Y800 (1280x960)";
        QTest::newRow("Y800, Y16, Y800") << QList<int> { 7, 11, 7 } << 11 << "Y16 (1280x960)";
        QTest::newRow("unknown codes") << QList<int> { 3, 99 } << 0 << "";
        QTest::newRow("no format") << QList<int> {} << 0 << "";
    }

    void colourFormatChoice()
    {
        QFETCH(QList<int>, codes);
        QFETCH(int, chosen);
        QFETCH(QString, format);
        m_camera->formats = formatsOf(codes);
        TISCameraHandler handler(m_record);
        QSignalSpy opened(&handler, &TISCameraHandler::sendConnectionChanged);
        handler.open();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0][1].toBool(), true);
        QCOMPARE(int(handler.colorFormat()), chosen);
        if (format.isEmpty()) {
            // Nothing to choose from: open, with no size and no format set.
            QVERIFY(m_record->resolutions().isEmpty());
            QVERIFY(!m_camera->calls.join(' ').contains("format"));
        } else {
            QCOMPARE(m_record->resolutions(), (QList<QSize> { { 1280, 960 }, { 1280, 720 }, { 640, 480 } }));
            QCOMPARE(m_camera->calls.first(), "format " + format);
        }
    }

    void frameRates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<double>>("rates");
        QTest::addColumn<QList<float>>("reported");
        QTest::addColumn<bool>("limited");
        QTest::addColumn<int>("commType");
        QTest::addColumn<QString>("fpsSet");
        QTest::newRow("120 60 30") << "DMM 37UX287-ML" << QList<double> { 120, 60, 30 } << QList<float> { 60, 30 }
                                   << false << 4 << "fps 120";
        QTest::newRow("slow camera") << "DMM 37UX287-ML" << QList<double> { 100, 50 } << QList<float> { 50 } << false
                                     << 7 << "fps 100";
        QTest::newRow("name with more text")
            << "DMM 37UX287-ML rev 2" << QList<double> { 100, 50 } << QList<float> { 50 } << false << 4 << "fps 100";
        QTest::newRow("limited") << "DMK 33UX249" << QList<double> { 15, 7.5 } << QList<float> { 15, 7.5 } << true << 4
                                 << "fps 15";
        QTest::newRow("61 reported") << "DMK 33UX249" << QList<double> { 61, 30 } << QList<float> { 61, 30 } << false
                                     << 4 << "fps 61";
        QTest::newRow("no rate") << "DMK 33UX249" << QList<double> {} << QList<float> {} << false << 4 << "";
    }

    void frameRates()
    {
        QFETCH(QString, name);
        QFETCH(QList<double>, rates);
        QFETCH(QList<float>, reported);
        QFETCH(bool, limited);
        QFETCH(int, commType);
        QFETCH(QString, fpsSet);
        listCamera(name, "1a2b3c4d");
        m_camera->rates = rates;
        TISCameraHandler handler(m_record);
        handler.open();
        QCOMPARE(m_record->availableFps(), reported);
        QCOMPARE(int(m_record->commType()), commType);
        // Compatibility through the record's equality.
        const auto expected = DeviceRecordBuilder::on(CommType(commType))
                                  .name(name)
                                  .serialNumber("1a2b3c4d")
                                  .compatibility(limited ? DeviceCompatibility::Limited : DeviceCompatibility::Full)
                                  .buildCamera();
        QVERIFY(*m_record == *expected);
        const QStringList fpsCalls = m_camera->calls.filter("fps");
        QCOMPARE(fpsCalls.join(','), fpsSet);
    }

    void triggerRate_data()
    {
        QTest::addColumn<QList<double>>("rates");
        QTest::addColumn<double>("request");
        QTest::addColumn<QString>("fpsSet");
        QTest::newRow("20") << QList<double> { 120, 60, 30, 15 } << 20.0 << "fps 60";
        QTest::newRow("70") << QList<double> { 120, 60, 30, 15 } << 70.0 << "fps 120";
        QTest::newRow("7.5") << QList<double> { 120, 60, 30, 15 } << 7.5 << "fps 15";
        QTest::newRow("no rate") << QList<double> {} << 20.0 << "";
    }

    void triggerRate()
    {
        QFETCH(QList<double>, rates);
        QFETCH(double, request);
        QFETCH(QString, fpsSet);
        m_camera->rates = rates;
        TISCameraHandler handler(m_record);
        handler.open();
        m_camera->trigger = true;
        m_camera->calls.clear();
        handler.setFrameRate(float(request));
        QCOMPARE(m_camera->calls.join(','), fpsSet);
    }

    void triggerSwitchFollowsTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("switchAfter");
        QTest::newRow("slow camera") << "DMM 37UX287-ML" << 1.0;
        QTest::newRow("name contains it") << "A DMM 37UX287-ML" << 1.0;
        QTest::newRow("other camera") << "DMK 33UX249" << 0.0;
    }

    void triggerSwitchFollowsTheName()
    {
        QFETCH(QString, name);
        QFETCH(double, switchAfter);
        listCamera(name, "1a2b3c4d");
        const auto mode = m_camera->addProperty(ids::TriggerItem, ids::TriggerModeElement, Kind::String, 0);
        const auto trigger = m_camera->addProperty(ids::TriggerItem, ids::TriggerSwitchElement, Kind::Switch, 0.5);
        TISCameraHandler handler(m_record);
        handler.open();
        handler.setExternalTrigger(true);
        QVERIFY(m_camera->trigger);
        QCOMPARE(mode->texts, QStringList { "Timed" });
        QCOMPARE(trigger->value, switchAfter);
    }

    void propertiesSetOnlyWhenDifferent()
    {
        const auto exposure =
            m_camera->addProperty(ids::ExposureItem, ids::ValueElement, Kind::AbsoluteValue, 100, 10, 1000);
        const auto gain = m_camera->addProperty(ids::GainItem, ids::ValueElement, Kind::AbsoluteValue, 0, 0, 48.7);
        const auto autoGain = m_camera->addProperty(ids::GainItem, ids::AutoElement, Kind::Switch, 1);
        const auto autoExposure = m_camera->addProperty(ids::ExposureItem, ids::AutoElement, Kind::Switch, 0);
        const auto offset = m_camera->addProperty(ids::CentringItem, ids::XOffsetElement, Kind::Range, 4, 0, 2);
        const auto black = m_camera->addProperty(ids::BlackLevelItem, ids::ValueElement, Kind::Range, 7, 0, 255);
        const auto red =
            m_camera->addProperty(ids::WhiteBalanceItem, ids::WhiteBalanceRedElement, Kind::Range, 10, 0, 255);
        const auto strobe = m_camera->addProperty(ids::StrobeItem, ids::StrobeValueElement, Kind::Range, 0, 0, 5000);
        const auto strobeMode = m_camera->addProperty(ids::StrobeItem, ids::StrobeModeElement, Kind::String, 0);

        TISCameraHandler handler(m_record);
        handler.open();
        QCOMPARE(autoGain->value, 0.0); // switched off
        QCOMPARE(autoGain->writes, 1);
        QCOMPARE(autoExposure->writes, 0); // already off
        QCOMPARE(black->value, 0.0);
        QCOMPARE(strobe->value, 1000.0);
        QCOMPARE(strobeMode->texts, QStringList { "exposure" });
        QCOMPARE(m_record->gainRange(), (std::pair<int, int> { 0, 48 }));

        handler.setExposure(100);  // equal
        handler.setExposure(5);    // below the minimum
        handler.setExposure(2000); // above the maximum
        QCOMPARE(exposure->writes, 0);
        handler.setExposure(250);
        QCOMPARE(exposure->value, 250.0);
        QCOMPARE(exposure->writes, 1);

        handler.setGain(-1);
        QCOMPARE(gain->writes, 0);
        handler.setGain(12);
        QCOMPARE(gain->value, 12.0);

        handler.setXOffset(-5);
        QCOMPARE(offset->writes, 0);
        handler.setXOffset(4); // equal
        QCOMPARE(offset->writes, 0);
        handler.setXOffset(9); // no range check on offsets
        QCOMPARE(offset->value, 9.0);

        handler.setWhiteBalanceManually(300, 1, 1); // red out of range; green and blue absent
        QCOMPARE(red->writes, 0);
        handler.setWhiteBalanceManually(20, 1, 1);
        QCOMPARE(red->value, 20.0);

        // A refused access leaves the value alone and nothing breaks.
        exposure->refused = true;
        handler.setExposure(300);
        QSignalSpy exposures(&handler, &TISCameraHandler::sendExposureToController);
        handler.askForCurrentExposure();
        QCOMPARE(exposures.size(), 0);
        exposure->refused = false;
        handler.setAutoExposure(false);
        QCOMPARE(exposures.size(), 1);
        QCOMPARE(exposures[0][1].toDouble(), 250.0);
    }

    void serialAbove2To63Opens()
    {
        listCamera("DMK 33UX249", "fedcba9876543210");
        TISCameraHandler handler(m_record);
        QSignalSpy opened(&handler, &TISCameraHandler::sendConnectionChanged);
        handler.open();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(m_backend->opened(), QStringList { "DMK 33UX249-fedcba9876543210" });
    }

    void openFailsQuietlyAndCloseReopenChoosesAfresh()
    {
        m_backend->setDevice(ScriptedCameraBackend::camera("DMK 33UX249", "1a2b3c4d").id, {});
        TISCameraHandler handler(m_record);
        QSignalSpy changes(&handler, &TISCameraHandler::sendConnectionChanged);
        handler.setExposure(3); // closed: nothing
        handler.open();
        QCOMPARE(changes.size(), 0);

        m_backend->setDevice(ScriptedCameraBackend::camera("DMK 33UX249", "1a2b3c4d").id, m_camera);
        handler.open();
        handler.open(); // already open: reported again only
        QCOMPARE(changes.size(), 2);
        QCOMPARE(m_backend->opened().size(), 2);
        QCOMPARE(int(handler.colorFormat()), 7);

        handler.close();
        QCOMPARE(changes.size(), 3);
        QCOMPARE(changes[2][1].toBool(), false);
        handler.close();
        QCOMPARE(changes.size(), 3);

        m_camera->formats = formatsOf({ VideoFormatItem::Y16 });
        handler.open();
        QCOMPARE(int(handler.colorFormat()), 11);
        QCOMPARE(m_camera->calls.filter("format").last(), "format Y16 (1280x960)");
    }
};

QTEST_GUILESS_MAIN(TestTISCameraHandler)
#include "tst_tiscamerahandler.moc"
