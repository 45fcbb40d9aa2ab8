#include "firmware/motherboard/MotherboardFamilyCommunicator.h"

#include "firmware/files/HEXFirmwareFileManager.h"
#include "firmware/motherboard/MotherboardFamily.h"

using namespace MotherboardFamily;

MotherboardFamilyCommunicator::MotherboardFamilyCommunicator(const QList<CommandRow>& commands, QObject* parent)
    : AbstractFirmwareCommunicator(parent)
    , m_commands(commands)
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

bool MotherboardFamilyCommunicator::startUpdateThroughReset(const QString& fileName,
                                                            const QSharedPointer<MovraDeviceInfo>& device,
                                                            const QString& bootloaderVersion, bool notAvailableIsBlank)
{
    if (!device || !takeFirmwareFile(QSharedPointer<HEXFirmwareFileManager>::create(), fileName, FixedFrameReadBound))
        return false;
    m_updateDevice = device;
    m_updating = 1;
    sendApplicationCommand(PrepareUpdate, device);
    resetIntoBootloader(isBlankBootloader(bootloaderVersion, notAvailableIsBlank) ? ResetFromBlankBootloader
                                                                                  : ResetToBootloader,
                        device);
    return true;
}
