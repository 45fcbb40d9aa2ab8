#include "firmware/files/MCSVivadoFirmwareFileManager.h"

MCSVivadoFirmwareFileManager::MCSVivadoFirmwareFileManager(QObject* parent)
    : MCSFirmwareFileManager(parent)
{
}

quint16 MCSVivadoFirmwareFileManager::readNextRecord(uchar* out, int bound)
{
    return readRecord(out, bound, false);
}
