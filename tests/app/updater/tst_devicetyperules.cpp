// The Devices tab's rules by device type, row by row: the type row's name and page, the device row's label and the
// type row, the panes, the server address rule, the manual file-filter rule and the flow's side effects.
#include "app/updater/DeviceTypeRules.h"
#include "app/updater/DisplayTables.h"
#include "firmware/core/ProgressMessages.h"

#include <QSet>
#include <QtTest>

using R = DeviceTypeRules;
using Label = DeviceTypeRules::DeviceRowLabel;
using PaneRule = DeviceTypeRules::PaneRule;
using Server = DeviceTypeRules::ServerRule;
using Manual = DeviceTypeRules::ManualRule;
using Step = DeviceTypeRules::MotherboardStep;
namespace pm = ProgressMessages;

namespace {

const QString SarvantiText = QStringLiteral(
    "This multi-plane microscope driver controls the image recording of alternative planes with 1 or 2 excitations.");

// What the Parts say of one device type.
struct Expected
{
    int type;
    Label label;             // column-0 text of a device row
    R::TypeRowFlags typeRow; // hidden rows, installed versions, counter, USB3 follow-up
    PaneRule panes;          // per-type panes
    QString description;     // the shared description or note (empty: none)
    int deprecatedDigit;     // threshold of the deprecated check (0: no check)
    R::Panes shown;          // "besides": panes shown
    R::PaneExtras extras;    // "besides": heading and manual button
    Server server;           // download address by type
    Manual manual;           // filters by type
    R::Effects effects;      // what the flow does besides
    int motherboardDigit;    // startProgramming step 4 (-1: never)
    Step motherboardStep;    // startMotherboardDownload
};

const R::TypeRowFlags Listed = R::NoTypeRowFlag;
const R::TypeRowFlags HiddenUntilReported = R::StartsHidden | R::ShownByVersionReport;
const R::Panes AllPanes = R::BootloaderPane | R::MotherboardPane | R::ChannelPane;
const Step LS = Step::LightSourceMotherboardAddress;

QList<Expected> expectedRows()
{
    // clang-format off
    return {
        // 0: first address/filter for product id 0xF676, otherwise the last.
        { 0, Label::NameAndPort, Listed, PaneRule::Standard, pm::DescriptionRotaryJoint, 0, R::NoPane, R::NoPaneExtra,
          Server::RotaryJointByProductId, Manual::RotaryJointByProductId, R::NoEffect, -1, LS },
        { 1, Label::NameAndPort, Listed, PaneRule::Standard, pm::DescriptionPhotometrySystem, 0, R::NoPane, R::NoPaneExtra,
          Server::FirstAddress, Manual::AllFilters, R::NoEffect, -1, LS },
        // 2: deprecated check with threshold 2.
        { 2, Label::NameAndPort, Listed, PaneRule::Deprecated, pm::DescriptionPhotometryDriverNXLT, 2, R::NoPane, R::NoPaneExtra,
          Server::FirstAddress, Manual::AllFilters, R::NoEffect, -1, LS },
        // 3: starts hidden, shown by its installed versions; Cypress choice; filters by the bootloader devices.
        { 3, Label::NameAndPort, HiddenUntilReported, PaneRule::Bootloader, pm::NoteUpdateFromBootloader, 0, R::NoPane, R::NoPaneExtra,
          Server::ChooseCypressBoard, Manual::BootloaderByDevice, R::NoEffect, -1, LS },
        // 4: not counted; the vendor's page opens; the dialog has no filters.
        { 4, Label::NameAndPort, R::NotCounted, PaneRule::Camera, pm::DescriptionCamera, 0, R::NoPane, R::NoPaneExtra,
          Server::OpenCameraDriverPage, Manual::NoFilter, R::NoEffect, -1, LS },
        // 5: FPGA label; choice dialog with buttons 0 and 1 hidden, in both flows.
        { 5, Label::FpgaAndPort, HiddenUntilReported, PaneRule::Channels, pm::NoteUpdateFromChannels, 0, R::NoPane, R::NoPaneExtra,
          Server::ChooseChannelsFamily, Manual::ChooseChannelsFamily, R::NoEffect, -1, LS },
        // 6: never shown; no panes; console chooser; channels wait; motherboard phase with channel digit 2.
        { 6, Label::NameAndPort, R::StartsHidden, PaneRule::Nothing, QString(), 0, R::NoPane, R::NoPaneExtra,
          Server::ChooseConsole, Manual::ChooseConsole, R::ChannelsWait, 2, LS },
        // 7: last address; which-part box; its motherboard step downloads its own first address.
        { 7, Label::NameAndPort, HiddenUntilReported, PaneRule::Standard, pm::DescriptionEEPROMMemoryManager, 0, R::NoPane, R::NoPaneExtra,
          Server::LastAddress, Manual::ChooseMemoryManagerPart, R::NoEffect, -1, Step::FirstAddress },
        { 8, Label::NameAndPort, Listed, PaneRule::Deprecated, pm::DescriptionAcquisitionConsole, 1, R::ChannelPane, R::NoPaneExtra,
          Server::ChooseConsole, Manual::ChooseConsole, R::ChannelsWait, 2, LS },
        { 9, Label::NameAndPort, Listed, PaneRule::Deprecated, pm::DescriptionConsole, 1, R::ChannelPane, R::NoPaneExtra,
          Server::ChooseConsole, Manual::ChooseConsole, R::ChannelsWait, 2, LS },
        // 10: the wrong-port box, nothing updated.
        { 10, Label::FpgaAndPort, Listed, PaneRule::Standard, pm::DescriptionMicroscope1Color, 0, R::NoPane, R::NoPaneExtra,
          Server::None, Manual::None, R::WrongPortBox, -1, LS },
        // 11: the wrong-port box over the network, otherwise the first address / all filters.
        { 11, Label::FpgaAndPort, Listed, PaneRule::Standard, pm::DescriptionMicroscope2Color, 0, R::NoPane, R::NoPaneExtra,
          Server::FirstAddress, Manual::AllFilters, R::WrongPortOverNetwork, -1, LS },
        // 12, 13: FPGA for a device named Bootloader; motherboard and channel panes; USB3 follow-up first.
        { 12, Label::FpgaAndPortWhenBootloader, Listed, PaneRule::Standard, pm::DescriptionMicroscopeGen3, 0,
          R::MotherboardPane | R::ChannelPane, R::NoPaneExtra, Server::ChooseGQZ3, Manual::ChooseGQZ3, R::Usb3FollowUp, -1, LS },
        { 13, Label::FpgaAndPortWhenBootloader, Listed, PaneRule::Standard, pm::DescriptionMicroscopeGen3, 0,
          R::MotherboardPane | R::ChannelPane, R::NoPaneExtra, Server::ChooseGQZ3, Manual::ChooseGQZ3, R::Usb3FollowUp, -1, LS },
        // 14: the name alone; bootloader pane; "Firmware" heading.
        { 14, Label::NameOnly, Listed, PaneRule::Standard, pm::DescriptionIMU, 0, R::BootloaderPane, R::FirmwareHeading,
          Server::FirstAddress, Manual::AllFilters, R::NoEffect, -1, LS },
        // 15: all panes; last address; last filter then the channels-first box; motherboard with channel digit 4.
        { 15, Label::NameAndPort, Listed, PaneRule::Deprecated, pm::DescriptionLightSource, 1, AllPanes, R::NoPaneExtra,
          Server::LastAddress, Manual::LastFilterChannelsFirst, R::NoEffect, 4, LS },
        // 16: KAVOR choosers; its motherboard step downloads its own first address.
        { 16, Label::NameAndPort, Listed, PaneRule::Deprecated, pm::DescriptionKAVOR, 1, AllPanes, R::NoPaneExtra,
          Server::ChooseKAVOR, Manual::ChooseKAVOR, R::NoEffect, -1, Step::FirstAddress },
        // 17: Motherboard or Channels; Electrophy. and Photometry wait for the channels.
        { 17, Label::NameAndPort, HiddenUntilReported, PaneRule::Motherboard, pm::NoteUpdateFromMotherboard, 0, R::NoPane, R::NoPaneExtra,
          Server::ChooseMotherboardOrChannels, Manual::ChooseMotherboardOrChannels, R::ChannelsWait, -1, LS },
        // 18: USB3 follow-up and motherboard phase; first address / all filters.
        { 18, Label::NameAndPort, Listed, PaneRule::Standard, pm::DescriptionTV720, 0, R::NoPane, R::NoPaneExtra,
          Server::FirstAddress, Manual::AllFilters, R::Usb3FollowUp | R::MotherboardPhase, -1, LS },
        // 19: HKTR8 / HKTR4 by name; all filters.
        { 19, Label::NameAndPort, Listed, PaneRule::Deprecated, pm::DescriptionPulseGenerator, 2, R::NoPane, R::NoPaneExtra,
          Server::HKTRByName, Manual::AllFilters, R::NoEffect, -1, LS },
        // 20: hidden until the item-status signal; selected during the USB3 follow-up; Cypress choice.
        { 20, Label::NameAndPort, R::StartsHidden | R::SelectedDuringUsb3FollowUp, PaneRule::USB3Driver,
          pm::NoteUpdateUSB3Communication, 0, R::NoPane, R::NoPaneExtra,
          Server::ChooseCypressBoard, Manual::ChooseCypressBoard, R::NoEffect, -1, LS },
        { 21, Label::NameAndPort, Listed, PaneRule::Sarvanti, SarvantiText, 0, R::NoPane, R::NoPaneExtra,
          Server::SarvantiByName, Manual::SarvantiByName, R::NoEffect, -1, LS },
        // 22: manual button always enabled.
        { 22, Label::NameAndPort, Listed, PaneRule::Standard, pm::DescriptionYLQSAMiniCube, 0, R::NoPane, R::ManualAlwaysEnabled,
          Server::FirstAddress, Manual::AllFilters, R::NoEffect, -1, LS },
        { 23, Label::NameAndPort, Listed, PaneRule::Standard, pm::DescriptionPhotometryDriverKOTW, 0, R::NoPane, R::NoPaneExtra,
          Server::FirstAddress, Manual::AllFilters, R::NoEffect, -1, LS },
        { 24, Label::NameAndPort, Listed, PaneRule::Standard, pm::DescriptionZuvoBasestation, 0, R::BootloaderPane, R::FirmwareHeading,
          Server::FirstAddress, Manual::AllFilters, R::NoEffect, -1, LS },
        // 25: the Gen2 files by "Disk" alone.
        { 25, Label::NameAndPort, Listed, PaneRule::Sarvanti, SarvantiText, 0, R::NoPane, R::NoPaneExtra,
          Server::SarvantiByName, Manual::SarvantiGen2ByName, R::NoEffect, -1, LS },
    };
    // clang-format on
}

} // namespace

