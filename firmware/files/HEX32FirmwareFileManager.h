#pragma once

#include "firmware/files/FirmwareFileManager.h"

// HEX files with 32-bit addresses of a processor that runs from the
// 0x9D000000 address window.
class HEX32FirmwareFileManager : public FirmwareFileManager
{
    Q_OBJECT

public:
    static constexpr quint32 WindowStart = 0x9D000000;
    static constexpr quint32 WindowLimit = 0x9FC00000;

    explicit HEX32FirmwareFileManager(QObject* parent = nullptr);

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
