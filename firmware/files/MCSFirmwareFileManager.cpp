#include "firmware/files/MCSFirmwareFileManager.h"

#include "firmware/files/FirmwareImageBuffer.h"

namespace {
uchar McsImage[FirmwareFileManager::ImageSize + FirmwareFileManager::ImagePadding];

uchar blankByte(qint64)
{
    return 0xFF;
}

FirmwareImageBuffer Buffer(McsImage, sizeof(McsImage), blankByte);
} // namespace

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
    Buffer.blank();
}

FirmwareFileManager::Placement MCSFirmwareFileManager::placeData(quint32 address) const
{
    return { true, address, qint64(address) };
}

uchar* MCSFirmwareFileManager::image() const
{
    return McsImage;
}

void MCSFirmwareFileManager::imageWritten(qint64 offset, int count)
{
    Buffer.written(offset, count);
}

FirmwareImageInformation MCSFirmwareFileManager::summarise(quint32 lowest, quint32 end) const
{
    FirmwareImageInformation info;
    info.startAddress = lowest;
    info.length = end - lowest;
    info.crc = calculateCRC(reinterpret_cast<const char*>(McsImage) + lowest, int(info.length));
    return info;
}
