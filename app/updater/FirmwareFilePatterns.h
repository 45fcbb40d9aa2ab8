#pragma once

#include <QString>

// File-name filters of the file dialogs of a manual firmware update: "*"
// stands for any run of characters (usually the version number).

extern const QString HLX58Gen2FirmwarePattern;
extern const QString HLX58FirmwarePattern;
extern const QString KZR410FirmwarePattern;
extern const QString KOTWGen3FirmwarePattern;
extern const QString HybridChannelFirmwarePattern;
extern const QString LightSourceDefaultFirmwarePattern;
extern const QString KAVOROneChannelFirmwarePattern;
extern const QString KAVOROnlyFirmwarePattern;
extern const QString HybridMotherboardFirmwarePattern;
extern const QString KJWFirmwarePattern;
extern const QString PQWFirmwarePattern;
extern const QString PQWKAVOROneChannelFirmwarePattern;
extern const QString PQWKAVOROnlyFirmwarePattern;
extern const QString SarvantiDiskDriverFirmwarePattern;
extern const QString SarvantiDriverFirmwarePattern;
extern const QString SarvantiGen2DiskDriverFirmwarePattern;
extern const QString SarvantiGen2DriverFirmwarePattern;
// No dot before "img": FX3 images come with and without one.
extern const QString FX3ImagePattern;
extern const QString QWMFirmwarePattern;
extern const QString TRZFirmwarePattern;
extern const QString MicroscopeDriverFirmwarePattern;
