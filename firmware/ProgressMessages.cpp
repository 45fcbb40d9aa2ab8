#include "ProgressMessages.h"

#include "MovraWebAddress.h"

#include <QCoreApplication>

namespace ProgressMessages {

const char* const Context = "ProgressDialog";

QString translated(const QString& text)
{
    const QByteArray source = text.toUtf8();
    return QCoreApplication::translate(Context, source.constData());
}

// Before the application object exists, translate() returns the source text.
#define MOVRA_TEXT(name, text) const QString name = QCoreApplication::translate("ProgressDialog", text)

MOVRA_TEXT(ResettingToBootloader, "Resetting to bootloader...");
MOVRA_TEXT(ResettingToBootloaderDone, "Resetting to bootloader... [Done]");
MOVRA_TEXT(ErasingHexFile, "Erasing the old hex file...");
MOVRA_TEXT(ErasingHexFileDone, "Erasing the old hex file... [Done]");
MOVRA_TEXT(ErasingMcsFile, "Erasing the old mcs file...");
MOVRA_TEXT(ErasingMcsFileSector, "Erasing the old mcs file... [Sector %1 out of %2]");
MOVRA_TEXT(ErasingMcsFileDone, "Erasing the old mcs file... [Done]");
MOVRA_TEXT(ProgrammingStartsSoon, "It can take up to 30 seconds before the programming starts");
MOVRA_TEXT(ProgrammingDevice, "Programming the device...");
MOVRA_TEXT(ProgrammingDeviceLines, "Programming the device... [%1 lines out of %2]");
MOVRA_TEXT(ProgrammingDeviceDone, "Programming the device... [Done]");
MOVRA_TEXT(ProgrammingChannelsLines, "Programming the channel(s)... [%1 lines out of %2]");
MOVRA_TEXT(ProgrammingChannelsDone, "Programming the channel(s)... [Done]");
MOVRA_TEXT(CrcVerification, "CRC verification...");
MOVRA_TEXT(CrcVerificationDone, "CRC verification... [Done]");
MOVRA_TEXT(RetryingToSendLines, "Warning: No confirmation received, retrying to send lines");
MOVRA_TEXT(NoConfirmationReceived, "Error: No confirmation received, programming stopped");
MOVRA_TEXT(NothingToProgram, "Error: The firmware file holds nothing to program");
MOVRA_TEXT(RecordTooLong, "Error: A record of the firmware file does not fit in a packet");

MOVRA_TEXT(NotAvailable, "N/A");
MOVRA_TEXT(BlankVersion, "-1.-1");
MOVRA_TEXT(DefaultBootloaderVersion, "2.0");
MOVRA_TEXT(Bootloader, "Bootloader");

MOVRA_TEXT(DeviceFound, "A Movra device has been found. Retrieving his firmware versions");
MOVRA_TEXT(CameraFound, "A Movra camera has been found");
MOVRA_TEXT(DeviceRemoved, "Movra device removed");
MOVRA_TEXT(WrongPortDetected,
    "A Movra device has been found but the wrong port has been detected. Please change it to a USB3 port on your "
    "computer");
MOVRA_TEXT(DeviceInitialized, "Movra device initialized");

MOVRA_TEXT(Connected, "Connected");
MOVRA_TEXT(NotConnected, "Not connected");
MOVRA_TEXT(Installed, "Installed");
MOVRA_TEXT(NotInstalled, "Not installed");
MOVRA_TEXT(Channels, "Channels");
MOVRA_TEXT(Motherboard, "Motherboard");
MOVRA_TEXT(WaitingForChannels, "Waiting for the channel(s) connection ...");
MOVRA_TEXT(ChannelsConnectionReceived, "SUCCESS : Channel(s) connection was received");
MOVRA_TEXT(ChannelsConnectionNotReceived, "ERROR : Channel(s) connection wasn't received");
MOVRA_TEXT(DetailsShow, "Details >>");
MOVRA_TEXT(DetailsHide, "Details <<");

MOVRA_TEXT(WebLink, "<a href=\"" MOVRA_WEB_HOST "\" style=\"color: #4e9ccf;\">" MOVRA_WEB_HOST "</a>");
MOVRA_TEXT(NoDescription, "No description available at the moment. [No device selected]");
MOVRA_TEXT(NoteUpdateFromBootloader,
    "* Make sure to only have one and the correct Movra device connected before updating from bootloader. You can "
    "only update it manually.");
MOVRA_TEXT(NoteUpdateFromChannels,
    "* Make sure to only have one and the correct Movra device connected before updating from channels.");
MOVRA_TEXT(NoteUpdateFromMotherboard,
    "* Make sure to only have one motherboard (Lightsource or Console) connected before updating from motherboard.");
MOVRA_TEXT(NoteUpdateUSB3Communication,
    "* Make sure to only have one and the correct Movra device connected before updating the USB3 communication.");
MOVRA_TEXT(NoteDeprecatedDriver,
    "* This driver is deprecated and cannot be updated in Movra Maintenance Tool. Please use Movra Studio v5.X if you "
    "want to update it.");
MOVRA_TEXT(DescriptionRotaryJoint,
    "<p>The assisted rotary joint follows the rotation of the animal and keeps the optical fibers and cables free "
    "of torsion during freely moving experiments.</p>");
MOVRA_TEXT(DescriptionPhotometryDriverNXLT,
    "<p>The NXLT fiber photometry driver excites and records fluorescence through one or more optical fibers.</p>");
MOVRA_TEXT(DescriptionPhotometryDriverKOTW,
    "<p>The KOTW Gen3 fiber photometry driver excites and records fluorescence through one or more optical "
    "fibers.</p>");
MOVRA_TEXT(DescriptionPhotometrySystem,
    "<p>The fiber photometry system combines light sources, detectors and the acquisition console in one "
    "setup.</p>");
MOVRA_TEXT(DescriptionCamera,
    "<p>The behaviour camera records the animal during the experiment.</p><br>Updating a camera opens the camera "
    "vendor's web site, where its driver can be downloaded.");
MOVRA_TEXT(DescriptionConsole,
    "<p>The console drives the channel modules and synchronises them with the acquisition.</p>");
MOVRA_TEXT(DescriptionAcquisitionConsole,
    "<p>The acquisition console records and synchronises the signals of every connected module.</p>");
MOVRA_TEXT(DescriptionLightSource,
    "<p>The light-source driver powers LEDs and lasers for optogenetics and photometry experiments.</p>");
MOVRA_TEXT(DescriptionKAVOR, "<p>The KAVOR light source delivers stable, high-power light to optical fibers.</p>");
MOVRA_TEXT(DescriptionEEPROMMemoryManager,
    "<p>The EEPROM memory manager reads and writes the memory of the light-source channel modules.</p><br>Connect "
    "only one memory manager at a time.");
MOVRA_TEXT(DescriptionMicroscope1Color,
    "<p>The one-colour microscope driver runs a miniature microscope for calcium imaging.</p>");
MOVRA_TEXT(DescriptionMicroscope2Color,
    "<p>The two-colour microscope driver runs a dual-colour miniature microscope.</p><br>Connect only one port, "
    "USB3 or USB2, at a time.");
MOVRA_TEXT(DescriptionMicroscopeGen3,
    "<p>The third-generation microscope driver runs a miniature microscope over USB 3.</p><br>Connect only one "
    "port, USB3 or USB2, at a time.");
MOVRA_TEXT(DescriptionTV720, "<p>The TV720 console acquires video and synchronisation signals over USB 3.</p>");
MOVRA_TEXT(DescriptionPulseGenerator,
    "<p>The pulse generator produces the stimulation patterns of optogenetics experiments.</p>");
MOVRA_TEXT(DescriptionYLQSAMiniCube,
    "<p>The YLQSA mini cube combines the excitation and emission paths of a photometry setup.</p>");
MOVRA_TEXT(DescriptionMultiPlaneMicroscope,
    "<p>The multi-plane microscope driver images several focal planes of a miniature microscope.</p>");
MOVRA_TEXT(DescriptionZuvoBasestation,
    "<p>The Zuvo base station talks to the wireless photometry modules.</p>");
MOVRA_TEXT(DescriptionIMU, "<p>The inertial sensor module records the head movements of the animal.</p>");

#undef MOVRA_TEXT

const QByteArray EmptyByteArray;

} // namespace ProgressMessages
