#include "CommunicatorFactory.h"

CommunicatorFactory::~CommunicatorFactory() = default;

QSharedPointer<AbstractCommunicator> CommunicatorFactory::createUSBCommunicator()
{
    return {};
}

QSharedPointer<AbstractCommunicator> CommunicatorFactory::createEthernetCommunicator()
{
    return {};
}

QSharedPointer<AbstractCommunicator> CommunicatorFactory::createTISCameraCommunicator()
{
    return {};
}

QSharedPointer<AbstractCommunicator> CommunicatorFactory::createSerialCommunicator()
{
    return {};
}
