#include "firmware/files/HEXFirmwareFileManager.h"

#include "firmware/files/FirmwareImageBuffer.h"

namespace {
uchar HexImage[FirmwareFileManager::ImageSize + FirmwareFileManager::ImagePadding];

// Blank program memory of these processors reads FF FF FF 00 per word pair.
uchar blankByte(qint64 index)
{
    return (index % 4 == 3) ? 0x00 : 0xFF;
}

FirmwareImageBuffer Buffer(HexImage, sizeof(HexImage), blankByte);
} // namespace

HEXFirmwareFileManager::HEXFirmwareFileManager(QObject* parent)
    : FirmwareFileManager(parent)
{
}

quint16 HEXFirmwareFileManager::readNextRecord(uchar* out, int bound)
{
    return readRecord(out, bound, false);
}

FirmwareImageInformation HEXFirmwareFileManager::getImageInformation()
{
    return buildImageInformation();
}

quint32 HEXFirmwareFileManager::countSectors()
{
    return 0;
}

void HEXFirmwareFileManager::clearImage()
{
    Buffer.blank();
}

FirmwareFileManager::Placement HEXFirmwareFileManager::placeData(quint32 address) const
{
    return { address < AddressLimit, address, qint64(address) };
}

uchar* HEXFirmwareFileManager::image() const
{
    return HexImage;
}

void HEXFirmwareFileManager::imageWritten(qint64 offset, int count)
{
    Buffer.written(offset, count);
}

FirmwareImageInformation HEXFirmwareFileManager::summarise(quint32 lowest, quint32 end) const
{
    const quint32 start = lowest & ~quint32(3);
    const quint32 length = end + (end % 4) - start;
    FirmwareImageInformation info;
    info.startAddress = start / 2;
    info.length = length;
    info.crc = calculateCRC(reinterpret_cast<const char*>(HexImage) + start, int(length));
    return info;
}
