#pragma once

#include "firmware/files/FirmwareFileManager.h"

// HEX files of word-addressed processors: the device counts one address per
// two file bytes, and every fourth byte of a blank image is 0x00.
class HEXFirmwareFileManager : public FirmwareFileManager
{
    Q_OBJECT

public:
    static constexpr quint32 AddressLimit = 0x7FC000;

    explicit HEXFirmwareFileManager(QObject* parent = nullptr);

    quint16 readNextRecord(uchar* out, int bound) override;
    FirmwareImageInformation getImageInformation() override;
    quint32 countSectors() override;
    void clearImage() override;

protected:
    Placement placeData(quint32 address) const override;
    uchar* image() const override;
    void imageWritten(qint64 offset, int count) override;
    FirmwareImageInformation summarise(quint32 lowest, quint32 end) const override;
};
