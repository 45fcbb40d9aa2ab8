#pragma once

#include "firmware/core/FirmwareTypes.h"
#include "platform/RowRange.h"

#include <QtGlobal>

class FirmwareUpdater;

// What a device type's arrival, listing, removal and reset do besides its
// version query, whichever family serves it (FirmwareFamilyRegistry). A type
// that is not listed does none of it and is found again by its uid.
struct DeviceTypeHandling
{
    using ItemStatusSignal = void (FirmwareUpdater::*)(bool);

    int deviceType = -1;
    // Opened as a camera and announced; never queried.
    bool camera = false;
    // The wait for the versions after its arrival; 0 for the usual one.
    int versionWaitMs = 0;
    // Product ids that, from a Cypress vendor id over plain USB, mean the
    // USB 3 instrument sits on the wrong port (0: unused).
    quint16 wrongPortProductIds[2] = {};
    // Its Ethernet grabber leaves the uid empty: the serial number stands for it.
    bool uidFromSerialOnEthernet = false;
    // The name of its record instead of the device's.
    const char* recordName = nullptr;
    // Opened over USB for its query (the other comm types are always opened).
    bool openedOverUsb = true;
    // Its Devices-tab row: hidden (true) on removal, and shown (false) on
    // arrival when itemShownOnArrival.
    ItemStatusSignal itemStatus = nullptr;
    bool itemShownOnArrival = false;
    // Its list of available devices holds the motherboards too.
    bool listsMotherboards = false;
    // How the device is found again after its update reset it.
    nsFirmware::ReconnectRoute reconnectRoute = nsFirmware::ReconnectRoute::BootloaderByUid;

    constexpr DeviceTypeHandling asCamera() const
    {
        DeviceTypeHandling h = *this;
        h.camera = true;
        return h;
    }
    constexpr DeviceTypeHandling waitingForVersions(int ms) const
    {
        DeviceTypeHandling h = *this;
        h.versionWaitMs = ms;
        return h;
    }
    constexpr DeviceTypeHandling onWrongPortWith(quint16 productId, quint16 otherProductId = 0) const
    {
        DeviceTypeHandling h = *this;
        h.wrongPortProductIds[0] = productId;
        h.wrongPortProductIds[1] = otherProductId;
        return h;
    }
    constexpr DeviceTypeHandling withUidFromSerialOnEthernet() const
    {
        DeviceTypeHandling h = *this;
        h.uidFromSerialOnEthernet = true;
        return h;
    }
    constexpr DeviceTypeHandling recordNamed(const char* name) const
    {
        DeviceTypeHandling h = *this;
        h.recordName = name;
        return h;
    }
    constexpr DeviceTypeHandling notOpenedOverUsb() const
    {
        DeviceTypeHandling h = *this;
        h.openedOverUsb = false;
        return h;
    }
    constexpr DeviceTypeHandling withItemRow(ItemStatusSignal status, bool shownOnArrival = false) const
    {
        DeviceTypeHandling h = *this;
        h.itemStatus = status;
        h.itemShownOnArrival = shownOnArrival;
        return h;
    }
    constexpr DeviceTypeHandling listingMotherboards() const
    {
        DeviceTypeHandling h = *this;
        h.listsMotherboards = true;
        return h;
    }
    constexpr DeviceTypeHandling reconnectingBy(nsFirmware::ReconnectRoute route) const
    {
        DeviceTypeHandling h = *this;
        h.reconnectRoute = route;
        return h;
    }

    // Every row, one per type that handles anything.
    static RowRange<DeviceTypeHandling> rows();
    // The row of the type; for a type without one, a row that does nothing.
    static const DeviceTypeHandling& of(int deviceType);
};