class TestDeviceTypeRules : public QObject
{
    Q_OBJECT
private slots:
    void deviceTypes_data();
    void deviceTypes();
    void productPagesAreDistinct();
    void oneRowPerDeviceTypeInOrder();
    void rows_data();
    void rows();
    void unknownType();
};

// Page: "own" a product page of its own, "root" the site root, or the id of
// the type whose page it shares.
void TestDeviceTypeRules::deviceTypes_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("page");

    const QList<std::tuple<int, const char*, const char*>> rows {
        { 0, "Assisted Rotary Joint", "own" },
        { 1, "KZR410", "own" },
        { 2, "NXLT", "own" },
        { 3, "Bootloader", "root" },
        { 4, "Camera", "own" },
        { 5, "Channel(s)", "root" },
        { 6, "Console", "root" },
        { 7, "EEPROM Memory Manager", "root" },
        { 8, "Electrophysiology Console", "own" },
        { 9, "Fiber Photometry Console", "own" },
        { 10, "GQZ", "own" },
        { 11, "GQZ2", "own" },
        { 12, "GQZ3", "own" },
        { 13, "GQZ3 KAVOR", "12" },
        { 14, "IMU", "root" },
        { 15, "Light Source", "own" },
        { 16, "KAVOR", "own" },
        { 17, "Motherboard", "root" },
        { 18, "TV720", "own" },
        { 19, "HKTR", "own" },
        { 20, "USB3 Driver", "root" },
        { 21, "Sarvanti", "own" },
        { 22, "YLQSA Gen2", "root" },
        { 23, "KOTW Gen3", "own" },
        { 24, "Zuvo Basestation", "root" },
        { 25, "Sarvanti Gen2", "21" },
    };
    for (const auto& [id, name, page] : rows)
        QTest::addRow("%d %s", id, name) << id << QString::fromLatin1(name) << QString::fromLatin1(page);
}

