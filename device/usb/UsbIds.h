#pragma once

#include <QtGlobal>

// The vendor and product ids of the maker's USB devices, named once. The
// grabber's accepted-device table, the classification and the families that
// tell one device from another by its ids all read them from here.
namespace nsUsbIds {

// Vendors
constexpr quint16 MicrochipVendorId = 0x04D8;
constexpr quint16 CypressVendorId = 0x04B4;
constexpr quint16 CypressSecondVendorId = 0x0EB9; // USB 3 boards under the maker's own vendor id

// Microchip-based instruments and their bootloaders
constexpr quint16 KZR410ProductId = 0xF222;
constexpr quint16 PIC32BootloaderProductId = 0xF333;
constexpr quint16 SarvantiProductId = 0xF347;
constexpr quint16 SarvantiGen2ProductId = 0xF348;
constexpr quint16 YLQSAGen2ProductId = 0xF410;
constexpr quint16 SarvantiSecondProductId = 0xF568;
constexpr quint16 HLX58ProductId = 0xF57E;
constexpr quint16 RotaryJointBootloaderProductId =
    0xF676; // the first product id of the assisted rotary joint's bootloader
constexpr quint16 RotaryJointSecondBootloaderProductId = 0xF677;
constexpr quint16 KOTWGen3ProductId = 0xF724;
constexpr quint16 SarvantiGen2SecondProductId = 0xF810;

// Cypress USB 3 boards
constexpr quint16 GQZ3ProductId = 0x00F1;
constexpr quint16 TV720ProductId = 0x00F2;
constexpr quint16 USB3DriverProductId = 0x00F3; // the FX3 chip in boot mode
constexpr quint16 USB3SecondProductId = 0x00F4;
constexpr quint16 FX3BootProgrammerProductId = 0x4720; // the boot programmer already runs

// Serial instruments behind a USB adapter: the product ids with which the
// updater finds one again after its reset
constexpr quint16 IMUBootloaderProductId = 0x521F; // the inertial module in its bootloader
constexpr quint16 ZuvoBasestationProductId = 0xB007;

// The other USB-to-serial adapters the serial grabber accepts
constexpr quint16 NordicVendorId = 0x1915; // the inertial module and the base station
constexpr quint16 IMUProductId = 0x520F;   // the inertial module in its application
constexpr quint16 PowerMeterVendorId = 0x1AD5;
constexpr quint16 PowerMeterProductId = 0x0300;
constexpr quint16 FtdiVendorId = 0x0403; // a stage chain or a pump, told apart by test commands
constexpr quint16 FtdiProductId = 0x6001;

inline bool isCypressVendor(quint16 vendorId)
{
    return vendorId == CypressVendorId || vendorId == CypressSecondVendorId;
}

} // namespace nsUsbIds
