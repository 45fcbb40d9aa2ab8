#include "firmware/core/ProgressMessages.h"

#include "firmware/core/MovraWebAddress.h"

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
const QString ResettingToBootloader = QCoreApplication::translate("ProgressDialog", "Resetting to bootloader...");
const QString ResettingToBootloaderDone =
    QCoreApplication::translate("ProgressDialog", "Resetting to bootloader... [Done]");
const QString ErasingHexFile = QCoreApplication::translate("ProgressDialog", "Erasing the old hex file...");
const QString ErasingHexFileDone = QCoreApplication::translate("ProgressDialog", "Erasing the old hex file... [Done]");
const QString ErasingMcsFile = QCoreApplication::translate("ProgressDialog", "Erasing the old mcs file...");
const QString ErasingMcsFileSector =
    QCoreApplication::translate("ProgressDialog", "Erasing the old mcs file... [Sector %1 out of %2]");
const QString ErasingMcsFileDone = QCoreApplication::translate("ProgressDialog", "Erasing the old mcs file... [Done]");
const QString ProgrammingStartsSoon =
    QCoreApplication::translate("ProgressDialog", "It can take up to 30 seconds before the programming starts");
const QString ProgrammingDevice = QCoreApplication::translate("ProgressDialog", "Programming the device...");
const QString ProgrammingDeviceLines =
    QCoreApplication::translate("ProgressDialog", "Programming the device... [%1 lines out of %2]");
const QString ProgrammingDeviceDone = QCoreApplication::translate("ProgressDialog", "Programming the device... [Done]");
const QString ProgrammingChannelsLines =
    QCoreApplication::translate("ProgressDialog", "Programming the channel(s)... [%1 lines out of %2]");
const QString ProgrammingChannelsDone =
    QCoreApplication::translate("ProgressDialog", "Programming the channel(s)... [Done]");
const QString CrcVerification = QCoreApplication::translate("ProgressDialog", "CRC verification...");
const QString CrcVerificationDone = QCoreApplication::translate("ProgressDialog", "CRC verification... [Done]");
const QString RetryingToSendLines =
    QCoreApplication::translate("ProgressDialog", "Warning: No confirmation received, retrying to send lines");
const QString NoConfirmationReceived =
    QCoreApplication::translate("ProgressDialog", "Error: No confirmation received, programming stopped");
const QString NothingToProgram =
    QCoreApplication::translate("ProgressDialog", "Error: The firmware file holds nothing to program");
const QString RecordTooLong =
    QCoreApplication::translate("ProgressDialog", "Error: A record of the firmware file does not fit in a packet");
const QString EraseFailed =
    QCoreApplication::translate("ProgressDialog", "Error: The device could not erase its memory, update stopped");

const QString NotAvailable = QCoreApplication::translate("ProgressDialog", "N/A");
const QString BlankVersion = QCoreApplication::translate("ProgressDialog", "-1.-1");
const QString DefaultBootloaderVersion = QCoreApplication::translate("ProgressDialog", "2.0");
const QString Bootloader = QCoreApplication::translate("ProgressDialog", "Bootloader");

const QString DeviceFound =
    QCoreApplication::translate("ProgressDialog", "A Movra device has been found. Retrieving his firmware versions");
const QString CameraFound = QCoreApplication::translate("ProgressDialog", "A Movra camera has been found");
const QString DeviceRemoved = QCoreApplication::translate("ProgressDialog", "Movra device removed");
const QString WrongPortDetected = QCoreApplication::translate(
    "ProgressDialog",
    "A Movra device has been found but the wrong port has been detected. Please change it to a USB3 port on your "
    "computer");
const QString DeviceInitialized = QCoreApplication::translate("ProgressDialog", "Movra device initialized");

const QString Connected = QCoreApplication::translate("ProgressDialog", "Connected");
const QString NotConnected = QCoreApplication::translate("ProgressDialog", "Not connected");
const QString Installed = QCoreApplication::translate("ProgressDialog", "Installed");
const QString NotInstalled = QCoreApplication::translate("ProgressDialog", "Not installed");
const QString Channels = QCoreApplication::translate("ProgressDialog", "Channels");
const QString Motherboard = QCoreApplication::translate("ProgressDialog", "Motherboard");
const QString WaitingForChannels =
    QCoreApplication::translate("ProgressDialog", "Waiting for the channel(s) connection ...");
const QString ChannelsConnectionReceived =
    QCoreApplication::translate("ProgressDialog", "SUCCESS : Channel(s) connection was received");
const QString ChannelsConnectionNotReceived =
    QCoreApplication::translate("ProgressDialog", "ERROR : Channel(s) connection wasn't received");
const QString DetailsShow = QCoreApplication::translate("ProgressDialog", "Details >>");
const QString DetailsHide = QCoreApplication::translate("ProgressDialog", "Details <<");

// Built from the host macro, which lupdate cannot follow; the link has
// no words to translate.
const QString WebLink = QCoreApplication::translate(
    "ProgressDialog", "<a href=\"" MOVRA_WEB_HOST "\" style=\"color: #4e9ccf;\">" MOVRA_WEB_HOST "</a>");
