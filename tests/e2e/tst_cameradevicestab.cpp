#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/updater/DisplayTables.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "device/camera/TISCameraCommunicator.h"
#include "tests/device/camera/sim/PrivateNetwork.h"
#include "tests/support/CatalogueServer.h"
#include "tests/support/RoadSupport.h"
#include "tests/support/WidgetFixtures.h"
#include "tests/support/WidgetTestEnvironment.h"

#include <QDesktopServices>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using Record = QSharedPointer<MovraDeviceInfo>;

namespace {

const QString FirmwareName = QStringLiteral("Movra-HLX58_Firmware_V2.6.hex");
const QString FirmwarePath = ServedFolder + FirmwareName;
const QString GigESerial = QStringLiteral("FACE5");
// Aravis lists a GigE Vision camera that went silent for 10 to 20 s more.
constexpr int GigEFoundMs = 20000;
constexpr int GigELostMs = 30000;
// A camera's answer through Aravis in the camera thread, on a loaded machine.
constexpr int AnsweredMs = 20000;

// Tells when the widget it watches is enabled or disabled.
class EnabledWatch : public QObject
{
    Q_OBJECT

public:
    explicit EnabledWatch(QWidget* widget)
        : m_widget(widget)
    {
        widget->installEventFilter(this);
    }
    ~EnabledWatch() override { m_widget->removeEventFilter(this); }

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::EnabledChange)
            emit changed();
        return false;
    }

private:
    QWidget* m_widget;
};

} // namespace

// Cameras in the Devices tab under the whole program: Aravis's simulated
// camera and a simulated GigE Vision camera, found by the real camera
// transport, are shown under the camera type, are never counted as
// connected devices, and their update opens the camera vendor's page; a
// rotary joint on the simulated USB bus is updated from the catalogue
// beside them. The test runs in a network namespace of its own.
class TestCameraDevicesTab : public QObject
{
    Q_OBJECT

public:
    explicit TestCameraDevicesTab(const QString& noNetworkReason)
        : m_noNetworkReason(noNetworkReason)
    {
    }

signals:
    // The camera communicator's reports, brought to the test's thread.
    void cameraInserted(Record record);
    void cameraAnswered(Record record, const QString& what);
    void dialogShown();

private:
    QString m_noNetworkReason;
    WidgetTestEnvironment m_environment;
    CatalogueServer m_server;
    UrlCatcher m_pages;

    // Waits on the sender's signal until the condition holds.
    template <typename Sender, typename Signal, typename Condition>
    static bool waitOn(Sender* sender, Signal signal, Condition done, int timeoutMs)
    {
        QSignalSpy spy(sender, signal);
        QDeadlineTimer deadline(timeoutMs);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            spy.wait(int(qMax<qint64>(1, deadline.remainingTime())));
        }
        return true;
    }

    static bool waitForRows(Form& form, int type, int count, int timeoutMs)
    {
        QTreeWidgetItem* typeRow = form.typeRow(type);
        const auto done = [&] { return typeRow->childCount() == count; };
        return typeRow->childCount() < count
                   ? waitOn(form.tree->model(), &QAbstractItemModel::rowsInserted, done, timeoutMs)
                   : waitOn(form.tree->model(), &QAbstractItemModel::rowsRemoved, done, timeoutMs);
    }

    static QStringList rowTexts(QTreeWidgetItem* typeRow)
    {
        QStringList texts;
        for (int i = 0; i < typeRow->childCount(); ++i)
            texts << typeRow->child(i)->text(0) + QLatin1Char('|') + typeRow->child(i)->text(1);
        return texts;
    }

    static QStringList uidsOf(VEKUpdaterWidget& widget, int type)
    {
        QStringList uids;
        for (const FirmwareInformation& record : widget.informationHandler()->getFirmwareInformationList(type))
            uids << record.uid;
        return uids;
    }

    // The served catalogue offers the selected joint a newer firmware.
    bool checkForUpdates(Form& form)
    {
        const QJsonObject entry {
            { QStringLiteral("Version"), QJsonArray { QStringLiteral("2.6") } },
            { QStringLiteral("URLS"), QJsonArray { MovraWebHost + QLatin1Char('/') + FirmwarePath } },
            { QStringLiteral("Filters"), QJsonArray { QStringLiteral("Movra-HLX58_Firmware_V*.hex") } }
        };
        const QJsonObject root { { QStringLiteral("Firmwares"), 1 }, { QStringLiteral("0"), entry } };
        if (!m_server.writeFile(QStringLiteral("downloads/.updates/firmwares/firmwares_admin.json"),
                                QJsonDocument(root).toJson()))
            return false;
        EnabledWatch watch(form.update);
        form.check->click();
        return waitOn(
            &watch, &EnabledWatch::changed, [&] { return form.update->isEnabled(); }, 10000);
    }

