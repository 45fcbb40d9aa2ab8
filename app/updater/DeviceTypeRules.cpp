#include "app/updater/DeviceTypeRules.h"

#include "app/updater/DisplayTables.h"
#include "firmware/core/ProgressMessages.h"

#include <QCoreApplication>

#include <iterator>
#include <type_traits>

namespace {

using Rules = DeviceTypeRules;
using Label = DeviceTypeRules::DeviceRowLabel;
using PaneRule = DeviceTypeRules::PaneRule;
using Server = DeviceTypeRules::ServerRule;
using Manual = DeviceTypeRules::ManualRule;
using Step = DeviceTypeRules::MotherboardStep;
namespace pm = ProgressMessages;
namespace ids = nsUpdater;

// Shown in the Sarvanti panes in place of the shared multi-plane description.
const QString SarvantiDescription = QString::fromLatin1(QT_TRANSLATE_NOOP(
    "ProgressDialog",
    "This multi-plane microscope driver controls the image recording of alternative planes with 1 or 2 excitations."));

constexpr int Never = -1;
constexpr int NoDigit = 0;
constexpr const char* SiteRoot = nullptr;

constexpr Rules::TypeRowFlags Listed = Rules::NoTypeRowFlag;
constexpr Rules::TypeRowFlags HiddenUntilReported = Rules::StartsHidden | Rules::ShownByVersionReport;
constexpr Rules::Panes AllPanes = Rules::BootloaderPane | Rules::MotherboardPane | Rules::ChannelPane;

// A row that starts as the usual one and takes, step by step, what its type
// does otherwise.
struct RowBuilder
{
    Rules::Row row;

    template <typename Field>
    constexpr RowBuilder with(Field Rules::Row::*field, std::decay_t<Field> value) const
    {
        RowBuilder b = *this;
        b.row.*field = value;
        return b;
    }
    constexpr RowBuilder labelled(Label label) const { return with(&Rules::Row::label, label); }
    constexpr RowBuilder typeRow(Rules::TypeRowFlags flags) const { return with(&Rules::Row::typeRow, flags); }
    constexpr RowBuilder panes(PaneRule rule) const { return with(&Rules::Row::panes, rule); }
    constexpr RowBuilder deprecated(int thresholdDigit) const
    {
        return panes(PaneRule::Deprecated).with(&Rules::Row::deprecatedDigit, thresholdDigit);
    }
    constexpr RowBuilder showing(Rules::Panes shown) const { return with(&Rules::Row::shownPanes, shown); }
    constexpr RowBuilder extras(Rules::PaneExtras extras) const { return with(&Rules::Row::paneExtras, extras); }
    constexpr RowBuilder server(Server rule) const { return with(&Rules::Row::server, rule); }
    constexpr RowBuilder manual(Manual rule) const { return with(&Rules::Row::manual, rule); }
    constexpr RowBuilder effects(Rules::Effects effects) const { return with(&Rules::Row::effects, effects); }
    constexpr RowBuilder motherboardFromChannelDigit(int digit) const
    {
        return with(&Rules::Row::motherboardDigit, digit);
    }
    constexpr RowBuilder motherboardStep(Step step) const { return with(&Rules::Row::motherboardStep, step); }

