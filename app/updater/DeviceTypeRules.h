#pragma once

#include "firmware/core/DeviceIdentifier.h"
#include "platform/RowRange.h"

#include <QFlags>
#include <QObject>
#include <QString>

#include <cstddef>

// The Devices tab's rules by device type, in one table with one row per type:
// the type row's name and product page, how a device row is named and whether
// its type row shows, what the selection shows in the panes, where "Update
// from server" finds the firmware, which files "Update manually" offers, and
// what the update flow does besides. The updater widget reads a type's row and
// carries out the rules it names; nothing else in the widget switches over the
// device type. A new device type adds one row.
class DeviceTypeRules
{
    Q_GADGET

public:
    // The text of a device row under its type row.
    enum class DeviceRowLabel {
        NameAndPort,               // "%1 (Port #%2)" with the device's name and port
        FpgaAndPort,               // "%1 (Port #%2)" with "FPGA" and the port
        FpgaAndPortWhenBootloader, // as FpgaAndPort for a device named "Bootloader", otherwise as NameAndPort
        NameOnly,                  // the device's name alone
    };
    Q_ENUM(DeviceRowLabel)

    // The type row and its device rows.
    enum TypeRowFlag {
        NoTypeRowFlag = 0x0,
        StartsHidden = 0x1,               // the type row is hidden at set-up
        ShownByVersionReport = 0x2,       // a device's installed versions show the type row
        NotCounted = 0x4,                 // its devices do not count as connected devices (cameras)
        SelectedDuringUsb3FollowUp = 0x8, // a device row added while the USB3 follow-up is pending is selected
    };
    Q_DECLARE_FLAGS(TypeRowFlags, TypeRowFlag)
    Q_FLAG(TypeRowFlags)

    // What the selection fills in the four panes besides the defaults.
    enum class PaneRule {
        Standard,    // the description pane: the type's description and product page
        Deprecated,  // the same, unless the deprecated check (threshold digit, HKTR4 in the name) holds
        Bootloader,  // fillBootloaderPanes, with the description as its note
        Camera,      // fillCameraPanes, with the description
        Channels,    // fillChannelsPanes, with the description as its note
        Motherboard, // fillMotherboardPanes, with the description as its note
        USB3Driver,  // fillUSB3DriverPanes, with the description as its note
        Sarvanti,    // fillSarvantiPanes, with the description
        Nothing,     // the default panes only
    };
    Q_ENUM(PaneRule)

    // The version panes a Standard or Deprecated rule shows (the motherboard pane shows by default).
    enum Pane {
        NoPane = 0x0,
        BootloaderPane = 0x1,
        MotherboardPane = 0x2,
        ChannelPane = 0x4,
    };
    Q_DECLARE_FLAGS(Panes, Pane)
    Q_FLAG(Panes)

    // What a Standard or Deprecated rule changes besides the panes.
    enum PaneExtra {
        NoPaneExtra = 0x0,
        FirmwareHeading = 0x1,     // "Motherboard" becomes "Firmware" in the motherboard pane's heading
        ManualAlwaysEnabled = 0x2, // "Update manually" is enabled whatever the catalogue
    };
    Q_DECLARE_FLAGS(PaneExtras, PaneExtra)
    Q_FLAG(PaneExtras)

    // Where "Update from server" finds the firmware address.
    enum class ServerRule {
        None,                        // no download
        FirstAddress,                // the type's first address
        LastAddress,                 // the type's last address
        RotaryJointByProductId,      // the first address for the rotary joint's first product id, otherwise the last
        ChooseCypressBoard,          // the Cypress choice: GQZ3 first, GQZ3 KAVOR second, TV720 last address
        OpenCameraDriverPage,        // no download: the camera vendor's driver page opens
        ChooseChannelsFamily,        // chooseChannelsUrl
        ChooseConsole,               // chooseConsoleUrl
        ChooseGQZ3,                  // chooseGQZ3Url
        ChooseKAVOR,                 // chooseKAVORUrl
        ChooseMotherboardOrChannels, // askMotherboardOrChannels, then chooseMotherboardUrl or chooseChannelUrlForMotherboard
        HKTRByName,                  // HKTR8 in the row's name: first address; HKTR4: second; otherwise none
        SarvantiByName,              // Motor or Disk in the row's name: last address; otherwise first
    };
    Q_ENUM(ServerRule)