void TestDeviceTypeRules::deviceTypes()
{
    QFETCH(int, id);
    QFETCH(QString, name);
    QFETCH(QString, page);

    QCOMPARE(DeviceTypeRules::displayName(id), name);
    const QString address = DeviceTypeRules::webPage(id);
    if (page == QLatin1String("root")) {
        QCOMPARE(address, MovraWebHost);
    } else if (page == QLatin1String("own")) {
        QVERIFY2(address.startsWith(MovraWebHost + QLatin1Char('/')), qPrintable(address));
        QVERIFY(address.size() > MovraWebHost.size() + 1);
    } else {
        QCOMPARE(address, DeviceTypeRules::webPage(page.toInt()));
    }
}

void TestDeviceTypeRules::productPagesAreDistinct()
{
    QSet<QString> pages;
    for (const DeviceTypeRules::Row& rule : DeviceTypeRules::rows())
        if (const QString page = DeviceTypeRules::webPage(rule.type); page != MovraWebHost)
            pages.insert(page);
    QCOMPARE(pages.size(), 15);
}

void TestDeviceTypeRules::oneRowPerDeviceTypeInOrder()
{
    int i = 0;
    for (const DeviceTypeRules::Row& rule : DeviceTypeRules::rows()) {
        QCOMPARE(int(rule.type), i);
        QCOMPARE(&DeviceTypeRules::of(i), &rule);
        ++i;
    }
    QCOMPARE(expectedRows().size(), int(DeviceTypeRules::rows().size()));
}

