#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/IntelHex.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/PseudoRandomBytes.h"
#include "tests/support/UpdaterRig.h"

#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

using Response = UpdaterRig::Response;
using Start = FirmwareUpdater::StartResult;

namespace {

const QString FoundText = QStringLiteral("A Movra device has been found. Retrieving his firmware versions");
const QString CameraText = QStringLiteral("A Movra camera has been found");
const QString RemovedText = QStringLiteral("Movra device removed");

constexpr int FirstPollMs = 1500;
constexpr int Slack = 600;

sim::UsbIdentity identity(quint16 productId, quint16 release, const QString& product, quint16 vendorId = 0x04D8)
{
    return { vendorId, productId, release, product, QStringLiteral("SN-0001") };
}

QSharedPointer<MovraDeviceInfo> plugInstrument(UpdaterRig& rig, const sim::InstrumentProfile& profile, quint8 address)
{
    return rig.machine->plug(usbDevice(QSharedPointer<sim::Instrument>::create(profile), address));
}

QStringList commandsTo(const UpdaterRig& rig, const QString& uid)
{
    QStringList found;
    for (const QString& entry : rig.log.matching(QStringLiteral("usb:command:") + uid + QLatin1Char(':')))
        found.append(entry.section(QLatin1Char(':'), 3).left(16));
    return found;
}

QString firmwareFile(const QTemporaryDir& dir, const QString& name, bool pic32)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return path;
    const quint32 base = pic32 ? 0x1D000000 : 0x00000000;
    QByteArray data = pseudoRandomBytes(64, 7);
    for (int i = 3; i < data.size(); i += 4)
        data[i] = 0x00;
    file.write(IntelHex::file({ { base, data } }));
    return path;
}

// The French word for the missing-version marker, as the loaded translation gives it.
class FrenchMarker : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (qstrcmp(context, "ProgressDialog") == 0 && qstrcmp(sourceText, "N/A") == 0)
            return QStringLiteral("N/D");
        return QString();
    }
};

} // namespace

