#include "tests/support/ObservedUpdater.h"

SilentCommunicator::SilentCommunicator(QObject* parent)
    : AbstractFirmwareCommunicator(parent)
{
}

bool SilentCommunicator::updateFirmware(QString, QSharedPointer<MovraDeviceInfo>, nsFirmware::DeviceVersions)
{
    return false;
}

bool SilentCommunicator::sendBootloaderCommand(char, QSharedPointer<MovraDeviceInfo>)
{
    return false;
}

void SilentCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo>)
{
}

void SilentCommunicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo>, QByteArray)
{
}

AbstractFirmwareCommunicator*
ObservedUpdater::createVersionQueryCommunicator(int deviceType, const QSharedPointer<MovraDeviceInfo>& device)
{
    if (silentTV720 && deviceType == nsUpdater::DeviceIdentifier::TV720)
        return new SilentCommunicator();
    return FirmwareUpdater::createVersionQueryCommunicator(deviceType, device);
}

AbstractFirmwareCommunicator* ObservedUpdater::createUpdateCommunicator(int deviceType,
                                                                        const QSharedPointer<MovraDeviceInfo>& device,
                                                                        bool motherboardPhase)
{
    AbstractFirmwareCommunicator* made =
        FirmwareUpdater::createUpdateCommunicator(deviceType, device, motherboardPhase);
    if (made && retryIntervalMs > 0)
        made->setRetryTiming(retryIntervalMs, AbstractFirmwareCommunicator::MaxRetries);
    updateTypes.append(deviceType);
    updateCommunicators.append(made ? QString::fromLatin1(made->metaObject()->className()) : QStringLiteral("none"));
    madeForUpdates.append(made);
    return made;
}
