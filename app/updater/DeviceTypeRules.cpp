#include "app/updater/DeviceTypeRules.h"

#include "firmware/core/ProgressMessages.h"

#include <QCoreApplication>

#include <iterator>

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

constexpr Rules::TypeRowFlags Listed = Rules::NoTypeRowFlag;
constexpr Rules::TypeRowFlags HiddenUntilReported = Rules::StartsHidden | Rules::ShownByVersionReport;
constexpr Rules::Panes AllPanes = Rules::BootloaderPane | Rules::MotherboardPane | Rules::ChannelPane;

// clang-format off
// Each row: type;
//   device row label, type row;
//   pane rule, description, deprecated threshold, panes also shown, pane extras;
//   server rule, manual rule, effects, motherboard digit, motherboard step.
constexpr Rules::Row Table[] = {
    { ids::AssistedRotaryJoint,
      Label::NameAndPort, Listed,
      PaneRule::Standard, &pm::DescriptionRotaryJoint, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::RotaryJointByProductId, Manual::RotaryJointByProductId, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
    { ids::KZR410,
      Label::NameAndPort, Listed,
      PaneRule::Standard, &pm::DescriptionPhotometrySystem, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::FirstAddress, Manual::AllFilters, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
    { ids::NXLT,
      Label::NameAndPort, Listed,
      PaneRule::Deprecated, &pm::DescriptionPhotometryDriverNXLT, 2, Rules::NoPane, Rules::NoPaneExtra,
      Server::FirstAddress, Manual::AllFilters, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
    { ids::Bootloader,
      Label::NameAndPort, HiddenUntilReported,
      PaneRule::Bootloader, &pm::NoteUpdateFromBootloader, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::ChooseCypressBoard, Manual::BootloaderByDevice, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
    { ids::Camera,
      Label::NameAndPort, Rules::NotCounted,
      PaneRule::Camera, &pm::DescriptionCamera, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::OpenCameraDriverPage, Manual::NoFilter, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
    { ids::Channels,
      Label::FpgaAndPort, HiddenUntilReported,
      PaneRule::Channels, &pm::NoteUpdateFromChannels, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::ChooseChannelsFamily, Manual::ChooseChannelsFamily, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
    { ids::Console,
      Label::NameAndPort, Rules::StartsHidden,
      PaneRule::Nothing, nullptr, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::ChooseConsole, Manual::ChooseConsole, Rules::ChannelsWait, 2, Step::LightSourceMotherboardAddress },
    { ids::EEPROMMemoryManager,
      Label::NameAndPort, HiddenUntilReported,
      PaneRule::Standard, &pm::DescriptionEEPROMMemoryManager, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::LastAddress, Manual::ChooseMemoryManagerPart, Rules::NoEffect, Never, Step::FirstAddress },
    { ids::ElectrophysiologyConsole,
      Label::NameAndPort, Listed,
      PaneRule::Deprecated, &pm::DescriptionAcquisitionConsole, 1, Rules::ChannelPane, Rules::NoPaneExtra,
      Server::ChooseConsole, Manual::ChooseConsole, Rules::ChannelsWait, 2, Step::LightSourceMotherboardAddress },
    { ids::FiberPhotometryConsole,
      Label::NameAndPort, Listed,
      PaneRule::Deprecated, &pm::DescriptionConsole, 1, Rules::ChannelPane, Rules::NoPaneExtra,
      Server::ChooseConsole, Manual::ChooseConsole, Rules::ChannelsWait, 2, Step::LightSourceMotherboardAddress },
    { ids::GQZ,
      Label::FpgaAndPort, Listed,
      PaneRule::Standard, &pm::DescriptionMicroscope1Color, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::None, Manual::None, Rules::WrongPortBox, Never, Step::LightSourceMotherboardAddress },
    { ids::GQZ2,
      Label::FpgaAndPort, Listed,
      PaneRule::Standard, &pm::DescriptionMicroscope2Color, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::FirstAddress, Manual::AllFilters, Rules::WrongPortOverNetwork, Never, Step::LightSourceMotherboardAddress },
    { ids::GQZ3,
      Label::FpgaAndPortWhenBootloader, Listed,
      PaneRule::Standard, &pm::DescriptionMicroscopeGen3, NoDigit, Rules::MotherboardPane | Rules::ChannelPane, Rules::NoPaneExtra,
      Server::ChooseGQZ3, Manual::ChooseGQZ3, Rules::Usb3FollowUp, Never, Step::LightSourceMotherboardAddress },
    { ids::GQZ3KAVOR,
      Label::FpgaAndPortWhenBootloader, Listed,
      PaneRule::Standard, &pm::DescriptionMicroscopeGen3, NoDigit, Rules::MotherboardPane | Rules::ChannelPane, Rules::NoPaneExtra,
      Server::ChooseGQZ3, Manual::ChooseGQZ3, Rules::Usb3FollowUp, Never, Step::LightSourceMotherboardAddress },
    { ids::IMU,
      Label::NameOnly, Listed,
      PaneRule::Standard, &pm::DescriptionIMU, NoDigit, Rules::BootloaderPane, Rules::FirmwareHeading,
      Server::FirstAddress, Manual::AllFilters, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
    { ids::LightSource,
      Label::NameAndPort, Listed,
      PaneRule::Deprecated, &pm::DescriptionLightSource, 1, AllPanes, Rules::NoPaneExtra,
      Server::LastAddress, Manual::LastFilterChannelsFirst, Rules::NoEffect, 4, Step::LightSourceMotherboardAddress },
    { ids::KAVOR,
      Label::NameAndPort, Listed,
      PaneRule::Deprecated, &pm::DescriptionKAVOR, 1, AllPanes, Rules::NoPaneExtra,
      Server::ChooseKAVOR, Manual::ChooseKAVOR, Rules::NoEffect, Never, Step::FirstAddress },
    { ids::Motherboard,
      Label::NameAndPort, HiddenUntilReported,
      PaneRule::Motherboard, &pm::NoteUpdateFromMotherboard, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::ChooseMotherboardOrChannels, Manual::ChooseMotherboardOrChannels, Rules::ChannelsWait, Never, Step::LightSourceMotherboardAddress },
    { ids::TV720,
      Label::NameAndPort, Listed,
      PaneRule::Standard, &pm::DescriptionTV720, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::FirstAddress, Manual::AllFilters, Rules::Usb3FollowUp | Rules::MotherboardPhase, Never, Step::LightSourceMotherboardAddress },
    { ids::HKTR,
      Label::NameAndPort, Listed,
      PaneRule::Deprecated, &pm::DescriptionPulseGenerator, 2, Rules::NoPane, Rules::NoPaneExtra,
      Server::HKTRByName, Manual::AllFilters, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
    { ids::USB3Driver,
      Label::NameAndPort, Rules::StartsHidden | Rules::SelectedDuringUsb3FollowUp,
      PaneRule::USB3Driver, &pm::NoteUpdateUSB3Communication, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::ChooseCypressBoard, Manual::ChooseCypressBoard, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
    { ids::Sarvanti,
      Label::NameAndPort, Listed,
      PaneRule::Sarvanti, &SarvantiDescription, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::SarvantiByName, Manual::SarvantiByName, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
    { ids::YLQSAGen2,
      Label::NameAndPort, Listed,
      PaneRule::Standard, &pm::DescriptionYLQSAMiniCube, NoDigit, Rules::NoPane, Rules::ManualAlwaysEnabled,
      Server::FirstAddress, Manual::AllFilters, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
    { ids::KOTWGen3,
      Label::NameAndPort, Listed,
      PaneRule::Standard, &pm::DescriptionPhotometryDriverKOTW, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::FirstAddress, Manual::AllFilters, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
    { ids::ZuvoBasestation,
      Label::NameAndPort, Listed,
      PaneRule::Standard, &pm::DescriptionZuvoBasestation, NoDigit, Rules::BootloaderPane, Rules::FirmwareHeading,
      Server::FirstAddress, Manual::AllFilters, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
    { ids::SarvantiGen2,
      Label::NameAndPort, Listed,
      PaneRule::Sarvanti, &SarvantiDescription, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::SarvantiByName, Manual::SarvantiGen2ByName, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress },
};

// A type outside the table: the default panes, no download, a dialog without filters.
constexpr Rules::Row Unknown =
    { ids::DeviceIdentifier(-1),
      Label::NameAndPort, Listed,
      PaneRule::Nothing, nullptr, NoDigit, Rules::NoPane, Rules::NoPaneExtra,
      Server::None, Manual::NoFilter, Rules::NoEffect, Never, Step::LightSourceMotherboardAddress };
// clang-format on

constexpr bool inTypeOrder()
{
    for (std::size_t i = 0; i < std::size(Table); ++i) {
        if (int(Table[i].type) != int(i))
            return false;
    }
    return true;
}

static_assert(inTypeOrder(), "row i of the table is the row of device type i");

} // namespace

const DeviceTypeRules::Row& DeviceTypeRules::of(int deviceType)
{
    if (deviceType < 0 || deviceType >= int(std::size(Table)))
        return Unknown;
    return Table[deviceType];
}

const DeviceTypeRules::Row* DeviceTypeRules::rows()
{
    return Table;
}

std::size_t DeviceTypeRules::rowCount()
{
    return std::size(Table);
}
