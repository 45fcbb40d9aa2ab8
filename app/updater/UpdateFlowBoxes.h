#pragma once

#include <QMessageBox>
#include <QString>

// The message boxes of the updater's downloads and firmware updates as one table of texts, icons and buttons. The widget shows them
// through one helper (VEKUpdaterWidget::showUpdateBox), which translates the
// texts in its own context, "VEKUpdaterWidget", unless a box names its own.
enum class UpdateFlowBox {
    SeveralDevices,        // more than one device is counted
    WrongPort,             // GQZ, or GQZ2 over the network; the firmware updater refused the start: 4
    MotherboardOrChannels, // Motherboard, Channels or Cancel
    WhichDevice,           // the motherboard's device: LightSource (1st Gen.), Console (1st Gen.) or Cancel
    WhichPart,             // the memory manager's part: Motherboard, Channel(s) or Cancel
    ConsolePortChange,     // move the USB cable to the console's service port
    ChannelsFirst,         // the light source's channels before its motherboard
    DeviceNotConnected,    // the firmware updater refused the start: 1
    FileNotAccessible,     // 2, %1 the file's path
    FileNotUsable,         // 3, %1 the file's path
    MotherboardStepFailed, // no device type for the motherboard step after the channels
    UpdateFailed,          // the firmware updater reported an error, %1 its reason
    Usb3FollowUp,          // update the USB3 driver as well?
    UpdateCompleted,       // the update succeeded
    DownloadFailed,        // a download ended without its file, %1 the error
    WrongPortDetected,     // the firmware updater found a USB 3 instrument on a plain USB port
    ChannelsNotProgrammed, // the channels acknowledged records they were never sent
};

// The button that closed a box: a standard OK, one of the box's own two
// buttons, or anything else (Cancel, Escape, closed).
enum class UpdateFlowAnswer {
    Ok,
    FirstChoice,
    SecondChoice,
    Cancel,
};

struct UpdateFlowBoxButton
{
    const char* text;          // the widget's own text, or null
    const QString* sharedText; // a shared text of ProgressMessages (its own context), or null
    QMessageBox::ButtonRole role;
    int minimumWidth; // 0: the style's
};

struct UpdateFlowBoxTexts
{
    QMessageBox::Icon icon;
    const char* title;           // null: no title set
    const char* text;            // %1 takes the helper's argument where it appears
    const char* informativeText; // null: none; %1 as in the text
    UpdateFlowBoxButton first;   // the box's own buttons, added before the standard ones
    UpdateFlowBoxButton second;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton; // NoButton: none set
    const char* context = nullptr;             // where the texts are translated; null: the widget's
    const QString* sharedText = nullptr;       // a shared text of ProgressMessages instead of the text, or null
};

const UpdateFlowBoxTexts& updateFlowBoxTexts(UpdateFlowBox box);