    // Which files "Update manually" offers.
    enum class ManualRule {
        None,                        // no file dialog
        NoFilter,                    // the dialog opens without filters
        AllFilters,                  // all the record's filters
        RotaryJointByProductId,      // the first filter for the rotary joint's first product id, otherwise the last
        BootloaderByDevice,          // setBootloaderFileFilter
        ChooseChannelsFamily,        // the choice dialog: QWM, TRZ or microscope-driver channel files
        ChooseConsole,               // setConsoleFileFilter
        ChooseMemoryManagerPart,     // setMemoryManagerFileFilter
        ChooseGQZ3,                  // setGQZ3FileFilter
        LastFilterChannelsFirst,     // the last filter, then askChannelsFirst
        ChooseKAVOR,                 // setKAVORFileFilter
        ChooseMotherboardOrChannels, // the motherboard title, then setMotherboardFileFilter
        ChooseCypressBoard,          // setUSB3DriverFileFilter
        SarvantiByName, // the Sarvanti disk-driver file for Motor or Disk in the row's name, otherwise the driver file
        SarvantiGen2ByName, // the Gen2 disk-driver file for Disk in the row's name, otherwise the Gen2 driver file
    };
    Q_ENUM(ManualRule)

    // What both update buttons do besides the rules.
    enum Effect {
        NoEffect = 0x0,
        Usb3FollowUp = 0x1,         // the USB3 driver follow-up is set before the rule runs
        MotherboardPhase = 0x2,     // the motherboard phase is set before the rule runs
        WrongPortBox = 0x4,         // the wrong-port box instead of any update
        WrongPortOverNetwork = 0x8, // the same when the type's first record has a network uid ("192.168")
        ChannelsWait = 0x10, // a console Channels choice waits for the channels on the service port (else: at once)
    };
    Q_DECLARE_FLAGS(Effects, Effect)
    Q_FLAG(Effects)

    // The address of the motherboard step that follows a channel update.
    enum class MotherboardStep {
        LightSourceMotherboardAddress, // the first address of catalogue entry "17"
        FirstAddress,                  // the type's own first address
    };
    Q_ENUM(MotherboardStep)

    struct Row
    {
        nsUpdater::DeviceIdentifier type;
        // The type row's name, also the name of the type's catalogue record.
        const char* displayName;
        // The path of its page among the maker's hardware products; null: the site root.
        const char* productPage;
        // Devices tab: rows and statuses
        DeviceRowLabel label;
        TypeRowFlags typeRow;
        // Selection and panes
        PaneRule panes;
        const QString* description; // a shared text of ProgressMessages (translated when shown), or null
        int deprecatedDigit;        // the Deprecated rule's threshold digit
        Panes shownPanes;
        PaneExtras paneExtras;
        // Update flow
        ServerRule server;
        ManualRule manual;
        Effects effects;
        // In the motherboard phase the type is programmed as a motherboard when
        // the installed channel version begins with this digit (-1: never).
        int motherboardDigit;
        MotherboardStep motherboardStep;
    };

    // The row of a device type; a type outside the table gets a row that
    // shows the default panes and updates nothing from the server.
    static const Row& of(int deviceType);
    using Rows = RowRange<Row>;
    // Every row, in type order.
    static Rows rows();

    // The type row's name; empty for a type outside the table.
    static QString displayName(int deviceType);
    // The page the description pane links to: the type's product page or the
    // maker's site; empty for a type outside the table.
    static QString webPage(int deviceType);
};

Q_DECLARE_OPERATORS_FOR_FLAGS(DeviceTypeRules::TypeRowFlags)
Q_DECLARE_OPERATORS_FOR_FLAGS(DeviceTypeRules::Panes)
Q_DECLARE_OPERATORS_FOR_FLAGS(DeviceTypeRules::PaneExtras)
Q_DECLARE_OPERATORS_FOR_FLAGS(DeviceTypeRules::Effects)
