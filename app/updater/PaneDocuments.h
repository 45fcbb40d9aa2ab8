#pragma once

#include <QString>

namespace Ui {
class UpdaterWidget;
}

// The rich-text documents the updater widget's panes start with: a bold
// caption and lines with place-markers (%1, %2, %3) that the widget fills
// later. They are built here rather than in the form
// (UpdaterWidgetUi.ui) so that only their captions and words are translated,
// in the form's context "UpdaterWidget".
void setInitialPaneDocuments(Ui::UpdaterWidget& form);

// A caption or word of the Devices tab's version panes in the loaded
// language, as the documents above hold it, and the ones that take their
// place for some device types. Swapping one for another works in every
// language because both come from the same translation.
enum class PaneWord {
    BootloaderHeading,  // "Bootloader Version"
    MotherboardHeading, // "Motherboard Version"
    FirmwareHeading,    // "Firmware Version"
    CameraHeading,      // "Camera Informations Version"
    Installed,          // "Installed"
    Available,          // "Available"
    SerialNumber,       // "Serial Number"
};

QString paneWord(PaneWord word);
