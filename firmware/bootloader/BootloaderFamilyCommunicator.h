#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

#include <QList>

// What the four bootloader-protocol communicators do alike beyond the base:
// the update reads a HEX file of the family's kind into fixed frames and
// starts through the bootloader, after the reset the running device takes.
class BootloaderFamilyCommunicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    bool updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                        nsFirmware::DeviceVersions versions) override;

protected:
    enum class ImageFile {
        Hex,
        // 32-bit addresses in the 0x9D000000 window.
        Hex32,
    };

    // resetCommands: the application commands that reset the device into
    // its bootloader; none for a device that is there already.
    BootloaderFamilyCommunicator(ImageFile imageFile, const QList<char>& resetCommands, QObject* parent);

private:
    ImageFile m_imageFile;
    QList<char> m_resetCommands;
};
