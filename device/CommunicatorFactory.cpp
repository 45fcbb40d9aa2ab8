#include "device/CommunicatorFactory.h"

#include "device/camera/TISCameraCommunicator.h"
#include "device/ethernet/EthernetCommunicator.h"
#include "device/serial/SerialCommunicator.h"
#include "device/usb/USBCommunicator.h"

CommunicatorFactory::~CommunicatorFactory() = default;

QSharedPointer<AbstractCommunicator> CommunicatorFactory::createUSBCommunicator()
{
    return QSharedPointer<USBCommunicator>::create();
}

QSharedPointer<AbstractCommunicator> CommunicatorFactory::createEthernetCommunicator()
{
    return QSharedPointer<EthernetCommunicator>::create();
}

QSharedPointer<AbstractCommunicator> CommunicatorFactory::createTISCameraCommunicator()
{
    return QSharedPointer<TISCameraCommunicator>::create();
}

QSharedPointer<AbstractCommunicator> CommunicatorFactory::createSerialCommunicator()
{
    return QSharedPointer<SerialCommunicator>::create();
}
