#include "firmware/updater/DeviceTypeHandling.h"

#include "device/usb/UsbIds.h"
#include "firmware/updater/FirmwareUpdater.h"

#include <iterator>

namespace {

using namespace nsUpdater;
using Route = nsFirmware::ReconnectRoute;

constexpr DeviceTypeHandling row(int deviceType)
{
    DeviceTypeHandling h;
    h.deviceType = deviceType;
    return h;
}

const DeviceTypeHandling Table[] = {
    row(Camera).asCamera(),
    row(Channels).withItemRow(&FirmwareUpdater::sendChannelsItemStatusToView),
    row(Console).listingMotherboards(),
    row(ElectrophysiologyConsole).listingMotherboards(),
    row(FiberPhotometryConsole).listingMotherboards(),
    row(GQZ).withUidFromSerialOnEthernet(),
    row(GQZ2).withUidFromSerialOnEthernet(),
    row(GQZ3).onWrongPortWith(nsUsbIds::GQZ3ProductId, nsUsbIds::USB3DriverProductId),
    row(GQZ3KAVOR).onWrongPortWith(nsUsbIds::GQZ3ProductId, nsUsbIds::USB3DriverProductId),
    // On a serial adapter: its bootloader comes back under the same serial number.
    row(IMU).reconnectingBy(Route::SerialBootloaderBySerialNumber),
    row(LightSource).listingMotherboards(),
    row(Motherboard).withItemRow(&FirmwareUpdater::sendMotherboardItemStatusToView),
    row(TV720).waitingForVersions(FirmwareUpdater::TV720VersionWaitMs).onWrongPortWith(nsUsbIds::TV720ProductId),
    row(USB3Driver)
        .withItemRow(&FirmwareUpdater::sendUSB3CommunicationItemStatusToView, true)
        .recordNamed("USB3 Communication")
        .notOpenedOverUsb()
        .reconnectingBy(Route::USB3Communicator),
    row(ZuvoBasestation).reconnectingBy(Route::SerialBootloaderBySerialNumber),
};

} // namespace

RowRange<DeviceTypeHandling> DeviceTypeHandling::rows()
{
    return { std::begin(Table), std::end(Table) };
}

const DeviceTypeHandling& DeviceTypeHandling::of(int deviceType)
{
    static const DeviceTypeHandling Ordinary;
    for (const DeviceTypeHandling& h : Table) {
        if (h.deviceType == deviceType)
            return h;
    }
    return Ordinary;
}
