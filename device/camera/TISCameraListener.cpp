#include "device/camera/TISCameraListener.h"

TISCameraListener::TISCameraListener(QObject* parent)
    : QObject(parent)
{
}

void TISCameraListener::deviceListChanged(DShowLib::Grabber&, DShowLib::DeviceListChangeData)
{
    emit sendDeviceListChanged();
}
