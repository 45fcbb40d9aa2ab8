#include "device/usb/UsbIds.h"
#include "firmware/core/AbstractFirmwareCommunicator.h"
#include "firmware/core/ProgressMessages.h"

// The first test that holds decides. Product ids come before release
// numbers, release numbers before names, and the bootloader tests before
// the later name tests, so a device in its bootloader is classified by its
// channel firmware text whatever else its name says.
nsUpdater::DeviceIdentifier AbstractFirmwareCommunicator::getDeviceIdentifier(QSharedPointer<MovraDeviceInfo> device)
{
    using namespace nsUpdater;
    using namespace nsUsbIds;
    if (!device)
        return Camera;

    const quint16 pid = device->pid();
    const quint16 vid = device->vid();
    const quint16 release = device->releaseNumber();
    const QString name = device->name();
    const QByteArray channel = device->channelFirmware();
    const QByteArray motherboard = device->motherboardFirmware();
    const bool bootloader = name.contains(ProgressMessages::Bootloader, Qt::CaseSensitive);
    auto nameHas = [&name](const char* text) { return name.contains(QLatin1String(text), Qt::CaseSensitive); };

    if (release == 3 && nameHas("HKTR"))
        return HKTR;
    if ((pid == USB3DriverProductId || pid == FX3BootProgrammerProductId) && vid == CypressVendorId)
        return USB3Driver;
    if (pid == SarvantiProductId || pid == SarvantiSecondProductId)
        return Sarvanti;
    if (pid == SarvantiGen2ProductId || pid == SarvantiGen2SecondProductId)
        return SarvantiGen2;
    if (pid == YLQSAGen2ProductId)
        return YLQSAGen2;
    if (release == 3 && nameHas("NXLT"))
        return NXLT;
    if (release == 4)
        return Motherboard;
    if (release == 11 || release == 12 || release == 13)
        return KAVOR;
    if (release == 5)
        return Motherboard;
    if (release == 6)
        return AssistedRotaryJoint;
    if (pid == TV720ProductId && release == 9)
        return TV720;
    if (release == 8)
        return GQZ3;
    if (release == 10)
        return GQZ3KAVOR;
    if (bootloader) {
        if (channel.contains("Microscope USB3"))
            return GQZ3;
        if (channel.contains("Microscope2"))
            return GQZ2;
        if (channel.contains("Microscope Dual"))
            return GQZ2;
        if (channel.contains("Microscope"))
            return Channels;
        if (channel == "Console Channel")
            return Channels;
        if (channel == "Console Channel V2")
            return Channels;
        if (channel.contains("AcquisitionConsole"))
            return Channels;
        return Bootloader;
    }
    if (nameHas("HKTR"))
        return HKTR;
    if (pid == KZR410ProductId)
        return KZR410;
    if (pid == KOTWGen3ProductId)
        return KOTWGen3;
    if (nameHas("NXLT"))
        return NXLT;
    if (nameHas("Acquisition Console"))
        return Motherboard;
    if (nameHas("Optogenetics System") && motherboard.contains("DriverM"))
        return Motherboard;
    if (nameHas("LightSource Driver"))
        return Motherboard;
    if (nameHas("HLX_58"))
        return AssistedRotaryJoint;
    if (nameHas("Hybrid LED Driver"))
        return LightSource;
    if (release == 7)
        return EEPROMMemoryManager;
    if (device->driverType() == DriverType::MicroscopeDualDriver)
        return GQZ2;
    if (device->commType() == CommType::Ethernet)
        return GQZ;
    if (device->driverType() == DriverType::IMUDriver)
        return IMU;
    if (device->driverType() == DriverType::ZuvoBaseStation)
        return ZuvoBasestation;
    return Camera;
}
