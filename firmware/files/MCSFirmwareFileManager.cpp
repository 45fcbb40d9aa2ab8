#include "firmware/files/MCSFirmwareFileManager.h"

#include <cstring>

namespace {
uchar McsImage[FirmwareFileManager::ImageSize + FirmwareFileManager::ImagePadding];
}

MCSFirmwareFileManager::MCSFirmwareFileManager(QObject* parent)
    : FirmwareFileManager(parent)
{
}

quint16 MCSFirmwareFileManager::readNextRecord(uchar* out, int bound)
{
    return readRecord(out, bound, true);
}

FirmwareImageInformation MCSFirmwareFileManager::getImageInformation()
{
    return buildImageInformation();
}

quint32 MCSFirmwareFileManager::countSectors()
{
    return countExtendedLinearRecords();
}

void MCSFirmwareFileManager::clearImage()
{
    std::memset(McsImage, 0xFF, sizeof(McsImage));
}

FirmwareFileManager::Placement MCSFirmwareFileManager::placeData(quint32 address) const
{
    return { true, address, qint64(address) };
}

uchar* MCSFirmwareFileManager::image() const
{
    return McsImage;
}

FirmwareImageInformation MCSFirmwareFileManager::summarise(quint32 lowest, quint32 end) const
{
    FirmwareImageInformation info;
    info.startAddress = lowest;
    info.length = end - lowest;
    info.crc = calculateCRC(reinterpret_cast<const char*>(McsImage) + lowest, int(info.length));
    return info;
}
