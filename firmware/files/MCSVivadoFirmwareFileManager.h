#pragma once

#include "firmware/files/MCSFirmwareFileManager.h"

// MCS files whose records are handed out at their own length.
class MCSVivadoFirmwareFileManager : public MCSFirmwareFileManager
{
    Q_OBJECT

public:
    explicit MCSVivadoFirmwareFileManager(QObject* parent = nullptr);

    quint16 readNextRecord(uchar* out, int bound) override;
};