const QString NoDescription =
    QCoreApplication::translate("ProgressDialog", "No description available at the moment. [No device selected]");
const QString NoteUpdateFromBootloader = QCoreApplication::translate(
    "ProgressDialog",
    "* Make sure to only have one and the correct Movra device connected before updating from bootloader. You can "
    "only update it manually.");
const QString NoteUpdateFromChannels = QCoreApplication::translate(
    "ProgressDialog",
    "* Make sure to only have one and the correct Movra device connected before updating from channels.");
const QString NoteUpdateFromMotherboard = QCoreApplication::translate(
    "ProgressDialog",
    "* Make sure to only have one motherboard (Lightsource or Console) connected before updating from motherboard.");
const QString NoteUpdateUSB3Communication = QCoreApplication::translate(
    "ProgressDialog",
    "* Make sure to only have one and the correct Movra device connected before updating the USB3 communication.");
const QString NoteDeprecatedDriver = QCoreApplication::translate(
    "ProgressDialog",
    "* This driver is deprecated and cannot be updated in Movra Maintenance Tool. Please use Movra Studio v5.X if you "
    "want to update it.");
const QString DescriptionRotaryJoint = QCoreApplication::translate(
    "ProgressDialog",
    "<p>The assisted rotary joint follows the rotation of the animal and keeps the optical fibers and cables free of "
    "torsion during freely moving experiments.</p>");
const QString DescriptionPhotometryDriverNXLT = QCoreApplication::translate(
    "ProgressDialog",
    "<p>The NXLT fiber photometry driver excites and records fluorescence through one or more optical fibers.</p>");
const QString DescriptionPhotometryDriverKOTW = QCoreApplication::translate(
    "ProgressDialog",
    "<p>The KOTW Gen3 fiber photometry driver excites and records fluorescence through one or more optical "
    "fibers.</p>");
const QString DescriptionPhotometrySystem = QCoreApplication::translate(
    "ProgressDialog",
    "<p>The fiber photometry system combines light sources, detectors and the acquisition console in one setup.</p>");
const QString DescriptionCamera = QCoreApplication::translate(
    "ProgressDialog",
    "<p>The behaviour camera records the animal during the experiment.</p><br>Updating a camera opens the camera "
    "vendor's web site, where its driver can be downloaded.");
const QString DescriptionConsole = QCoreApplication::translate(
    "ProgressDialog", "<p>The console drives the channel modules and synchronises them with the acquisition.</p>");
const QString DescriptionAcquisitionConsole = QCoreApplication::translate(
    "ProgressDialog", "<p>The acquisition console records and synchronises the signals of every connected module.</p>");
const QString DescriptionLightSource = QCoreApplication::translate(
    "ProgressDialog",
    "<p>The light-source driver powers LEDs and lasers for optogenetics and photometry experiments.</p>");
const QString DescriptionKAVOR = QCoreApplication::translate(
    "ProgressDialog", "<p>The KAVOR light source delivers stable, high-power light to optical fibers.</p>");
const QString DescriptionEEPROMMemoryManager = QCoreApplication::translate(
    "ProgressDialog",
    "<p>The EEPROM memory manager reads and writes the memory of the light-source channel modules.</p><br>Connect "
    "only one memory manager at a time.");
const QString DescriptionMicroscope1Color = QCoreApplication::translate(
    "ProgressDialog", "<p>The one-colour microscope driver runs a miniature microscope for calcium imaging.</p>");
const QString DescriptionMicroscope2Color = QCoreApplication::translate(
    "ProgressDialog",
    "<p>The two-colour microscope driver runs a dual-colour miniature microscope.</p><br>Connect only one port, USB3 "
    "or USB2, at a time.");
const QString DescriptionMicroscopeGen3 = QCoreApplication::translate(
    "ProgressDialog",
    "<p>The third-generation microscope driver runs a miniature microscope over USB 3.</p><br>Connect only one port, "
    "USB3 or USB2, at a time.");
const QString DescriptionTV720 = QCoreApplication::translate(
    "ProgressDialog",
    "<p>The TV720 console acquires video and synchronisation signals over USB 3.</p><br>Connect only one port, USB3 "
    "or USB2, at a time.");
const QString DescriptionPulseGenerator = QCoreApplication::translate(
    "ProgressDialog", "<p>The pulse generator produces the stimulation patterns of optogenetics experiments.</p>");
const QString DescriptionYLQSAMiniCube = QCoreApplication::translate(
    "ProgressDialog", "<p>The YLQSA mini cube combines the excitation and emission paths of a photometry setup.</p>");
const QString DescriptionMultiPlaneMicroscope = QCoreApplication::translate(
    "ProgressDialog",
    "<p>The multi-plane microscope driver images several focal planes of a miniature microscope.</p>");
const QString DescriptionZuvoBasestation = QCoreApplication::translate(
    "ProgressDialog", "<p>The Zuvo base station talks to the wireless photometry modules.</p>");
const QString DescriptionIMU = QCoreApplication::translate(
    "ProgressDialog", "<p>The inertial sensor module records the head movements of the animal.</p>");

const QByteArray EmptyByteArray;

} // namespace ProgressMessages
