#include "app/updater/FirmwareFilePatterns.h"

const QString HLX58Gen2FirmwarePattern = QStringLiteral("Movra-HLX58_Gen2_Firmware_V*.hex");
const QString HLX58FirmwarePattern = QStringLiteral("Movra-HLX58_Firmware_V*.hex");
const QString KZR410FirmwarePattern = QStringLiteral("Movra-KZR410_Firmware_V*.hex");
const QString KOTWGen3FirmwarePattern = QStringLiteral("Movra-KOTW_Gen3_Firmware_V*.hex");
const QString HybridChannelFirmwarePattern = QStringLiteral("DriverHybridChannel*.hex");
const QString LightSourceDefaultFirmwarePattern = QStringLiteral("Movra-LS_Default_Firmware_V*.hex");
const QString KAVOROneChannelFirmwarePattern = QStringLiteral("Movra-KAVOR_1Ch_Firmware_V*.hex");
const QString KAVOROnlyFirmwarePattern = QStringLiteral("Movra-KAVOR_Only_Firmware_V*.hex");
const QString HybridMotherboardFirmwarePattern = QStringLiteral("DriverHybridMotherboard*.hex");
const QString KJWFirmwarePattern = QStringLiteral("Movra-KJW_Firmware_V*.hex");
const QString PQWFirmwarePattern = QStringLiteral("Movra-PQW_Firmware_V*.hex");
const QString PQWKAVOROneChannelFirmwarePattern = QStringLiteral("Movra-PQW_KAVOR_1Ch_Firmware_V*.hex");
const QString PQWKAVOROnlyFirmwarePattern = QStringLiteral("Movra-PQW_KAVOR_Only_Firmware_V*.hex");
const QString SarvantiDiskDriverFirmwarePattern = QStringLiteral("Movra-Sarvanti_Disk_Driver_Firmware_V*.hex");
const QString SarvantiDriverFirmwarePattern = QStringLiteral("Movra-Sarvanti_Driver_Firmware_V*.hex");
const QString SarvantiGen2DiskDriverFirmwarePattern = QStringLiteral("Movra-Sarvanti_Gen2_Disk_Driver_Firmware_V*.hex");
const QString SarvantiGen2DriverFirmwarePattern = QStringLiteral("Movra-Sarvanti_Gen2_Driver_Firmware_V*.hex");
const QString FX3ImagePattern = QStringLiteral("*img");
const QString QWMFirmwarePattern = QStringLiteral("QWM*.mcs");
const QString TRZFirmwarePattern = QStringLiteral("TRZ*.mcs");
const QString MicroscopeDriverFirmwarePattern = QStringLiteral("MovraMicroscopeDriver*.mcs");
