#include "firmware/core/ProgressMessages.h"

#include "firmware/core/MovraWebAddress.h"
#include "firmware/core/ProgressDialogTexts.h"

#include <QCoreApplication>

namespace ProgressMessages {

const char* const Context = "ProgressDialog";

QString translated(const QString& text)
{
    const QByteArray source = text.toUtf8();
    return QCoreApplication::translate(Context, source.constData());
}

// Each written out in full, so that lupdate collects them. Before the
// application object exists, translate() returns the source text.
const QString ResettingToBootloader = ProgressDialogTexts::tr("Resetting to bootloader...");
const QString ResettingToBootloaderDone = ProgressDialogTexts::tr("Resetting to bootloader... [Done]");
const QString ErasingHexFile = ProgressDialogTexts::tr("Erasing the old hex file...");
const QString ErasingHexFileDone = ProgressDialogTexts::tr("Erasing the old hex file... [Done]");
const QString ErasingMcsFile = ProgressDialogTexts::tr("Erasing the old mcs file...");
const QString ErasingMcsFileSector = ProgressDialogTexts::tr("Erasing the old mcs file... [Sector %1 out of %2]");
const QString ErasingMcsFileDone = ProgressDialogTexts::tr("Erasing the old mcs file... [Done]");
const QString ProgrammingStartsSoon =
    ProgressDialogTexts::tr("It can take up to 30 seconds before the programming starts");
const QString ProgrammingDevice = ProgressDialogTexts::tr("Programming the device...");
const QString ProgrammingDeviceLines = ProgressDialogTexts::tr("Programming the device... [%1 lines out of %2]");
const QString ProgrammingDeviceDone = ProgressDialogTexts::tr("Programming the device... [Done]");
const QString ProgrammingChannelsLines = ProgressDialogTexts::tr("Programming the channel(s)... [%1 lines out of %2]");
const QString ProgrammingChannelsDone = ProgressDialogTexts::tr("Programming the channel(s)... [Done]");
const QString CrcVerification = ProgressDialogTexts::tr("CRC verification...");
const QString CrcVerificationDone = ProgressDialogTexts::tr("CRC verification... [Done]");
const QString RetryingToSendLines =
    ProgressDialogTexts::tr("Warning: No confirmation received, retrying to send lines");
const QString NoConfirmationReceived = ProgressDialogTexts::tr("Error: No confirmation received, programming stopped");
const QString NothingToProgram = ProgressDialogTexts::tr("Error: The firmware file holds nothing to program");
const QString RecordTooLong = ProgressDialogTexts::tr("Error: A record of the firmware file does not fit in a packet");
const QString EraseFailed = ProgressDialogTexts::tr("Error: The device could not erase its memory, update stopped");

const QString NotAvailable = ProgressDialogTexts::tr("N/A");
const QString BlankVersion = ProgressDialogTexts::tr("-1.-1");
const QString DefaultBootloaderVersion = ProgressDialogTexts::tr("2.0");
const QString Bootloader = ProgressDialogTexts::tr("Bootloader");

const QString DeviceFound = ProgressDialogTexts::tr("A Movra device has been found. Retrieving his firmware versions");
const QString CameraFound = ProgressDialogTexts::tr("A Movra camera has been found");
const QString DeviceRemoved = ProgressDialogTexts::tr("Movra device removed");
const QString WrongPortDetected = ProgressDialogTexts::tr(
    "A Movra device has been found but the wrong port has been detected. Please change it to a USB3 port on your "
    "computer");
const QString DeviceInitialized = ProgressDialogTexts::tr("Movra device initialized");

const QString Connected = ProgressDialogTexts::tr("Connected");
const QString NotConnected = ProgressDialogTexts::tr("Not connected");
const QString Installed = ProgressDialogTexts::tr("Installed");
const QString NotInstalled = ProgressDialogTexts::tr("Not installed");
const QString Channels = ProgressDialogTexts::tr("Channels");
const QString Motherboard = ProgressDialogTexts::tr("Motherboard");
const QString WaitingForChannels = ProgressDialogTexts::tr("Waiting for the channel(s) connection ...");
const QString ChannelsConnectionReceived = ProgressDialogTexts::tr("SUCCESS : Channel(s) connection was received");
const QString ChannelsConnectionNotReceived = ProgressDialogTexts::tr("ERROR : Channel(s) connection wasn't received");
const QString DetailsShow = ProgressDialogTexts::tr("Details >>");
const QString DetailsHide = ProgressDialogTexts::tr("Details <<");

// Built from the host macro, which lupdate cannot follow; the link has
// no words to translate.
const QString WebLink =
    QStringLiteral("<a href=\"" MOVRA_WEB_HOST "\" style=\"color: #4e9ccf;\">" MOVRA_WEB_HOST "</a>");
const QString NoDescription = ProgressDialogTexts::tr("No description available at the moment. [No device selected]");
const QString NoteUpdateFromBootloader = ProgressDialogTexts::tr(
    "* Make sure to only have one and the correct Movra device connected before updating from bootloader. You can "
    "only update it manually.");
const QString NoteUpdateFromChannels = ProgressDialogTexts::tr(
    "* Make sure to only have one and the correct Movra device connected before updating from channels.");
const QString NoteUpdateFromMotherboard = ProgressDialogTexts::tr(
    "* Make sure to only have one motherboard (Lightsource or Console) connected before updating from motherboard.");
const QString NoteUpdateUSB3Communication = ProgressDialogTexts::tr(
    "* Make sure to only have one and the correct Movra device connected before updating the USB3 communication.");
const QString NoteDeprecatedDriver = ProgressDialogTexts::tr(
    "* This driver is deprecated and cannot be updated in Movra Maintenance Tool. Please use Movra Studio v5.X if you "
    "want to update it.");
const QString DescriptionRotaryJoint = ProgressDialogTexts::tr(
    "<p>The assisted rotary joint follows the rotation of the animal and keeps the optical fibers and cables free of "
    "torsion during freely moving experiments.</p>");
const QString DescriptionPhotometryDriverNXLT = ProgressDialogTexts::tr(
    "<p>The NXLT fiber photometry driver excites and records fluorescence through one or more optical fibers.</p>");
const QString DescriptionPhotometryDriverKOTW = ProgressDialogTexts::tr(
    "<p>The KOTW Gen3 fiber photometry driver excites and records fluorescence through one or more optical "
    "fibers.</p>");
const QString DescriptionPhotometrySystem = ProgressDialogTexts::tr(
    "<p>The fiber photometry system combines light sources, detectors and the acquisition console in one setup.</p>");
const QString DescriptionCamera = ProgressDialogTexts::tr(
    "<p>The behaviour camera records the animal during the experiment.</p><br>Updating a camera opens the camera "
    "vendor's web site, where its driver can be downloaded.");
const QString DescriptionConsole = ProgressDialogTexts::tr(
    "<p>The console drives the channel modules and synchronises them with the acquisition.</p>");
const QString DescriptionAcquisitionConsole = ProgressDialogTexts::tr(
    "<p>The acquisition console records and synchronises the signals of every connected module.</p>");
const QString DescriptionLightSource = ProgressDialogTexts::tr(
    "<p>The light-source driver powers LEDs and lasers for optogenetics and photometry experiments.</p>");
const QString DescriptionKAVOR =
    ProgressDialogTexts::tr("<p>The KAVOR light source delivers stable, high-power light to optical fibers.</p>");
const QString DescriptionEEPROMMemoryManager = ProgressDialogTexts::tr(
    "<p>The EEPROM memory manager reads and writes the memory of the light-source channel modules.</p><br>Connect "
    "only one memory manager at a time.");
const QString DescriptionMicroscope1Color =
    ProgressDialogTexts::tr("<p>The one-colour microscope driver runs a miniature microscope for calcium imaging.</p>");
const QString DescriptionMicroscope2Color = ProgressDialogTexts::tr(
    "<p>The two-colour microscope driver runs a dual-colour miniature microscope.</p><br>Connect only one port, USB3 "
    "or USB2, at a time.");
const QString DescriptionMicroscopeGen3 = ProgressDialogTexts::tr(
    "<p>The third-generation microscope driver runs a miniature microscope over USB 3.</p><br>Connect only one port, "
    "USB3 or USB2, at a time.");
const QString DescriptionTV720 = ProgressDialogTexts::tr(
    "<p>The TV720 console acquires video and synchronisation signals over USB 3.</p><br>Connect only one port, USB3 "
    "or USB2, at a time.");
const QString DescriptionPulseGenerator = ProgressDialogTexts::tr(
    "<p>The pulse generator produces the stimulation patterns of optogenetics experiments.</p>");
const QString DescriptionYLQSAMiniCube = ProgressDialogTexts::tr(
    "<p>The YLQSA mini cube combines the excitation and emission paths of a photometry setup.</p>");
const QString DescriptionMultiPlaneMicroscope = ProgressDialogTexts::tr(
    "<p>The multi-plane microscope driver images several focal planes of a miniature microscope.</p>");
const QString DescriptionZuvoBasestation =
    ProgressDialogTexts::tr("<p>The Zuvo base station talks to the wireless photometry modules.</p>");
const QString DescriptionIMU =
    ProgressDialogTexts::tr("<p>The inertial sensor module records the head movements of the animal.</p>");

const QByteArray EmptyByteArray;

} // namespace ProgressMessages