class TestFirmwareUpdater : public QObject
{
    Q_OBJECT

private slots:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral(".*"))); }

    // Arrival, classification, version query, one report per device when
    // the burst ends, 3000 ms after the last queried arrival.
    void versionBurst()
    {
        UpdaterRig rig;
        const auto hlx = plugInstrument(rig, sim::hlx58Profile(), 5);
        const auto nxl = plugInstrument(rig, sim::nxltv2Profile(), 6);
        // The next poll, 1500 ms later, brings a third one into the same
        // burst: plugged as the first two are told found, not when the test
        // next looks, which a loaded machine may delay.
        QSharedPointer<MovraDeviceInfo> pic;
        const QMetaObject::Connection plugThird =
            connect(rig.updater.data(), &FirmwareUpdater::sendMessageToStatusBar, this, [&](const QString& text) {
                if (text == FoundText && !pic && rig.statusesWith(FoundText).size() == 2)
                    pic = plugInstrument(rig, sim::pic32BootloaderProfile(), 7);
            });
        QTRY_COMPARE_WITH_TIMEOUT(rig.statusesWith(FoundText).size(), 2, FirstPollMs + Slack);
        QTRY_COMPARE_WITH_TIMEOUT(rig.statusesWith(FoundText).size(), 3, FirstPollMs + Slack);
        disconnect(plugThird);
        QVERIFY(rig.reports.isEmpty());
        QVERIFY(rig.statusesWith(FoundText).last().at - rig.statusesWith(FoundText).first().at >= 1000);
        const qint64 lastArrival = rig.statusesWith(FoundText).last().at;
        QCOMPARE(rig.statusesWith(FoundText).last().timeout, 3000);

        QTRY_COMPARE_WITH_TIMEOUT(rig.reports.size(), 3, 3000 + Slack);
        const qint64 expiry = rig.reports.first().at;
        QVERIFY2(expiry - lastArrival >= 2950 && expiry - lastArrival < 3000 + Slack,
                 qPrintable(QString::number(expiry - lastArrival)));
        QTest::qWait(500);
        QCOMPARE(rig.reports.size(), 3); // one expiry for the whole burst

        const auto h = rig.reportsOf(hlx->uid()).value(0).seen;
        QCOMPARE(h.deviceType, 0);
        QCOMPARE(h.name, QStringLiteral("HLX_58 Rotary Joint"));
        QCOMPARE(h.motherboardVersion, QStringLiteral("2.5"));
        QCOMPARE(h.channelVersion, QStringLiteral("2.5"));
        QCOMPARE(h.bootloaderVersion, QStringLiteral("1.3"));
        const auto n = rig.reportsOf(nxl->uid()).value(0).seen;
        QCOMPARE(n.deviceType, 1);
        QCOMPARE(n.motherboardVersion, QStringLiteral("3.1"));
        QCOMPARE(n.channelVersion, QStringLiteral("N/A"));
        QCOMPARE(n.bootloaderVersion, QStringLiteral("N/A"));
        const auto p = rig.reportsOf(pic->uid()).value(0).seen;
        QCOMPARE(p.deviceType, 3);
        QCOMPARE(p.motherboardVersion, QStringLiteral("N/A"));
        QCOMPARE(p.bootloaderVersion, QStringLiteral("1.2"));

        // Each device opened once and asked in its own family's words.
        QCOMPARE(rig.opened, (QStringList { hlx->uid(), nxl->uid(), pic->uid() }));
        QCOMPARE(commandsTo(rig, hlx->uid()), (QStringList { "0100ffffffffffff", "0700ffffffffffff" }));
        QCOMPARE(commandsTo(rig, nxl->uid()), (QStringList { "0700ffffffffffff" }));
        QCOMPARE(commandsTo(rig, pic->uid()), (QStringList { "0110010031330"
                                                             "4ff" }));
    }

    // In French too a version that was not read is the fixed marker, which
    // the widget compares against and translates only where it shows it.
    void unreadVersionsKeepTheMarkerInFrench()
    {
        FrenchMarker french;
        QVERIFY(QCoreApplication::installTranslator(&french));
        UpdaterRig rig;
        const auto nxl = plugInstrument(rig, sim::nxltv2Profile(), 6);
        const bool reported = rig.waitUntil([&] { return !rig.reportsOf(nxl->uid()).isEmpty(); }, 30000);
        QCoreApplication::removeTranslator(&french);
        QVERIFY(reported);
        const auto seen = rig.reportsOf(nxl->uid()).first().seen;
        QCOMPARE(seen.motherboardVersion, QStringLiteral("3.1"));
        QCOMPARE(seen.channelVersion, QStringLiteral("N/A"));
        QCOMPARE(seen.bootloaderVersion, QStringLiteral("N/A"));
    }

    void tv720WaitsLonger()
    {
        UpdaterRig rig(true);
        rig.machine->plug(usbDevice(identity(0x00F2, 9, QStringLiteral("TV720"), 0x04B4), 4, CommType::USB3));
        QTRY_COMPARE_WITH_TIMEOUT(rig.statusesWith(FoundText).size(), 1, FirstPollMs + Slack);
        QCOMPARE(rig.statusesWith(FoundText).first().timeout, 10000);
        const qint64 arrival = rig.statusesWith(FoundText).first().at;
        QTRY_COMPARE_WITH_TIMEOUT(rig.reports.size(), 1, 10000 + Slack);
        QVERIFY2(rig.reports.first().at - arrival >= 9950,
                 qPrintable(QString::number(rig.reports.first().at - arrival)));
        QCOMPARE(rig.reports.first().seen.deviceType, 18);

        // An ordinary arrival after it waits 3000 ms again.
        plugInstrument(rig, sim::hlx58Profile(), 5);
        QTRY_COMPARE_WITH_TIMEOUT(rig.statusesWith(FoundText).size(), 2, FirstPollMs + Slack);
        const qint64 second = rig.statusesWith(FoundText).last().at;
        QTRY_COMPARE_WITH_TIMEOUT(rig.reports.size(), 3, 3000 + Slack);
        QVERIFY(rig.reports.last().at - second < 3000 + Slack);
    }

    void sameRecordTwiceIsQueriedOnce()
    {
        UpdaterRig rig;
        const auto hlx = plugInstrument(rig, sim::hlx58Profile(), 5);
        QTRY_COMPARE_WITH_TIMEOUT(rig.statusesWith(FoundText).size(), 1, FirstPollMs + Slack);
        rig.machine->announceAgain(hlx);
        QTRY_COMPARE_WITH_TIMEOUT(rig.reports.size(), 1, 3000 + Slack);
        QTest::qWait(200);
        QCOMPARE(rig.reports.size(), 1);
        QCOMPARE(rig.statusesWith(FoundText).size(), 1);
        QCOMPARE(rig.opened, QStringList { hlx->uid() });
        QCOMPARE(commandsTo(rig, hlx->uid()).size(), 2);
        QCOMPARE(rig.updater->getAvailableDevices(nsUpdater::DeviceIdentifier::AssistedRotaryJoint).size(), 1);
    }

    void waitingForChannelsDropsOneReport()
    {
        UpdaterRig rig;
        rig.updater->setWaitingForChannels(true);
        const auto hlx = plugInstrument(rig, sim::hlx58Profile(), 5);
        QTRY_COMPARE_WITH_TIMEOUT(rig.reports.size(), 1, FirstPollMs + 3000 + Slack);
        QVERIFY(!rig.updater->isWaitingForChannels());
        // The first report (the bootloader version) went; the second came in.
        QCOMPARE(rig.reports.first().seen.bootloaderVersion, QStringLiteral("N/A"));
        QCOMPARE(rig.reports.first().seen.motherboardVersion, QStringLiteral("2.5"));
    }

    void removalByUid()
    {
        UpdaterRig rig;
        const auto hlx = plugInstrument(rig, sim::hlx58Profile(), 5);
        // Another record of the same device (same uid), as a second report would give.
        plugInstrument(rig, sim::hlx58Profile(), 5);
        const auto nxl = plugInstrument(rig, sim::nxltv2Profile(), 6);
        auto lightSource = rig.machine->plug(usbDevice(identity(0xF57E, 1, QStringLiteral("Hybrid LED Driver")), 8));
        auto motherboard = rig.machine->plug(usbDevice(identity(0xF57E, 4, QStringLiteral("Acquisition Console")), 9));
        auto manager = rig.machine->plug(usbDevice(identity(0xF57E, 7, QStringLiteral("Memory Manager")), 10));
        // The three instruments, and the three devices the motherboard and
        // channel families query (they do not answer, but get a record).
        QTRY_COMPARE_WITH_TIMEOUT(rig.reports.size(), 6, FirstPollMs + 3000 + Slack);

        using nsUpdater::DeviceIdentifier;
        QCOMPARE(rig.updater->getAvailableDevices(DeviceIdentifier::LightSource),
                 (QList<QSharedPointer<MovraDeviceInfo>> { lightSource, motherboard }));
        QCOMPARE(rig.updater->getAvailableDevices(DeviceIdentifier::EEPROMMemoryManager),
                 QList<QSharedPointer<MovraDeviceInfo>> { manager });

        rig.machine->unplug(hlx);
        QTRY_COMPARE_WITH_TIMEOUT(rig.statusesWith(RemovedText).size(), 1, FirstPollMs + Slack);
        QCOMPARE(rig.statusesWith(RemovedText).first().timeout, 1500);
        QCOMPARE(rig.connected.size(), 2);
        for (const auto& c : qAsConst(rig.connected)) {
            QCOMPARE(c.uid, hlx->uid());
            QCOMPARE(c.type, 0);
            QVERIFY(!c.connected);
        }
        QVERIFY(rig.updater->getAvailableDevices(DeviceIdentifier::AssistedRotaryJoint).isEmpty());
        QCOMPARE(rig.updater->getAvailableDevices(DeviceIdentifier::KZR410),
                 QList<QSharedPointer<MovraDeviceInfo>> { nxl });

        // The next burst sends only the records that are left.
        rig.reports.clear();
        plugInstrument(rig, sim::pic32BootloaderProfile(), 11);
        // The photometry driver, the three queried ones and the new one.
        QTRY_COMPARE_WITH_TIMEOUT(rig.reports.size(), 5, FirstPollMs + 3000 + Slack);
        QVERIFY(rig.reportsOf(hlx->uid()).isEmpty());
    }

    void wrongPortNotice_data()
    {
        QTest::addColumn<bool>("userTold");
        QTest::newRow("the user is told") << true;
        QTest::newRow("no one to tell") << false;
    }

    // Told or not, the device is listed and gets no query.
    void wrongPortNotice()
    {
        QFETCH(bool, userTold);
        UpdaterRig rig;
        NoticeRecorder user;
        if (userTold)
            rig.updater->setNotices(&user);
        // A third-generation microscope driver on a plain USB port.
        rig.machine->plug(usbDevice(identity(0x00F1, 8, QStringLiteral("Microscope"), 0x0EB9), 4));
        QTRY_COMPARE_WITH_TIMEOUT(rig.updater->getAvailableDevices(nsUpdater::DeviceIdentifier::GQZ3).size(), 1,
                                  FirstPollMs + Slack);
        QCOMPARE(user.told, userTold ? QStringList { QStringLiteral("wrong port") } : QStringList());
        QTest::qWait(3000 + Slack);
        QCOMPARE(user.told.size(), userTold ? 1 : 0);
        QVERIFY(rig.reports.isEmpty());
        QVERIFY(rig.opened.isEmpty());
        QVERIFY(rig.statuses.isEmpty());
    }

    void cameraPath_data()
    {
        QTest::addColumn<bool>("updateReset");
        QTest::newRow("unplugged") << false;
        // An update's reset drops only the device it resets; a camera is
        // never one of them.
        QTest::newRow("unplugged after an update's reset") << true;
    }

    void cameraPath()
    {
        QFETCH(bool, updateReset);
        UpdaterRig rig;
        FakeDevice description = FakeDevice::of(CommType::Camera, QStringLiteral("DMK 33UX249"));
        description.serialNumber = QStringLiteral("1A2B3C4D");
        description.uid = QStringLiteral("1A2B3C4D");
        const auto camera = rig.machine->plug(description);
        QTRY_COMPARE_WITH_TIMEOUT(rig.connected.size(), 1, FirstPollMs + Slack);
        QCOMPARE(rig.connected.first().type, 4);
        QCOMPARE(rig.connected.first().name, camera->name());
        QCOMPARE(rig.connected.first().uid, camera->uid());
        QVERIFY(rig.connected.first().connected);
        QCOMPARE(rig.statusesWith(CameraText).size(), 1);
        QCOMPARE(rig.statusesWith(CameraText).first().timeout, 3000);
        // Shown as it is asked to open: the camera transport takes the request in its thread.
        const QString opened = QStringLiteral("camera:open:1A2B3C4D");
        QVERIFY(rig.log.waitUntil([&] { return !rig.log.matching(opened).isEmpty(); }, StepWait::OnItsWayMs));
        QCOMPARE(rig.log.matching(opened).size(), 1);

        if (updateReset) {
            QVERIFY(QMetaObject::invokeMethod(rig.updater.data(), "clearAvailableDevices"));
            QCOMPARE(rig.updater->getAvailableDevices(nsUpdater::DeviceIdentifier::Camera).size(), 1);
            QCOMPARE(rig.connected.size(), 1);
        }
        rig.machine->unplug(camera);
        QTRY_COMPARE_WITH_TIMEOUT(rig.connected.size(), 2, FirstPollMs + Slack);
        QVERIFY(!rig.connected.last().connected);
        QCOMPARE(rig.connected.last().type, 4);
        QCOMPARE(rig.statusesWith(RemovedText).size(), 1);
        QVERIFY(rig.reports.isEmpty()); // no record, no burst
    }

    // The Ethernet microscope's version datagram goes to the Ethernet
    // devices whose version is not known yet, and to no other.
    void micVersionRelay()
    {
        UpdaterRig rig;
        auto fresh = DeviceRecordBuilder::ethernet(QStringLiteral("192.168.1.2"))
                         .name(QStringLiteral("Microscope Driver"))
                         .build();
        auto known = DeviceRecordBuilder::ethernet(QStringLiteral("192.168.2.2")).motherboardFirmware("1.2").build();
        auto usb = usbDevice(sim::hlx58Profile().application, 5).record();
        for (const auto& device : { fresh, known, usb })
            QVERIFY(QMetaObject::invokeMethod(rig.updater.data(), "onDeviceInserted",
                                              Q_ARG(QSharedPointer<MovraDeviceInfo>, device)));
        // The Ethernet grabber gives no uid: the address stands for it.
        QCOMPARE(fresh->uid(), QStringLiteral("192.168.1.2"));

        QList<QPair<QSharedPointer<MovraDeviceInfo>, QByteArray>> relayed;
        connect(rig.updater.data(), &FirmwareUpdater::sendCommandReceivedToCommunicator, this,
                [&](QSharedPointer<MovraDeviceInfo> device, QByteArray data) {
                    relayed.append({ device, data });
                });
        const QByteArray version = QByteArray::fromHex("020500");
        QVERIFY(QMetaObject::invokeMethod(rig.updater.data(), "onMicVersionReceived", Q_ARG(QByteArray, version)));
        QCOMPARE(relayed.size(), 1);
        QCOMPARE(relayed.first().first, fresh);
        QCOMPARE(relayed.first().second, version);
    }

    void unlistedCameraRemoval()
    {
        UpdaterRig rig;
        auto camera = DeviceRecordBuilder::on(CommType::Camera).build();
        QVERIFY(QMetaObject::invokeMethod(rig.updater.data(), "onCameraRemoved",
                                          Q_ARG(QSharedPointer<MovraDeviceInfo>, camera)));
        QVERIFY(rig.connected.isEmpty());
        QCOMPARE(rig.statusesWith(RemovedText).size(), 1);
        QCOMPARE(rig.statusesWith(RemovedText).first().timeout, 1500);
        // An unlisted device goes without a word.
        QVERIFY(QMetaObject::invokeMethod(rig.updater.data(), "onDeviceRemoved",
                                          Q_ARG(QSharedPointer<MovraDeviceInfo>, camera)));
        QCOMPARE(rig.statuses.size(), 1);
    }

    void startUpdate_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("motherboardPhase");
        QTest::addColumn<bool>("pic32File");
        QTest::addColumn<Start>("result");
        QTest::addColumn<QString>("communicator"); // "-" when none was asked for

        QTest::newRow("rotary joint") << "hlx58" << 0 << "HLX58_V2.6.hex" << false << false << Start::Started
                                      << "HLX58Communicator";
        QTest::newRow("YLQSA Gen2") << "ylqsa" << 22 << "YLQSA_V1.hex" << false << false << Start::Started
                                    << "HLX58Communicator";
        QTest::newRow("KZR410") << "nxltv2" << 1 << "NXLTV2_V3.2.hex" << false << true << Start::Started
                                << "NXLTV2Communicator";
        QTest::newRow("KOTW Gen3") << "kotw" << 23 << "KOTW_V1.hex" << false << true << Start::Started
                                   << "NXLTV2Communicator";
        QTest::newRow("PIC32 bootloader")
            << "pic32" << 3 << "Any_V1.hex" << false << true << Start::Started << "BootloaderPIC32Communicator";
        QTest::newRow("other bootloader")
            << "hlxboot" << 3 << "Any_V1.hex" << false << false << Start::Started << "BootloaderCommunicator";
        QTest::newRow("Sarvanti disk file")
            << "sarvanti" << 21 << "Sarvanti_Disk_V1.hex" << false << false << Start::Started << "HLX58Communicator";
        QTest::newRow("Sarvanti pulse file")
            << "sarvanti" << 21 << "Sarvanti_V1.hex" << false << false << Start::Started << "HKTRCommunicator";
        QTest::newRow("Sarvanti Gen2 disk file")
            << "sarvanti2" << 25 << "Gen2_Disk_V1.hex" << false << false << Start::Started << "HLX58Communicator";
        QTest::newRow("Sarvanti Gen2 driver file")
            << "sarvanti2" << 25 << "Gen2_V1.hex" << false << true << Start::Started << "NXLTV2Communicator";
        QTest::newRow("channel file on a bootloader")
            << "hlxboot" << 3 << "Movra-LS_Default_Firmware_V3.hex" << false << false << Start::FileNotAllowed << "-";
        QTest::newRow("channel file, unknown uid")
            << "nobody" << 3 << "DriverHybridChannel_V2.hex" << false << false << Start::FileNotAllowed << "-";
        QTest::newRow("unknown uid") << "nobody" << 0 << "HLX58_V2.6.hex" << false << false << Start::NoSuchDevice
                                     << "-";
        QTest::newRow("file missing") << "hlx58" << 0 << "" << false << false << Start::FileRefused
                                      << "HLX58Communicator";
        QTest::newRow("channel file on a motherboard")
            << "motherboard" << 17 << "Movra-LS_Default_Firmware_V3.hex" << false << false << Start::Started
            << "LightsourceChannelCommunicator";
        QTest::newRow("motherboard phase") << "motherboard" << 17 << "Movra-LS_Default_Firmware_V3.hex" << true << false
                                           << Start::Started << "MotherboardCommunicator";
        QTest::newRow("camera") << "camera" << 4 << "Camera.hex" << false << false << Start::NoSuchDevice << "-";
        QTest::newRow("FX3 in boot mode") << "fx3boot" << 20 << "Microscope_V1.img" << false << false << Start::Started
                                          << "BootCypressFX3Communicator";
        // Its board answers no bootloader command over the link, whatever
        // the phase would make of its type.
        QTest::newRow("two-colour microscope on Ethernet")
            << "ethernet" << 11 << "Movra-Microscope2_Firmware_V3.1.mcs" << false << false << Start::WrongLink << "-";
        QTest::newRow("microscope on Ethernet, motherboard phase")
            << "ethernet" << 11 << "Movra-Microscope2_Firmware_V3.1.mcs" << true << false << Start::WrongLink << "-";
    }
    void startUpdate()
    {
        QFETCH(QString, device);
        QFETCH(int, type);
        QFETCH(QString, fileName);
        QFETCH(bool, motherboardPhase);
        QFETCH(bool, pic32File);
        QFETCH(Start, result);
        QFETCH(QString, communicator);

        if (!m_table) {
            m_table.reset(new UpdaterRig);
            m_devices["hlx58"] = plugInstrument(*m_table, sim::hlx58Profile(), 5);
            m_devices["nxltv2"] = plugInstrument(*m_table, sim::nxltv2Profile(), 6);
            m_devices["pic32"] = plugInstrument(*m_table, sim::pic32BootloaderProfile(), 7);
            auto hlxBoot = sim::hlx58Profile();
            hlxBoot.hasApplication = false;
            m_devices["hlxboot"] = plugInstrument(*m_table, hlxBoot, 8);
            FakeMachine& machine = *m_table->machine;
            m_devices["ylqsa"] = machine.plug(usbDevice(identity(0xF410, 1, QStringLiteral("YLQSA Gen2")), 9));
            m_devices["kotw"] = machine.plug(usbDevice(identity(0xF724, 1, QStringLiteral("KOTW Gen3")), 10));
            m_devices["sarvanti"] = machine.plug(usbDevice(identity(0xF347, 1, QStringLiteral("Sarvanti Motor")), 11));
            m_devices["sarvanti2"] = machine.plug(usbDevice(identity(0xF348, 1, QStringLiteral("Sarvanti Gen2")), 12));
            m_devices["motherboard"] =
                machine.plug(usbDevice(identity(0xF57E, 4, QStringLiteral("Acquisition Console")), 13));
            // The FX3 bridge in its boot mode: recorded on arrival, updated
            // by the external programmer.
            m_devices["fx3boot"] = machine.plug(usbDevice(identity(0x00F3, 1, QStringLiteral("FX3"), 0x04B4), 14));
            FakeDevice camera = FakeDevice::of(CommType::Camera, QString());
            camera.uid = QStringLiteral("CAFE0001");
            m_devices["camera"] = machine.plug(camera);
            // The two-colour microscope as the Ethernet grabber and its
            // version reply leave it.
            auto ethernet = DeviceRecordBuilder::ethernet(QStringLiteral("192.168.1.250"))
                                .name(QStringLiteral("MicroscopeDual"))
                                .driverType(DriverType::MicroscopeDualDriver)
                                .build();
            QVERIFY(QMetaObject::invokeMethod(m_table->updater.data(), "onDeviceInserted",
                                              Q_ARG(QSharedPointer<MovraDeviceInfo>, ethernet)));
            m_devices["ethernet"] = ethernet;
            QTRY_COMPARE_WITH_TIMEOUT(m_table->reports.size(), 11, FirstPollMs + 3000 + 2 * Slack);
        }
        UpdaterRig& rig = *m_table;
        // A started update forgets the device it updates: list it again, as
        // the grabbers would when it comes back.
        rig.updater->setReadyToReceiveDevice();
        for (const auto& listed : qAsConst(m_devices))
            QVERIFY(QMetaObject::invokeMethod(rig.updater.data(), "onDeviceInserted",
                                              Q_ARG(QSharedPointer<MovraDeviceInfo>, listed)));
        const QString uid = m_devices.contains(device) ? m_devices[device]->uid() : QStringLiteral("04D8-F999-0101-01");
        const QString path = fileName.isEmpty() ? m_dir.filePath(QStringLiteral("missing.hex"))
                                                : firmwareFile(m_dir, fileName, pic32File);

        const int asked = rig.updater->updateCommunicators.size();
        QSignalSpy sent(rig.updater.data(), &FirmwareUpdater::sendCommandToDevice);
        QCOMPARE(rig.updater->startUpdate(path, type, uid, motherboardPhase, false), result);
        if (result != Start::Started)
            QCOMPARE(sent.size(), 0);
        if (communicator == "-") {
            QCOMPARE(rig.updater->updateCommunicators.size(), asked);
        } else {
            QCOMPARE(rig.updater->updateCommunicators.size(), asked + 1);
            QCOMPARE(rig.updater->updateCommunicators.last(), communicator);
        }
    }

    // The USB re-find compares only the fifth and sixth characters of the uids.
    void reFind_data()
    {
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("oldUid");
        QTest::addColumn<QString>("found");
        QTest::newRow("hyphen and F") << QStringList { "04D8-F222-0104-07" } << "04D8-F57E-0103-05"
                                      << "04D8-F222-0104-07";
        QTest::newRow("first of two") << QStringList { "04D8-F222-0104-07", "04D8-F333-0104-08" } << "04D8-F57E-0103-05"
                                      << "04D8-F222-0104-07";
        QTest::newRow("none") << QStringList { "04B4-00F1-0104-07" } << "04D8-F57E-0103-05"
                              << "";
        QTest::newRow("nothing listed") << QStringList {} << "04D8-F57E-0103-05"
                                        << "";
        QTest::newRow("old uid too short") << QStringList { "", "04D8" } << "04D8"
                                           << "";
        QTest::newRow("listed device without uid") << QStringList { "", "04D8-F222-0104-07" } << "04D8-F57E-0103-05"
                                                   << "04D8-F222-0104-07";
        QTest::newRow("listed uid too short") << QStringList { "04D8" } << "04D8-F57E-0103-05"
                                              << "";
    }
    void reFind()
    {
        QFETCH(QStringList, listed);
        QFETCH(QString, oldUid);
        QFETCH(QString, found);
        UpdaterRig rig;
        for (const QString& uid : listed) {
            auto record = DeviceRecordBuilder::on(CommType::USB).uid(uid).build();
            QVERIFY(QMetaObject::invokeMethod(rig.updater.data(), "onDeviceInserted",
                                              Q_ARG(QSharedPointer<MovraDeviceInfo>, record)));
        }
        QVERIFY(
            QMetaObject::invokeMethod(rig.updater.data(), "onReconnectToBootloaderReceived", Q_ARG(QString, oldUid)));
        if (found.isEmpty()) {
            QCOMPARE(rig.responses, (QList<Response> { { 113, 0, 10 }, { 113, 1, -1 } }));
            QVERIFY(rig.opened.isEmpty());
            QVERIFY(rig.reconnected.isEmpty());
        } else {
            QCOMPARE(rig.responses, (QList<Response> { { 113, 0, 10 } }));
            QCOMPARE(rig.opened, QStringList { found });
            QCOMPARE(rig.reconnected, QStringList { found });
        }
    }

    // An update's reset takes away only the updated device, and its re-find
    // hands back only a device that came after the update started: an
    // instrument that was listed before never reset, whatever its uid,
    // serial number or type says.
    void reFindSkipsInstrumentsListedBefore_data()
    {
        QTest::addColumn<QString>("reFind");
        QTest::addColumn<bool>("listedBefore");
        for (const char* reFind : { "usb", "serial", "usb3" }) {
            QTest::addRow("%s, listed before", reFind) << reFind << true;
            QTest::addRow("%s, arrived during the update", reFind) << reFind << false;
        }
    }
    void reFindSkipsInstrumentsListedBefore()
    {
        QFETCH(QString, reFind);
        QFETCH(bool, listedBefore);
        UpdaterRig rig;
        const auto hlx = plugInstrument(rig, sim::hlx58Profile(), 5);
        // Listed with its record: no need to wait for its versions.
        QVERIFY(rig.waitUntil([&] { return rig.statusesWith(FoundText).size() == 1; }, FirstPollMs + Slack));
        const QString updatedUid = hlx->uid();

        // What the re-find looks for: the same hyphen and product-id digit,
        // the same serial number with a bootloader's product id, or an FX3
        // chip in boot mode.
        QSharedPointer<MovraDeviceInfo> other;
        if (reFind == "usb") {
            other = DeviceRecordBuilder::on(CommType::USB)
                        .name(QStringLiteral("Hybrid LED Driver"))
                        .uid(QStringLiteral("04D8-F57E-0104-07"))
                        .build();
        } else if (reFind == "serial") {
            other = DeviceRecordBuilder::on(CommType::Serial)
                        .pid(0x521F)
                        .serialNumber(QStringLiteral("IMU-0007"))
                        .uid(QStringLiteral("IMU-0007"))
                        .build();
        } else {
            other = DeviceRecordBuilder::usb(0x04B4, 0x00F3).uid(QStringLiteral("04B4-00F3-0104-07")).build();
        }
        const auto list = [&] {
            return QMetaObject::invokeMethod(rig.updater.data(), "onDeviceInserted",
                                             Q_ARG(QSharedPointer<MovraDeviceInfo>, other));
        };
        if (listedBefore)
            QVERIFY(list());
        QCOMPARE(rig.updater->startUpdate(firmwareFile(m_dir, QStringLiteral("HLX58_V3.0.hex"), false), 0, updatedUid,
                                          false, false),
                 Start::Started);
        if (!listedBefore)
            QVERIFY(list());
        // The reset dropped the updated device alone.
        const auto gone = [&] {
            QStringList uids;
            for (const UpdaterRig::Connected& c : qAsConst(rig.connected)) {
                if (!c.connected)
                    uids.append(c.uid);
            }
            return uids;
        };
        QCOMPARE(gone(), QStringList { updatedUid });

        if (reFind == "usb")
            QVERIFY(QMetaObject::invokeMethod(rig.updater.data(), "onReconnectToBootloaderReceived",
                                              Q_ARG(QString, updatedUid)));
        else if (reFind == "serial")
            QVERIFY(QMetaObject::invokeMethod(rig.updater.data(), "onReconnectToSerialBootloaderReceived",
                                              Q_ARG(QString, other->serialNumber())));
        else
            QVERIFY(QMetaObject::invokeMethod(rig.updater.data(), "onReconnectToUSB3CommunicatorReceived"));
        if (listedBefore) {
            QVERIFY(rig.reconnected.isEmpty());
            QCOMPARE(rig.responses.last(), (Response { 113, 1, -1 }));
        } else {
            QCOMPARE(rig.reconnected, QStringList { other->uid() });
        }
        QCOMPARE(gone(), QStringList { updatedUid });
    }

    // A file the reader refuses: nothing reaches the device, the reader's
    // reason is kept for the box, and a downloaded file goes.
    void refusedFile_data()
    {
        QTest::addColumn<bool>("serverMode");
        QTest::newRow("downloaded") << true;
        QTest::newRow("chosen by the user") << false;
    }
    void refusedFile()
    {
        QFETCH(bool, serverMode);
        UpdaterRig rig;
        const auto hlx = plugInstrument(rig, sim::hlx58Profile(), 5);
        // Listed with its record: no need to wait for its versions.
        QVERIFY(rig.waitUntil([&] { return rig.statusesWith(FoundText).size() == 1; }, FirstPollMs + Slack));
        QByteArray content = IntelHex::file({ { 0u, pseudoRandomBytes(32, 3) } });
        // The first record's checksum, one off.
        const int checksumAt = content.indexOf("\r\n") - 2;
        const char last = content.at(checksumAt + 1);
        content[checksumAt + 1] = last == '0' ? '1' : '0';
        const QString path = m_dir.filePath(QStringLiteral("Movra-HLX58_Firmware_V3.1.hex"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        QSignalSpy sent(rig.updater.data(), &FirmwareUpdater::sendCommandToDevice);
        QCOMPARE(rig.updater->startUpdate(path, 0, hlx->uid(), false, serverMode), Start::FileRefused);
        QCOMPARE(sent.size(), 0);
        QVERIFY(rig.responses.isEmpty());
        QCOMPARE(rig.updater->fileRefusal(), QStringLiteral("Line 1: bad record checksum"));
        QCOMPARE(QFile::exists(path), !serverMode);
        QVERIFY(rig.connected.isEmpty());
    }

    // A follow-up start made from inside the running communicator's own
    // report replaces it; it must outlive the call it is still in.
    void replacedCommunicatorOutlivesItsOwnCall()
    {
        UpdaterRig rig;
        const auto hlx = plugInstrument(rig, sim::hlx58Profile(), 5);
        QTRY_COMPARE_WITH_TIMEOUT(rig.reports.size(), 1, FirstPollMs + 3000 + Slack);
        const QString file = firmwareFile(m_dir, QStringLiteral("HLX58_V2.7.hex"), false);

        auto nested = Start(-1);
        bool started = false;
        connect(rig.updater.data(), &FirmwareUpdater::sendDeviceResponseToView, this,
                [&](char msg, nsFirmware::MessageStatus, int progress) {
                    if (started || msg != nsFirmware::ReconnectToBootloader || progress != 5)
                        return;
                    started = true;
                    nested = rig.updater->startUpdate(file, 0, hlx->uid(), false, false);
                });
        QCOMPARE(rig.updater->startUpdate(file, 0, hlx->uid(), false, false), Start::Started);
        QCOMPARE(nested, Start::Started);
        QCOMPARE(rig.updater->madeForUpdates.size(), 2);
        QVERIFY(rig.updater->madeForUpdates.at(0));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!rig.updater->madeForUpdates.at(0));
        QVERIFY(rig.updater->madeForUpdates.at(1));
        // The first report is the old communicator's, the second the new
        // one's; once replaced, the old one reaches the widget no more.
        QCOMPARE(rig.responses, (QList<Response> { { 113, 0, 5 }, { 113, 0, 5 } }));
        QCOMPARE(rig.progressLines, QStringList { "Resetting to bootloader..." });
    }

    void updateFirmwareOncePerDevice()
    {
        UpdaterRig rig;
        auto hlxInstrument = QSharedPointer<sim::Instrument>::create(sim::hlx58Profile());
        auto twinInstrument = QSharedPointer<sim::Instrument>::create(sim::hlx58Profile());
        const auto hlx = rig.machine->plug(usbDevice(hlxInstrument, 5));
        rig.machine->plug(usbDevice(twinInstrument, 5));
        QTRY_COMPARE_WITH_TIMEOUT(rig.reports.size(), 2, FirstPollMs + 3000 + Slack);
        const QString file = firmwareFile(m_dir, QStringLiteral("HLX58_V2.8.hex"), false);

        QCOMPARE(rig.updater->startUpdate(file, 0, hlx->uid(), false, true), Start::Started);
        QTRY_VERIFY(commandsTo(rig, hlx->uid()).contains(QStringLiteral("0600ffffffffffff")));
        QTest::qWait(200);
        QCOMPARE(commandsTo(rig, hlx->uid()).count(QStringLiteral("0600ffffffffffff")), 1);
        QCOMPARE(rig.responses, (QList<Response> { { 113, 0, 5 } }));
        // The later of the two records is the one updated.
        QCOMPARE(twinInstrument->mode(), sim::Instrument::Mode::Bootloader);
        QCOMPARE(hlxInstrument->mode(), sim::Instrument::Mode::Application);
    }

    void deviceListedDuringAnUpdateHasNoRecord()
    {
        UpdaterRig rig;
        const auto hlx = plugInstrument(rig, sim::hlx58Profile(), 5);
        QTRY_COMPARE_WITH_TIMEOUT(rig.reports.size(), 1, FirstPollMs + 3000 + Slack);
        QCOMPARE(rig.updater->startUpdate(firmwareFile(m_dir, QStringLiteral("HLX58_V2.9.hex"), false), 0, hlx->uid(),
                                          false, false),
                 Start::Started);
        const auto late = plugInstrument(rig, sim::nxltv2Profile(), 6);
        QTRY_COMPARE_WITH_TIMEOUT(rig.updater->getAvailableDevices(nsUpdater::DeviceIdentifier::KZR410).size(), 1,
                                  FirstPollMs + Slack);
        QCOMPARE(rig.statusesWith(FoundText).size(), 1); // listed, not queried
        QCOMPARE(rig.updater->startUpdate(firmwareFile(m_dir, QStringLiteral("NXLTV2_V3.3.hex"), true), 1, late->uid(),
                                          false, false),
                 Start::NoSuchDevice);
    }

    void cleanupTestCase() { m_table.reset(); }

private:
    QScopedPointer<UpdaterRig> m_table;
    QMap<QString, QSharedPointer<MovraDeviceInfo>> m_devices;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestFirmwareUpdater)
#include "tst_firmwareupdater.moc"
