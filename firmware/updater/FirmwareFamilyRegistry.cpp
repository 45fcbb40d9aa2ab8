#include "firmware/updater/FirmwareFamilyRegistry.h"

#include "device/usb/UsbIds.h"
#include "firmware/bootloader/BootloaderCommunicator.h"
#include "firmware/bootloader/BootloaderPIC32Communicator.h"
#include "firmware/bootloader/HLX58Communicator.h"
#include "firmware/bootloader/NXLTV2Communicator.h"
#include "firmware/channel/LightsourceChannelCommunicator.h"
#include "firmware/fpga/ConsoleChannelCommunicator.h"
#include "firmware/fpga/Microscope1ColorCommunicator.h"
#include "firmware/fpga/Microscope2ColorCommunicator.h"
#include "firmware/fx3/CypressFX3Communicator.h"
#include "firmware/microscope/MicroscopeEthernetCommunicator.h"
#include "firmware/microscope/MicroscopeUSB3ChannelCommunicator.h"
#include "firmware/microscope/MicroscopeUSB3Communicator.h"
#include "firmware/motherboard/HKTRCommunicator.h"
#include "firmware/motherboard/MotherboardCommunicator.h"
#include "firmware/programmer/BootCypressFX3Communicator.h"
#include "firmware/programmer/IMUFirmwareCommunicator.h"
#include "firmware/programmer/ZuvoBasestationCommunicator.h"

#include <QLatin1String>

#include <iterator>

namespace {

using Row = FirmwareFamilyRegistry::Row;
using Condition = FirmwareFamilyRegistry::Condition;
using Phase = FirmwareFamilyRegistry::Phase;
using namespace nsUpdater;

template <typename Communicator>
AbstractFirmwareCommunicator* make()
{
    return new Communicator();
}

constexpr Condition EveryDevice {};
constexpr FirmwareFamilyRegistry::Factory None = nullptr;

// The first row that applies decides, so within a type a row with a
// condition comes before the row that takes every other device. The camera
// (4) is not a firmware device: it has no row.
constexpr Row Table[] = {
    // firmware/bootloader
    { AssistedRotaryJoint, "bootloader", EveryDevice, make<HLX58Communicator>, make<HLX58Communicator> },
    { YLQSAGen2, "bootloader", EveryDevice, make<HLX58Communicator>, make<HLX58Communicator> },
    { KZR410, "bootloader", EveryDevice, make<NXLTV2Communicator>, make<NXLTV2Communicator> },
    { KOTWGen3, "bootloader", EveryDevice, make<NXLTV2Communicator>, make<NXLTV2Communicator> },
    { Bootloader, "bootloader", EveryDevice.withProductId(nsUsbIds::PIC32BootloaderProductId),
      make<BootloaderPIC32Communicator>, make<BootloaderPIC32Communicator> },
    { Bootloader, "bootloader", EveryDevice, make<BootloaderCommunicator>, make<BootloaderCommunicator> },
    // Types 21 and 25 are updated under the type their file name gives
    // (FirmwareUpdater::adjustUpdateType): their rows only read versions.
    { Sarvanti, "bootloader", EveryDevice.withNameContainingAny("Motor", "Disk"), make<HLX58Communicator>, None },
    { SarvantiGen2, "bootloader", EveryDevice.withNameContainingAny("Disk"), make<HLX58Communicator>, None },
    { SarvantiGen2, "bootloader", EveryDevice, make<NXLTV2Communicator>, None },
    // firmware/motherboard; a type-21 device that is neither a motor nor a
    // disk is a pulse generator.
    { NXLT, "motherboard", EveryDevice, make<HKTRCommunicator>, make<HKTRCommunicator> },
    { HKTR, "motherboard", EveryDevice, make<HKTRCommunicator>, make<HKTRCommunicator> },
    { Sarvanti, "motherboard", EveryDevice, make<HKTRCommunicator>, None },
    { EEPROMMemoryManager, "motherboard", EveryDevice, make<MotherboardCommunicator>, None },
    { Motherboard, "motherboard", EveryDevice, make<MotherboardCommunicator>, make<MotherboardCommunicator> },
    // firmware/channel: type 16's versions come from its motherboard, its
    // update goes to its channels.
    { KAVOR, "motherboard", EveryDevice, make<MotherboardCommunicator>, None },
    { KAVOR, "channel", EveryDevice, None, make<LightsourceChannelCommunicator> },
    { LightSource, "channel", EveryDevice, make<LightsourceChannelCommunicator>, make<LightsourceChannelCommunicator> },
    // firmware/fpga: the console's channel boards, and the microscopes,
    // whose versions are read here unless they are on Ethernet.
    { Channels, "fpga", EveryDevice, make<ConsoleChannelCommunicator>, make<ConsoleChannelCommunicator> },
    { Console, "fpga", EveryDevice, make<ConsoleChannelCommunicator>, make<ConsoleChannelCommunicator> },
    { ElectrophysiologyConsole, "fpga", EveryDevice, make<ConsoleChannelCommunicator>,
      make<ConsoleChannelCommunicator> },
    { FiberPhotometryConsole, "fpga", EveryDevice, make<ConsoleChannelCommunicator>, make<ConsoleChannelCommunicator> },
    { GQZ, "fpga", EveryDevice.exceptOnCommType(CommType::Ethernet), make<Microscope2ColorCommunicator>, None },
    { GQZ, "fpga", EveryDevice, None, make<Microscope1ColorCommunicator> },
    { GQZ2, "fpga", EveryDevice.exceptOnCommType(CommType::Ethernet), make<Microscope2ColorCommunicator>, None },
    { GQZ2, "fpga", EveryDevice, None, make<Microscope2ColorCommunicator> },
    // firmware/programmer: programmed by a program outside this system.
    { IMU, "programmer", EveryDevice, make<IMUFirmwareCommunicator>, make<IMUFirmwareCommunicator> },
    { USB3Driver, "programmer", EveryDevice, make<BootCypressFX3Communicator>, make<BootCypressFX3Communicator> },
    { ZuvoBasestation, "programmer", EveryDevice, make<ZuvoBasestationCommunicator>,
      make<ZuvoBasestationCommunicator> },
    // firmware/microscope: the drivers on the Ethernet link only read their
    // versions (the rows above update them); the USB 3 drivers read theirs
    // and, outside the motherboard phase, update their channel.
    { GQZ, "microscope", EveryDevice.onCommType(CommType::Ethernet), make<MicroscopeEthernetCommunicator>, None },
    { GQZ2, "microscope", EveryDevice.onCommType(CommType::Ethernet), make<MicroscopeEthernetCommunicator>, None },
    { GQZ3, "microscope", EveryDevice, make<MicroscopeUSB3Communicator>, None },
    { GQZ3, "microscope", EveryDevice.inPhase(Phase::WithoutMotherboard), None,
      make<MicroscopeUSB3ChannelCommunicator> },
    { GQZ3KAVOR, "microscope", EveryDevice, make<MicroscopeUSB3Communicator>, None },
    { GQZ3KAVOR, "microscope", EveryDevice.inPhase(Phase::WithoutMotherboard), None,
      make<MicroscopeUSB3ChannelCommunicator> },
    // firmware/fx3: the TV720, and the USB 3 drivers' own firmware in the
    // motherboard phase.
    { TV720, "fx3", EveryDevice, make<CypressFX3Communicator>, make<CypressFX3Communicator> },
    { GQZ3, "fx3", EveryDevice.inPhase(Phase::WithMotherboard), None, make<CypressFX3Communicator> },
    { GQZ3KAVOR, "fx3", EveryDevice.inPhase(Phase::WithMotherboard), None, make<CypressFX3Communicator> },
};

template <typename Applies>
const Row* firstRow(int deviceType, FirmwareFamilyRegistry::Factory Row::*factory, Applies applies)
{
    for (const Row& row : Table) {
        if (row.deviceType == deviceType && row.*factory && applies(row.condition))
            return &row;
    }
    return nullptr;
}

} // namespace

