#include "tests/support/MotherboardRoad.h"
#include "tests/support/RoadSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using Response = UpdaterRig::Response;

namespace {

const Response Done { 4, 2, 100 };

} // namespace

// Two instruments on the simulated USB bus under the whole program: a
// light-source motherboard and a rotary joint whose uids share the hyphen
// and the product id's first digit, by which a reset device is found again.
// Updating one leaves the other listed with its record, never hands it the
// firmware, and the other can be updated next.
class TestRoadNeighbours : public QObject
{
    Q_OBJECT

    // The update ended: an error, or a success after the first `after`
    // step reports.
    static bool ended(const UpdaterRig& rig, int after)
    {
        for (int i = after; i < rig.responses.size(); ++i) {
            if (rig.responses.at(i).status == nsFirmware::Error || rig.responses.at(i) == Done)
                return true;
        }
        return false;
    }

    static bool disconnectedOnce(const UpdaterRig& rig, const QString& uid)
    {
        for (const UpdaterRig::Connected& c : rig.connected) {
            if (c.uid == uid && !c.connected)
                return true;
        }
        return false;
    }

private slots:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral(".*"))); }

    void oneUpdatedTheOtherKept()
    {
        QTemporaryDir dir;
        auto bus = QSharedPointer<SimUsbBus>::create();
        auto lightSource = std::make_unique<UsbMotherboard>(bus, sim::lightSourceMotherboard(3), 3, 5);
        auto joint = std::make_unique<UsbInstrument>(bus, road::profileOf(QStringLiteral("HLX58")), 2, 6);
        auto rig = std::make_unique<UpdaterRig>(simulatedUsbTransports(bus).shared());
        const QString lightSourceUid = lightSource->uid();
        const QString jointUid = joint->uid();
        // What the re-find compares cannot tell the two apart.
        QCOMPARE(lightSourceUid.mid(4, 2), jointUid.mid(4, 2));
        QVERIFY(rig->waitUntil(
            [&] { return !rig->reportsOf(lightSourceUid).isEmpty() && !rig->reportsOf(jointUid).isEmpty(); },
            road::FoundAndReadMs));
        const nsUpdater::DeviceCommunicationInfo found = rig->reportsOf(lightSourceUid).last().seen;
        QCOMPARE(found.deviceType, int(nsUpdater::LightSource));

        // The joint updated: reset, found again in its bootloader, programmed.
        const QList<IntelHex::Segment> jointImage = road::imageOf(QStringLiteral("HLX58"));
        const QString jointFile = road::writeFile(dir.filePath(QStringLiteral("Firmware_V9.9.hex")), jointImage);
        const int reportsBefore = rig->reports.size();
        QCOMPARE(rig->updater->startUpdate(jointFile, 0, jointUid, false, false),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(rig->waitUntil([&] { return ended(*rig, 0); }, road::UpdateMs));
        QCOMPARE(rig->responses.last(), Done);
        QCOMPARE(rig->reconnected.size(), 1);
        QVERIFY(rig->reconnected.first().startsWith(QLatin1String("04D8-F676")));
        sim::Instrument& jointCore = joint->core();
        QVERIFY(joint->waitUntil([&] { return jointCore.jumped(); }, 5000));
        QCOMPARE(jointCore.eraseCount(), 1);

        // The light source took no part: it stays listed, keeps its row
        // (never reported gone) and its record, sent again when the joint's
        // return ends a burst.
        QCOMPARE(lightSource->core().resets(), 0);
        QCOMPARE(lightSource->core().mode(), sim::Instrument::Mode::Application);
        QVERIFY(!disconnectedOnce(*rig, lightSourceUid));
        QVERIFY(disconnectedOnce(*rig, jointUid));
        QVERIFY(joint->waitUntil([&] { return joint->uid() != jointUid && joint->enumerations() == 3; }, 5000));
        const QString jointBack = joint->uid();
        QVERIFY(rig->waitUntil([&] { return !rig->reportsOf(jointBack).isEmpty(); }, road::FoundAndReadMs));
        bool lightSourceSentAgain = false;
        for (int i = reportsBefore; i < rig->reports.size(); ++i)
            lightSourceSentAgain = lightSourceSentAgain || rig->reports.at(i).seen.uid == lightSourceUid;
        QVERIFY(lightSourceSentAgain);
        bool stillListed = false;
        for (const auto& device : rig->updater->getAvailableDevices(nsUpdater::LightSource))
            stillListed = stillListed || device->uid() == lightSourceUid;
        QVERIFY(stillListed);

        // Then the light source's motherboard: the joint, listed before this
        // update and matching the old uid just as well, is left alone.
        const int stepsBefore = rig->responses.size();
        const QByteArray image = mbroad::imageBytes(1536, 31);
        const QString motherboardFile = mbroad::writeHex(dir.filePath("Movra-Motherboard_Firmware_V3.2.hex"), image);
        QCOMPARE(rig->updater->startUpdate(motherboardFile, found.deviceType, lightSourceUid, true, false),
                 FirmwareUpdater::StartResult::Started);
        QVERIFY(rig->waitUntil([&] { return ended(*rig, stepsBefore); }, mbroad::UpdateMs));
        QCOMPARE(rig->responses.last(), Done);
        QCOMPARE(rig->reconnected.size(), 2);
        QVERIFY(rig->reconnected.last() != jointBack);
        QCOMPARE(lightSource->core().resets(), 1);
        QVERIFY(lightSource->waitUntil([&] { return lightSource->core().motherboardJumped(); }, 5000));
        QCOMPARE(lightSource->core().flashBytes().left(image.size()).toHex(), image.toHex());
        QCOMPARE(jointCore.eraseCount(), 1);
        QCOMPARE(joint->enumerations(), 3);
        QCOMPARE(joint->uid(), jointBack);
        QVERIFY(!disconnectedOnce(*rig, jointBack));

        rig.reset();
        joint.reset();
        lightSource.reset();
    }
};

QTEST_MAIN(TestRoadNeighbours)
#include "tst_roadneighbours.moc"
