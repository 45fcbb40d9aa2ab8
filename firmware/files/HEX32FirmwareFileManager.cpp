#include "firmware/files/HEX32FirmwareFileManager.h"

#include "firmware/files/FirmwareImageBuffer.h"

namespace {
uchar Hex32Image[FirmwareFileManager::ImageSize + FirmwareFileManager::ImagePadding];

uchar blankByte(qint64)
{
    return 0xFF;
}

FirmwareImageBuffer Buffer(Hex32Image, sizeof(Hex32Image), blankByte);
} // namespace

HEX32FirmwareFileManager::HEX32FirmwareFileManager(QObject* parent)
    : FirmwareFileManager(parent)
{
}

quint16 HEX32FirmwareFileManager::readNextRecord(uchar* out, int bound)
{
    return readRecord(out, bound, false);
}

FirmwareImageInformation HEX32FirmwareFileManager::getImageInformation()
{
    return buildImageInformation();
}

quint32 HEX32FirmwareFileManager::countSectors()
{
    return 0;
}

void HEX32FirmwareFileManager::clearImage()
{
    Buffer.blank();
}

FirmwareFileManager::Placement HEX32FirmwareFileManager::placeData(quint32 address) const
{
    // The file gives physical addresses; the device counts them in its
    // cached window.
    const quint32 virtualAddress = address | 0x80000000u;
    return { virtualAddress < WindowLimit, virtualAddress, qint64(virtualAddress) - qint64(WindowStart) };
}

uchar* HEX32FirmwareFileManager::image() const
{
    return Hex32Image;
}

void HEX32FirmwareFileManager::imageWritten(qint64 offset, int count)
{
    Buffer.written(offset, count);
}

FirmwareImageInformation HEX32FirmwareFileManager::summarise(quint32 lowest, quint32 end) const
{
    // The device rounds the same way, so both sides cover the same bytes.
    const quint32 start = lowest & ~quint32(3);
    const quint32 length = end + (end % 4) - start;
    FirmwareImageInformation info;
    info.startAddress = start;
    info.length = length;
    info.crc = calculateCRC(reinterpret_cast<const char*>(Hex32Image) + (start - WindowStart), int(length));
    return info;
}
