#pragma once

#include <QByteArray>
#include <QString>

// The shared texts. They are made before any translation is loaded, so they
// hold the English text; whoever shows one to the user passes it through
// translated() again. Firmware communicators emit them unchanged.
namespace ProgressMessages {

// The translation context the texts belong to.
extern const char* const Context;

// The text in the language loaded now.
QString translated(const QString& text);

// Progress-dialog lines of an update.
extern const QString ResettingToBootloader;
extern const QString ResettingToBootloaderDone;
extern const QString ErasingHexFile;
extern const QString ErasingHexFileDone;
extern const QString ErasingMcsFile;
extern const QString ErasingMcsFileSector;
extern const QString ErasingMcsFileDone;
extern const QString ProgrammingStartsSoon;
extern const QString ProgrammingDevice;
extern const QString ProgrammingDeviceLines;
extern const QString ProgrammingDeviceDone;
extern const QString ProgrammingChannelsLines;
extern const QString ProgrammingChannelsDone;
extern const QString CrcVerification;
extern const QString CrcVerificationDone;
extern const QString RetryingToSendLines;
extern const QString NoConfirmationReceived;
extern const QString NothingToProgram;
extern const QString RecordTooLong;
extern const QString EraseFailed;

// Version texts and name tests.
extern const QString NotAvailable;
extern const QString BlankVersion;
extern const QString DefaultBootloaderVersion;
extern const QString Bootloader;

// Status messages of the firmware updater and the widget.
extern const QString DeviceFound;
extern const QString CameraFound;
extern const QString DeviceRemoved;
extern const QString WrongPortDetected;
extern const QString DeviceInitialized;

// Devices-tab words and channel-connection texts.
extern const QString Connected;
extern const QString NotConnected;
extern const QString Installed;
extern const QString NotInstalled;
extern const QString Channels;
extern const QString Motherboard;
extern const QString WaitingForChannels;
extern const QString ChannelsConnectionReceived;
extern const QString ChannelsConnectionNotReceived;
extern const QString DetailsShow;
extern const QString DetailsHide;

// Description pane.
extern const QString WebLink;
extern const QString NoDescription;
extern const QString NoteUpdateFromBootloader;
extern const QString NoteUpdateFromChannels;
extern const QString NoteUpdateFromMotherboard;
extern const QString NoteUpdateUSB3Communication;
extern const QString NoteDeprecatedDriver;
extern const QString DescriptionRotaryJoint;
extern const QString DescriptionPhotometryDriverNXLT;
extern const QString DescriptionPhotometryDriverKOTW;
extern const QString DescriptionPhotometrySystem;
extern const QString DescriptionCamera;
extern const QString DescriptionConsole;
extern const QString DescriptionAcquisitionConsole;
extern const QString DescriptionLightSource;
extern const QString DescriptionKAVOR;
extern const QString DescriptionEEPROMMemoryManager;
extern const QString DescriptionMicroscope1Color;
extern const QString DescriptionMicroscope2Color;
extern const QString DescriptionMicroscopeGen3;
extern const QString DescriptionTV720;
extern const QString DescriptionPulseGenerator;
extern const QString DescriptionYLQSAMiniCube;
extern const QString DescriptionMultiPlaneMicroscope;
extern const QString DescriptionZuvoBasestation;
extern const QString DescriptionIMU;

// The catalogue model's empty default.
extern const QByteArray EmptyByteArray;

} // namespace ProgressMessages