    constexpr operator Rules::Row() const { return row; }
};

// The usual row: "name (Port #n)" under a listed type row, the description
// pane with the type's description and page, the type's first address from
// the server, all the record's filters for a manual update, nothing besides.
constexpr RowBuilder deviceType(ids::DeviceIdentifier type, const char* name, const char* page,
                                const QString* description)
{
    return { { type, name, page, Label::NameAndPort, Listed, PaneRule::Standard, description, NoDigit, Rules::NoPane,
               Rules::NoPaneExtra, Server::FirstAddress, Manual::AllFilters, Rules::NoEffect, Never,
               Step::LightSourceMotherboardAddress } };
}

// Types without a page of their own link to the site root; the GQZ3 KAVOR and
// the second Sarvanti share the page of their base model.
// clang-format off
constexpr Rules::Row Table[] = {
    deviceType(ids::AssistedRotaryJoint, "Assisted Rotary Joint", "assisted-rotary-joint", &pm::DescriptionRotaryJoint)
        .server(Server::RotaryJointByProductId).manual(Manual::RotaryJointByProductId),
    deviceType(ids::KZR410, "KZR410", "kzr410", &pm::DescriptionPhotometrySystem),
    deviceType(ids::NXLT, "NXLT", "nxlt", &pm::DescriptionPhotometryDriverNXLT)
        .deprecated(2),
    deviceType(ids::Bootloader, "Bootloader", SiteRoot, &pm::NoteUpdateFromBootloader)
        .typeRow(HiddenUntilReported).panes(PaneRule::Bootloader)
        .server(Server::ChooseCypressBoard).manual(Manual::BootloaderByDevice),
    deviceType(ids::Camera, "Camera", "cameras", &pm::DescriptionCamera)
        .typeRow(Rules::NotCounted).panes(PaneRule::Camera)
        .server(Server::OpenCameraDriverPage).manual(Manual::NoFilter),
    deviceType(ids::Channels, "Channel(s)", SiteRoot, &pm::NoteUpdateFromChannels)
        .labelled(Label::FpgaAndPort).typeRow(HiddenUntilReported).panes(PaneRule::Channels)
        .server(Server::ChooseChannelsFamily).manual(Manual::ChooseChannelsFamily),
    deviceType(ids::Console, "Console", SiteRoot, nullptr)
        .typeRow(Rules::StartsHidden).panes(PaneRule::Nothing)
        .server(Server::ChooseConsole).manual(Manual::ChooseConsole).effects(Rules::ChannelsWait)
        .motherboardFromChannelDigit(2),
    deviceType(ids::EEPROMMemoryManager, "EEPROM Memory Manager", SiteRoot, &pm::DescriptionEEPROMMemoryManager)
        .typeRow(HiddenUntilReported)
        .server(Server::LastAddress).manual(Manual::ChooseMemoryManagerPart).motherboardStep(Step::FirstAddress),
    deviceType(ids::ElectrophysiologyConsole, "Electrophysiology Console", "electrophysiology-console",
               &pm::DescriptionAcquisitionConsole)
        .deprecated(1).showing(Rules::ChannelPane)
        .server(Server::ChooseConsole).manual(Manual::ChooseConsole).effects(Rules::ChannelsWait)
        .motherboardFromChannelDigit(2),
    deviceType(ids::FiberPhotometryConsole, "Fiber Photometry Console", "fiber-photometry-console",
               &pm::DescriptionConsole)
        .deprecated(1).showing(Rules::ChannelPane)
        .server(Server::ChooseConsole).manual(Manual::ChooseConsole).effects(Rules::ChannelsWait)
        .motherboardFromChannelDigit(2),
    deviceType(ids::GQZ, "GQZ", "gqz", &pm::DescriptionMicroscope1Color)
        .labelled(Label::FpgaAndPort)
        .server(Server::None).manual(Manual::None).effects(Rules::WrongPortBox),
    deviceType(ids::GQZ2, "GQZ2", "gqz2", &pm::DescriptionMicroscope2Color)
        .labelled(Label::FpgaAndPort)
        .effects(Rules::WrongPortOverNetwork),
    deviceType(ids::GQZ3, "GQZ3", "gqz3", &pm::DescriptionMicroscopeGen3)
        .labelled(Label::FpgaAndPortWhenBootloader).showing(Rules::MotherboardPane | Rules::ChannelPane)
        .server(Server::ChooseGQZ3).manual(Manual::ChooseGQZ3).effects(Rules::Usb3FollowUp),
    deviceType(ids::GQZ3KAVOR, "GQZ3 KAVOR", "gqz3", &pm::DescriptionMicroscopeGen3)
        .labelled(Label::FpgaAndPortWhenBootloader).showing(Rules::MotherboardPane | Rules::ChannelPane)
        .server(Server::ChooseGQZ3).manual(Manual::ChooseGQZ3).effects(Rules::Usb3FollowUp),
    deviceType(ids::IMU, "IMU", SiteRoot, &pm::DescriptionIMU)
        .labelled(Label::NameOnly).showing(Rules::BootloaderPane).extras(Rules::FirmwareHeading),
    deviceType(ids::LightSource, "Light Source", "light-source", &pm::DescriptionLightSource)
        .deprecated(1).showing(AllPanes)
        .server(Server::LastAddress).manual(Manual::LastFilterChannelsFirst).motherboardFromChannelDigit(4),
    deviceType(ids::KAVOR, "KAVOR", "kavor", &pm::DescriptionKAVOR)
        .deprecated(1).showing(AllPanes)
        .server(Server::ChooseKAVOR).manual(Manual::ChooseKAVOR).motherboardStep(Step::FirstAddress),
    deviceType(ids::Motherboard, "Motherboard", SiteRoot, &pm::NoteUpdateFromMotherboard)
        .typeRow(HiddenUntilReported).panes(PaneRule::Motherboard)
        .server(Server::ChooseMotherboardOrChannels).manual(Manual::ChooseMotherboardOrChannels)
        .effects(Rules::ChannelsWait),
    deviceType(ids::TV720, "TV720", "tv720", &pm::DescriptionTV720)
        .effects(Rules::Usb3FollowUp | Rules::MotherboardPhase),
    deviceType(ids::HKTR, "HKTR", "hktr", &pm::DescriptionPulseGenerator)
        .deprecated(2)
        .server(Server::HKTRByName),
    deviceType(ids::USB3Driver, "USB3 Driver", SiteRoot, &pm::NoteUpdateUSB3Communication)
        .typeRow(Rules::StartsHidden | Rules::SelectedDuringUsb3FollowUp).panes(PaneRule::USB3Driver)
        .server(Server::ChooseCypressBoard).manual(Manual::ChooseCypressBoard),
    deviceType(ids::Sarvanti, "Sarvanti", "sarvanti", &SarvantiDescription)
        .panes(PaneRule::Sarvanti)
        .server(Server::SarvantiByName).manual(Manual::SarvantiByName),
    deviceType(ids::YLQSAGen2, "YLQSA Gen2", SiteRoot, &pm::DescriptionYLQSAMiniCube)
        .extras(Rules::ManualAlwaysEnabled),
    deviceType(ids::KOTWGen3, "KOTW Gen3", "kotw-gen3", &pm::DescriptionPhotometryDriverKOTW),
    deviceType(ids::ZuvoBasestation, "Zuvo Basestation", SiteRoot, &pm::DescriptionZuvoBasestation)
        .showing(Rules::BootloaderPane).extras(Rules::FirmwareHeading),
    deviceType(ids::SarvantiGen2, "Sarvanti Gen2", "sarvanti", &SarvantiDescription)
        .panes(PaneRule::Sarvanti)
        .server(Server::SarvantiByName).manual(Manual::SarvantiGen2ByName),
};
// clang-format on

// A type outside the table: no name, the default panes, no download, a dialog without filters.
constexpr Rules::Row Unknown = deviceType(ids::DeviceIdentifier(-1), nullptr, nullptr, nullptr)
                                   .panes(PaneRule::Nothing)
                                   .server(Server::None)
                                   .manual(Manual::NoFilter);

constexpr bool inTypeOrder()
{
    for (std::size_t i = 0; i < std::size(Table); ++i) {
        if (int(Table[i].type) != int(i))
            return false;
    }
    return true;
}

static_assert(inTypeOrder(), "row i of the table is the row of device type i");

bool inTable(int deviceType)
{
    return deviceType >= 0 && deviceType < int(std::size(Table));
}

} // namespace

const DeviceTypeRules::Row& DeviceTypeRules::of(int deviceType)
{
    if (!inTable(deviceType))
        return Unknown;
    return Table[deviceType];
}

DeviceTypeRules::Rows DeviceTypeRules::rows()
{
    return { std::begin(Table), std::end(Table) };
}

QString DeviceTypeRules::displayName(int deviceType)
{
    return inTable(deviceType) ? QString::fromLatin1(Table[deviceType].displayName) : QString();
}

QString DeviceTypeRules::webPage(int deviceType)
{
    if (!inTable(deviceType))
        return QString();
    const char* page = Table[deviceType].productPage;
    return page ? MovraWebHost + QStringLiteral("/collections/hardware/products/") + QLatin1String(page) : MovraWebHost;
}
