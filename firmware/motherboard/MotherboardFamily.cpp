#include "firmware/motherboard/MotherboardFamily.h"

#include "firmware/core/AbstractFirmwareCommunicator.h"
#include "firmware/core/BootInfoReply.h"
#include "firmware/core/ProgressMessages.h"

namespace MotherboardFamily {

QString threePartVersion(const QByteArray& reply, int first)
{
    if (first < 0 || reply.size() < first + 3)
        return {};
    return AbstractFirmwareCommunicator::versionText(reply.at(first), reply.at(first + 1), reply.at(first + 2));
}

nsUpdater::DeviceIdentifier channelDeviceType(const QString& name, quint16 release, qint8 c1, qint8 c2)
{
    using namespace nsUpdater;
    if (name.contains(QLatin1String("KAVOR Driver")))
        return KAVOR;
    if (release == 7)
        return EEPROMMemoryManager;
    if (c1 == 4 || c1 == 5)
        return LightSource;
    if (c1 != 2)
        return Motherboard;
    if (c2 == 0 || c2 == 1)
        return FiberPhotometryConsole;
    if (c2 >= 2 && c2 <= 4)
        return ElectrophysiologyConsole;
    return Motherboard;
}

bool channelDeviceType(const QSharedPointer<MovraDeviceInfo>& device, const QByteArray& reply,
                       nsUpdater::DeviceIdentifier* type)
{
    if (!device || reply.size() < 4)
        return false;
    *type = channelDeviceType(device->name(), device->releaseNumber(), qint8(reply.at(2)), qint8(reply.at(3)));
    return true;
}

bool isBlankBootloader(const QString& bootloaderVersion, bool notAvailableIsBlank)
{
    if (bootloaderVersion.contains(ProgressMessages::BlankVersion))
        return true;
    return notAvailableIsBlank
           && (bootloaderVersion.contains(ProgressMessages::NotAvailable)
               || bootloaderVersion.contains(ProgressMessages::translated(ProgressMessages::NotAvailable)));
}

QString textAfterFirstV(const QByteArray& text)
{
    return textAfterPositionOfFirstV(text, text);
}

QString textAfterPositionOfFirstV(const QByteArray& text, const QByteArray& positionFrom)
{
    const qsizetype v = positionFrom.indexOf('V');
    return QString::fromLatin1(v < 0 ? text : text.mid(v + 1));
}

bool hasDriverM(const QSharedPointer<MovraDeviceInfo>& device)
{
    return device && device->motherboardFirmware().contains("DriverM");
}

QString bootloaderVersion(const QSharedPointer<MovraDeviceInfo>& device, const QByteArray& reply)
{
    const int first = BootInfoReply::prefixedVersionIndex(device);
    return AbstractFirmwareCommunicator::versionText(reply, first, first + 1);
}

} // namespace MotherboardFamily
