#include "firmware/motherboard/MotherboardFamilyCommunicator.h"

#include "firmware/files/HEXFirmwareFileManager.h"
#include "firmware/motherboard/MotherboardFamily.h"

using namespace MotherboardFamily;

MotherboardFamilyCommunicator::MotherboardFamilyCommunicator(const QList<CommandRow>& commands, QObject* parent,
                                                             bool notAvailableIsBlank)
    : AbstractFirmwareCommunicator(parent)
    , m_commands(commands)
    , m_notAvailableIsBlank(notAvailableIsBlank)
{
}

void MotherboardFamilyCommunicator::sendApplicationCommand(char command, QSharedPointer<MovraDeviceInfo> device)
{
    for (const CommandRow& row : qAsConst(m_commands)) {
        if (row.code == command) {
            emit sendCommandToDevice(device, applicationCommand(command, row.extra));
            return;
        }
    }
}

bool MotherboardFamilyCommunicator::updateFirmware(QString fileName, QSharedPointer<MovraDeviceInfo> device,
                                                   nsFirmware::DeviceVersions versions)
{
    const char reset = isBlankBootloader(versions.bootloaderVersion, m_notAvailableIsBlank) ? ResetFromBlankBootloader
                                                                                            : ResetToBootloader;
    return beginUpdateThroughReset(device, QSharedPointer<HEXFirmwareFileManager>::create(), fileName,
                                   { PrepareUpdate, reset });
}