bool FirmwareFamilyRegistry::WordList::heldBy(const QString& text) const
{
    if (isEmpty())
        return true;
    for (const char* word : words) {
        if (word && text.contains(QLatin1String(word), Qt::CaseSensitive))
            return true;
    }
    return false;
}

bool FirmwareFamilyRegistry::Condition::heldBy(const MovraDeviceInfo& device) const
{
    if (productId != AnyProductId && device.pid() != productId)
        return false;
    if (!anyCommType && (device.commType() == commType) == commTypeExcluded)
        return false;
    return nameContainsAny.heldBy(device.name());
}

bool FirmwareFamilyRegistry::phaseHolds(Phase phase, bool motherboardPhase)
{
    return phase == Phase::Any || (phase == Phase::WithMotherboard) == motherboardPhase;
}

bool FirmwareFamilyRegistry::Condition::heldInPhase(bool motherboardPhase) const
{
    return phaseHolds(phase, motherboardPhase);
}

bool FirmwareFamilyRegistry::Condition::isEveryDevice() const
{
    return productId == AnyProductId && nameContainsAny.isEmpty() && anyCommType && phase == Phase::Any;
}

FirmwareFamilyRegistry::Rows FirmwareFamilyRegistry::rows()
{
    return { std::begin(Table), std::end(Table) };
}

const FirmwareFamilyRegistry::Row* FirmwareFamilyRegistry::versionQueryRow(int deviceType,
                                                                           const MovraDeviceInfo& device)
{
    return firstRow(deviceType, &Row::versionQuery,
                    [&device](const Condition& condition) { return condition.heldBy(device); });
}

const FirmwareFamilyRegistry::Row* FirmwareFamilyRegistry::updateRow(int deviceType, const MovraDeviceInfo& device,
                                                                     bool motherboardPhase)
{
    return firstRow(deviceType, &Row::update, [&device, motherboardPhase](const Condition& condition) {
        return condition.heldInPhase(motherboardPhase) && condition.heldBy(device);
    });
}

AbstractFirmwareCommunicator* FirmwareFamilyRegistry::createVersionQueryCommunicator(int deviceType,
                                                                                     const MovraDeviceInfo& device)
{
    const Row* row = versionQueryRow(deviceType, device);
    return row ? row->versionQuery() : nullptr;
}

AbstractFirmwareCommunicator*
FirmwareFamilyRegistry::createUpdateCommunicator(int deviceType, const MovraDeviceInfo& device, bool motherboardPhase)
{
    const Row* row = updateRow(deviceType, device, motherboardPhase);
    return row ? row->update() : nullptr;
}
