#include "app/updater/UpdateFlowBoxes.h"

#include "firmware/core/ProgressMessages.h"

#include <QCoreApplication>

#include <iterator>

namespace {

constexpr UpdateFlowBoxButton NoButton { nullptr, nullptr, QMessageBox::InvalidRole, 0 };
constexpr int ChoiceWidth = 120;

// In the order of UpdateFlowBox. Every text is translated in the context
// "VEKUpdaterWidget" when shown, unless the box names its own: the firmware
// engine's notices keep the contexts their translations are filed under.
const UpdateFlowBoxTexts Boxes[] = {
    // SeveralDevices
    { QMessageBox::Warning, nullptr,
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>There are more than one device connected.</b>"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Please remove all but the one device you want to update, then try again."),
      NoButton, NoButton, QMessageBox::Ok, QMessageBox::NoButton },
    // WrongPort
    { QMessageBox::Warning, nullptr,
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>Device not connected to the correct port.</b>"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "To update, change the connection to the USB port and redo the update."),
      NoButton, NoButton, QMessageBox::Ok, QMessageBox::NoButton },
    // MotherboardOrChannels
    { QMessageBox::Question,
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Update Selection"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget",
                        "Do you want to update the <b>[Motherboard]</b> or the <b>[Channel(s)]</b> ?"),
      nullptr,
      { nullptr, &ProgressMessages::Motherboard, QMessageBox::YesRole, 0 },
      { nullptr, &ProgressMessages::Channels, QMessageBox::AcceptRole, 0 },
      QMessageBox::Cancel,
      QMessageBox::Cancel },
    // WhichDevice
    { QMessageBox::Question,
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Update Selection"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>Which device are you updating?</b>"),
      nullptr,
      { QT_TRANSLATE_NOOP("VEKUpdaterWidget", "LightSource (1st Gen.)"), nullptr, QMessageBox::YesRole, ChoiceWidth },
      { QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Console (1st Gen.)"), nullptr, QMessageBox::ActionRole, ChoiceWidth },
      QMessageBox::Cancel,
      QMessageBox::Cancel },
    // WhichPart
    { QMessageBox::Question,
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Update Selection"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>Which part are you updating?</b>"),
      nullptr,
      { QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Motherboard"), nullptr, QMessageBox::YesRole, 0 },
      { QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Channel(s)"), nullptr, QMessageBox::ActionRole, 0 },
      QMessageBox::Cancel,
      QMessageBox::Cancel },
    // ConsolePortChange
    { QMessageBox::Information, QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Acquisition Console Update"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>Change USB connection port</b>"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget",
                        "Disconnect the USB cable from [USB port] of the console and reconnect it into the [SERVICE "
                        "port] of the same console.\n\nDo it NOW.\n\nOnce done, press OK and you will then be able to "
                        "choose the firmware file (.mcs) and wait for the update to start automatically."),
      NoButton, NoButton, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel },
    // ChannelsFirst
    { QMessageBox::Warning, QT_TRANSLATE_NOOP("VEKUpdaterWidget", "LightSource Update"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>Channel(s) needs to be update before the motherboard</b>"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget",
                        "This will ensure a proper update. Throughout the installation, 2 files will be selected, "
                        "beginning with the channel(s) firmware file (.hex)"),
      NoButton, NoButton, QMessageBox::Ok, QMessageBox::Ok },
    // DeviceNotConnected
    { QMessageBox::Critical, QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Error"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>Selected device doesn't seem to be connected.</b>"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Please verify your connections and try again."), NoButton, NoButton,
      QMessageBox::Ok, QMessageBox::NoButton },
    // FileNotAccessible
    { QMessageBox::Critical, QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Error"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>Downloaded/Selected file doesn't seem to be accessible [%1].</b>"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget",
                        "Please make sure you have all the rights to use that file and make sure your firewall or "
                        "another program doesn't block/use your file. Try again after those verifications have been "
                        "done."),
      NoButton, NoButton, QMessageBox::Ok, QMessageBox::NoButton },
    // FileNotUsable
    { QMessageBox::Critical, QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Error"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>Downloaded/Selected file cannot be used for programming [%1].</b>"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget",
                        "Please make sure you got the correct file. If you have any interrogation about what you're "
                        "doing, please contact Movra Support and we will make sure you program the correct device "
                        "with the correct firmware"),
      NoButton, NoButton, QMessageBox::Ok, QMessageBox::NoButton },
    // MotherboardStepFailed
    { QMessageBox::Critical, QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Error"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>A problem occured while updating the firmware.</b>"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget",
                        "Please verify your connections and try again.\n\nError Information : Motherboard couldn't "
                        "be updated after the channel(s)"),
      NoButton, NoButton, QMessageBox::Ok, QMessageBox::NoButton },
    // UpdateFailed
    { QMessageBox::Critical, QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Updating Firmware"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>A problem occured while updating the firmware.</b>"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Please verify your connections and try again.\n\nError information : %1"),
      NoButton, NoButton, QMessageBox::Ok, QMessageBox::NoButton },
    // Usb3FollowUp
    { QMessageBox::Information, QT_TRANSLATE_NOOP("VEKUpdaterWidget", "USB3.x Driver Update"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>Do you want to update the USB3.x Driver as well ?</b>"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget",
                        "Turn off your device and change the O/P Switch to programmming mode [P]\n\nDo it NOW.\n\n"
                        "Once done, start the device again, and once it's recognized in the list press OK.\n\n"
                        "[MANUAL UPDATE] Choose the firmware file (.img) and wait for the update to start "
                        "automatically.\n[SERVER UPDATE] The update should start automatically after downloading the "
                        "firmware file (.img)."),
      NoButton, NoButton, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel },
    // UpdateCompleted
    { QMessageBox::Information, QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Updating Firmware"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>Update completed successfully!</b>"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget",
                        "After pressing OK, the driver might disconnect automatically. In that case, it will reappear "
                        "in the software. Please wait for this to complete (can take up to 10 seconds).\n\nMake sure "
                        "to power cycle (OFF/ON) your driver after Movra Maintenance Tool has been closed.\n\n[EP/FP "
                        "Console]\nMake sure to remove USB cable from [SERVICE] port and put it back into [USB] "
                        "port.\n\n[GQZ3 / TV720]\nMake sure to switch back programming switch [O/P] to operating mode "
                        "[O]."),
      NoButton, NoButton, QMessageBox::Ok, QMessageBox::NoButton },
    // DownloadFailed
    { QMessageBox::Critical, QT_TRANSLATE_NOOP("VEKUpdaterWidget", "Error"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget", "<b>The download failed.</b>"),
      QT_TRANSLATE_NOOP("VEKUpdaterWidget",
                        "Please verify your network connection and try again.\n\nError information : %1"),
      NoButton, NoButton, QMessageBox::Ok, QMessageBox::NoButton },
    // WrongPortDetected
    { QMessageBox::Warning, QT_TRANSLATE_NOOP("FirmwareUpdater", "Wrong port detected"), nullptr, nullptr, NoButton,
      NoButton, QMessageBox::Ok, QMessageBox::NoButton, "FirmwareUpdater", &ProgressMessages::WrongPortDetected },
    // ChannelsNotProgrammed; its title is not marked for translation, so it
    // stays as it is in every language.
    { QMessageBox::Critical, "Can't programm channels",
      QT_TRANSLATE_NOOP("LightsourceChannelCommunicator",
                        "<b>There was an error programming the channels.</b><br>Please verifiy if the channel's pins "
                        "are correctly configured."),
      nullptr, NoButton, NoButton, QMessageBox::Ok, QMessageBox::NoButton, "LightsourceChannelCommunicator" },
};

static_assert(std::size(Boxes) == std::size_t(UpdateFlowBox::ChannelsNotProgrammed) + 1, "one entry per box, in order");

} // namespace

const UpdateFlowBoxTexts& updateFlowBoxTexts(UpdateFlowBox box)
{
    return Boxes[std::size_t(box)];
}
