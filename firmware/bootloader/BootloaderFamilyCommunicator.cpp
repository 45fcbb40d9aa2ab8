#include "firmware/bootloader/BootloaderFamilyCommunicator.h"

#include "firmware/files/HEX32FirmwareFileManager.h"
#include "firmware/files/HEXFirmwareFileManager.h"

BootloaderFamilyCommunicator::BootloaderFamilyCommunicator(ImageFile imageFile, const QList<char>& resetCommands,
                                                           QObject* parent)
    : AbstractFirmwareCommunicator(parent)
    , m_imageFile(imageFile)
    , m_resetCommands(resetCommands)
{
}

bool BootloaderFamilyCommunicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                                  nsFirmware::DeviceVersions)
{
    QSharedPointer<FirmwareFileManager> reader;
    if (m_imageFile == ImageFile::Hex32)
        reader = QSharedPointer<HEX32FirmwareFileManager>::create();
    else
        reader = QSharedPointer<HEXFirmwareFileManager>::create();
    return beginUpdateThroughReset(device, reader, fileName, m_resetCommands);
}
