#pragma once

#include <QString>

// The state of the Devices tab's firmware update,
// from a press on "Update from server" or "Update manually" to the update's
// result box, held by the updater widget in one value.
//
// A press on either button starts an update afresh (startAfresh). What an
// update carries on from the one before stays: the USB3 driver follow-up that
// an earlier update of a GQZ3 or TV720 asked for, the mode whose flow that
// follow-up restarts, the close lock it carries over, and the uid and file
// name of a download still under way.
// The motherboard step after a channel update is the second step of the same
// update: it sets its phase itself and does not start afresh.
struct FirmwareUpdateSession
{
    // The update to start is the motherboard part of a device that has one.
    bool motherboardPhase = false;
    // The file comes from a download (true) or from the user's choice (false).
    bool serverMode = false;
    // After a successful update, offer to update the USB3 driver as well;
    // cleared only by OK in that question.
    bool usb3FollowUp = false;
    // A console channel update waits for the channels on the service port;
    // programming then uses device type 5 (Channel(s)).
    bool waitingForChannels = false;
    // The uid of the device to program, handed to the firmware updater.
    QString selectedDeviceUid;
    // The file name of the download or of the chosen file (the progress headline).
    QString downloadFileName;
    // The window's close lock is still on from the update before, with no
    // progress dialog left to end it (the USB3 driver follow-up): the flow
    // releases it unless it starts a download or an update, whose own end
    // then releases it.
    bool closeLockCarried = false;

    // No motherboard phase and no channel wait yet.
    void startAfresh()
    {
        motherboardPhase = false;
        waitingForChannels = false;
    }
};