void TestDeviceTypeRules::rows_data()
{
    QTest::addColumn<int>("row");
    const QList<Expected> rows = expectedRows();
    for (int i = 0; i < rows.size(); ++i)
        QTest::newRow(qPrintable(DeviceTypeRules::displayName(rows.at(i).type))) << i;
}

void TestDeviceTypeRules::rows()
{
    QFETCH(int, row);
    const Expected expected = expectedRows().at(row);
    const DeviceTypeRules::Row& rule = DeviceTypeRules::of(expected.type);
    QCOMPARE(int(rule.type), expected.type);
    QCOMPARE(rule.label, expected.label);
    QCOMPARE(int(rule.typeRow), int(expected.typeRow));
    QCOMPARE(rule.panes, expected.panes);
    QCOMPARE(rule.description ? *rule.description : QString(), expected.description);
    if (expected.panes == PaneRule::Deprecated)
        QCOMPARE(rule.deprecatedDigit, expected.deprecatedDigit);
    QCOMPARE(int(rule.shownPanes), int(expected.shown));
    QCOMPARE(int(rule.paneExtras), int(expected.extras));
    QCOMPARE(rule.server, expected.server);
    QCOMPARE(rule.manual, expected.manual);
    QCOMPARE(int(rule.effects), int(expected.effects));
    QCOMPARE(rule.motherboardDigit, expected.motherboardDigit);
    QCOMPARE(rule.motherboardStep, expected.motherboardStep);
}

// Outside the table: default panes, no download, a dialog without filters.
void TestDeviceTypeRules::unknownType()
{
    for (int type : { -1, 26, 1000 }) {
        const DeviceTypeRules::Row& rule = DeviceTypeRules::of(type);
        QCOMPARE(rule.label, Label::NameAndPort);
        QCOMPARE(int(rule.typeRow), int(R::NoTypeRowFlag));
        QCOMPARE(rule.panes, PaneRule::Nothing);
        QCOMPARE(rule.server, Server::None);
        QCOMPARE(rule.manual, Manual::NoFilter);
        QCOMPARE(int(rule.effects), int(R::NoEffect));
        QCOMPARE(rule.motherboardDigit, -1);
        QCOMPARE(rule.motherboardStep, LS);
        QVERIFY(DeviceTypeRules::displayName(type).isEmpty());
        QVERIFY(DeviceTypeRules::webPage(type).isEmpty());
    }
}

QTEST_APPLESS_MAIN(TestDeviceTypeRules)
#include "tst_devicetyperules.moc"
