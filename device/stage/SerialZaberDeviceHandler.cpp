#include "device/stage/SerialZaberDeviceHandler.h"

SerialZaberDeviceHandler::SerialZaberDeviceHandler(QSharedPointer<MovraDeviceInfo> deviceInfo, QObject* parent)
    : QObject(parent)
    , m_deviceInfo(deviceInfo)
{
}

bool SerialZaberDeviceHandler::openConnection()
{
    if (m_deviceInfo)
        m_deviceInfo->setStatus(DeviceStatus::Unavailable);
    return false;
}

void SerialZaberDeviceHandler::initialize()
{
}
