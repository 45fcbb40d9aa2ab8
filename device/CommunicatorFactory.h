#pragma once

#include "device/AbstractCommunicator.h"

#include <QSharedPointer>

// Makes the four transports of the hardware server. Tests give the server
// their own factory to put simulated transports in place of the real ones.
// A null communicator means that transport is not there.
class CommunicatorFactory
{
public:
    virtual ~CommunicatorFactory();

    virtual QSharedPointer<AbstractCommunicator> createUSBCommunicator();
    virtual QSharedPointer<AbstractCommunicator> createEthernetCommunicator();
    virtual QSharedPointer<AbstractCommunicator> createTISCameraCommunicator();
    virtual QSharedPointer<AbstractCommunicator> createSerialCommunicator();
};