private slots:
    void initTestCase()
    {
        if (!m_noNetworkReason.isEmpty())
            QSKIP(qPrintable(m_noNetworkReason));
        QVERIFY(m_environment.setUp());
        QVERIFY(m_server.start(QStringLiteral(MOVRA_HTTPS_SERVER), QUrl(MovraWebHost).host()));
        QVERIFY(m_server.writeFile(FirmwarePath, IntelHex::file(road::imageOf(QStringLiteral("HLX58")))));
        // Pages the program opens land in the test, never in a browser.
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_pages, "openUrl");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_pages, "openUrl");
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }

    void camerasShownNotCountedAndSentToTheVendor()
    {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("arv-fake-gv-camera-0.8"));
        if (server.isEmpty())
            QSKIP("arv-fake-gv-camera-0.8 (package aravis-tools) is not installed");
        QProcess gigE;
        gigE.start(server, { "-i", "127.0.0.1", "-s", GigESerial });
        QVERIFY(gigE.waitForStarted());

        const int camera = int(nsUpdater::Camera);
        const int joint = int(nsUpdater::AssistedRotaryJoint);
        const QString gigEUid = QStringLiteral("0") + GigESerial.toLower();
        auto bus = QSharedPointer<SimUsbBus>::create();
        // The real camera transport beside USB over the simulated bus, its
        // communicator kept an eye on.
        QWeakPointer<TISCameraCommunicator> cameraTransport;
        auto transports =
            simulatedUsbTransports(bus).make(TestTransports::Camera, TestTransports::watched(cameraTransport)).shared();
        std::unique_ptr<UsbInstrument> instrument;
        {
            QList<Record> cameras;
            connect(this, &TestCameraDevicesTab::cameraInserted, this, [&cameras](Record r) { cameras << r; });
            QStringList answers;
            connect(this, &TestCameraDevicesTab::cameraAnswered, this,
                    [&answers](Record r, const QString& what) { answers << r->uid() + QLatin1Char(' ') + what; });

            VEKUpdaterWidget widget(transports);
            Form form(&widget);
            {
                const QSharedPointer<TISCameraCommunicator> communicator = cameraTransport.toStrongRef();
                QVERIFY(communicator);
                // Emitted in the camera thread; queued to this one.
                connect(communicator.data(), &AbstractCommunicator::sendDeviceInserted, this,
                        &TestCameraDevicesTab::cameraInserted);
                connect(communicator.data(), &AbstractCommunicator::sendConnectionChanged, this,
                        [this](Record r, bool opened) { emit cameraAnswered(r, opened ? "opened" : "closed"); });
                connect(communicator.data(), &TISCameraCommunicator::sendAvailableResolutionsReceivedFromDevice, this,
                        [this](Record r, QList<QSize>) { emit cameraAnswered(r, "resolutions"); });
                connect(communicator.data(), &TISCameraCommunicator::sendStartStopConfirmationReceivedFromDevice, this,
                        [this](Record r, bool) { emit cameraAnswered(r, "start/stop"); });
                connect(communicator.data(), &TISCameraCommunicator::sendImageReceivedFromDevice, this,
                        [this](Record r, QSharedPointer<TISCameraImage>) { emit cameraAnswered(r, "image"); });
            }

            // Both cameras under the camera type, connected; none counted.
            QVERIFY(waitForRows(form, camera, 2, GigEFoundMs));
            QTreeWidgetItem* cameraRow = form.typeRow(camera);
            QCOMPARE(rowTexts(cameraRow), (QStringList { "Fake (Port #0)|Connected", "Fake (Port #0)|Connected" }));
            QCOMPARE(cameraRow->text(1), QStringLiteral("Connected"));
            QStringList uids = uidsOf(widget, camera);
            std::sort(uids.begin(), uids.end());
            QCOMPARE(uids, (QStringList { "01", gigEUid }));
            QCOMPARE(widget.connectedDeviceCount(), 0);
            // The records the rows stand for carry the driver version the
            // camera reports (Aravis's own, its missing fourth part 0). The
            // transport's notice reaches the test after the rows' own.
            QTRY_COMPARE_WITH_TIMEOUT(cameras.size(), 2, 10000);
            for (const Record& record : qAsConst(cameras)) {
                QVERIFY2(QRegularExpression("^0\\.\\d+\\.\\d+\\.0$").match(record->motherboardFirmware()).hasMatch(),
                         record->motherboardFirmware().constData());
                QCOMPARE(record->channelFirmware(), record->motherboardFirmware());
            }
            // The updater opened both; the camera transport said so.
            QVERIFY(waitOn(
                this, &TestCameraDevicesTab::cameraAnswered, [&] { return answers.size() == 2; }, AnsweredMs));
            QVERIFY(answers.contains(QStringLiteral("01 opened")));
            QVERIFY(answers.contains(gigEUid + QStringLiteral(" opened")));

            // The camera row's panes and buttons.
            form.tree->setCurrentItem(cameraRow->child(0));
            QCOMPARE(form.visiblePanes(), QStringLiteral("B"));
            QVERIFY(form.boot->toPlainText().contains(QStringLiteral("Camera Informations")));
            // The first camera's serial number, whichever row is selected.
            const auto firstSerialShown = [&] {
                return form.boot->toPlainText().endsWith(QStringLiteral("Serial Number: ")
                                                         + uidsOf(widget, camera).first());
            };
            QVERIFY2(firstSerialShown(), qPrintable(form.boot->toPlainText()));
            QVERIFY(form.update->isEnabled());
            QVERIFY(!form.manual->isEnabled());

            QSignalSpy requests(&widget, &VEKUpdaterWidget::sendRequestToNetwork);
            QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
            DialogAnswerer user({ QStringLiteral("OK") });

            // Only cameras: nothing is counted, so nothing starts and
            // nothing is said.
            m_pages.opened.clear();
            form.update->click();
            QCOMPARE(m_pages.opened.size(), 0);
            QCOMPARE(requests.size(), 0);

            // With one instrument beside the cameras, only the instrument counts.
            instrument = std::make_unique<UsbInstrument>(bus, road::profileOf(QStringLiteral("HLX58")), 2, 5);
            QVERIFY(waitForRows(form, joint, 1, road::FoundAndReadMs));
            QCOMPARE(widget.connectedDeviceCount(), 1);

            // The camera's update opens the vendor's driver page, nothing else.
            form.tree->setCurrentItem(cameraRow->child(1));
            QVERIFY(form.update->isEnabled());
            form.update->click();
            QCOMPARE(m_pages.opened.size(), 1);
            QCOMPARE(m_pages.opened.first().scheme(), QStringLiteral("https"));
            QVERIFY(!m_pages.opened.first().host().isEmpty());
            QCOMPARE(m_pages.opened.first().path(), QStringLiteral("/support/downloads-for-windows/"));
            QCOMPARE(requests.size(), 0);
            QCOMPARE(lock.size(), 0);
            QVERIFY(!progressDialog() || !progressDialog()->isVisible());
            QVERIFY(user.seen.isEmpty());

            // The instrument's update from the catalogue starts and ends
            // with the cameras still there.
            form.tree->setCurrentItem(form.typeRow(joint)->child(0));
            QVERIFY(!form.update->isEnabled());
            QVERIFY(checkForUpdates(form));
            requests.clear();
            user.onShown = [this](const DialogAnswerer::Seen&) { emit dialogShown(); };
            QSignalSpy shown(this, &TestCameraDevicesTab::dialogShown);
            form.update->click();
            QCOMPARE(requests.size(), 1);
            QCOMPARE(requests.first().at(0).toUrl().toString(), MovraWebHost + QLatin1Char('/') + FirmwarePath);
            QCOMPARE(requests.first().at(1).toBool(), false);
            QVERIFY(shown.wait(road::UpdateMs));
            QCOMPARE(user.seen.size(), 1);
            QCOMPARE(user.seen.first().text, CompletedText);
            // The jump is sent as the box shows: it may still be on its way.
            QVERIFY(instrument->waitUntil([&] { return instrument->core().jumped(); }, StepWait::OnItsWayMs));
            QCOMPARE(m_pages.opened.size(), 1);

            // The update's reset did not make the cameras' records go.
            form.tree->setCurrentItem(cameraRow->child(0));
            QVERIFY2(firstSerialShown(), qPrintable(form.boot->toPlainText()));

            // The GigE camera goes: its row and record go; the joint still counts.
            gigE.terminate();
            QVERIFY(gigE.waitForFinished());
            QVERIFY(waitForRows(form, camera, 1, GigELostMs));
            QCOMPARE(uidsOf(widget, camera), QStringList { "01" });
            QCOMPARE(rowTexts(cameraRow), QStringList { "Fake (Port #0)|Connected" });
            QCOMPARE(cameraRow->text(1), QStringLiteral("Not connected"));
            QVERIFY(waitForRows(form, joint, 1, road::FoundAndReadMs));
            QCOMPARE(widget.connectedDeviceCount(), 1);

            // Requests that name the camera that went do nothing; the one
            // for the camera still there, queued after them, is answered.
            Record gone;
            Record fake;
            for (const Record& record : qAsConst(cameras))
                (record->uid() == gigEUid ? gone : fake) = record;
            QVERIFY(gone && fake);
            {
                const QSharedPointer<TISCameraCommunicator> communicator = cameraTransport.toStrongRef();
                QVERIFY(communicator);
                TISCameraCommunicator* c = communicator.data();
                answers.clear();
                QVERIFY(
                    QMetaObject::invokeMethod(c, "onOpenDeviceReceived", Q_ARG(QSharedPointer<MovraDeviceInfo>, gone)));
                QVERIFY(QMetaObject::invokeMethod(c, "onStartStopReceived",
                                                  Q_ARG(QSharedPointer<MovraDeviceInfo>, gone), Q_ARG(bool, true)));
                QVERIFY(
                    QMetaObject::invokeMethod(c, "onSnapImageReceived", Q_ARG(QSharedPointer<MovraDeviceInfo>, gone)));
                QVERIFY(QMetaObject::invokeMethod(c, "onAskForAvailableResolutionsReceived",
                                                  Q_ARG(QSharedPointer<MovraDeviceInfo>, gone)));
                QVERIFY(QMetaObject::invokeMethod(c, "onAskForAvailableResolutionsReceived",
                                                  Q_ARG(QSharedPointer<MovraDeviceInfo>, fake)));
            }
            QSignalSpy answered(this, &TestCameraDevicesTab::cameraAnswered);
            QVERIFY(answered.wait(AnsweredMs));
            QCOMPARE(answers, QStringList { "01 resolutions" });
            QCOMPARE(cameraRow->childCount(), 1);
            QCOMPARE(m_pages.opened.size(), 1);
        }
        instrument.reset();
    }
};

int main(int argc, char** argv)
{
    // Before any thread starts, and before Aravis looks at the network.
    const QString noNetworkReason = enterPrivateNetwork();
    qputenv("MOVRA_CAMERA_INTERFACES", "Fake,GigEVision");
    QApplication app(argc, argv);
    TestCameraDevicesTab test(noNetworkReason);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cameradevicestab.moc"
