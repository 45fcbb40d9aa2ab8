#pragma once

#include "firmware/files/FirmwareFileManager.h"

// MCS files of FPGA boards. Each record is handed out with one byte more,
// standing for its line end, which the one-colour microscope expects.
class MCSFirmwareFileManager : public FirmwareFileManager
{
    Q_OBJECT

public:
    explicit MCSFirmwareFileManager(QObject* parent = nullptr);

    quint16 readNextRecord(uchar* out, int bound) override;
    FirmwareImageInformation getImageInformation() override;
    // The last extended linear address plus one: the 64 KiB segments from
    // segment 0 to the last one.
    quint32 countSectors() override;
    void clearImage() override;

protected:
    Placement placeData(quint32 address) const override;
    uchar* image() const override;
    void imageWritten(qint64 offset, int count) override;
    FirmwareImageInformation summarise(quint32 lowest, quint32 end) const override;
};
