#pragma once

#include "device/AbstractGrabber.h"
#include "device/MovraDeviceInfo.h"
#include "platform/InterfaceChangeWatch.h"

#include <QMap>
#include <QSharedPointer>
#include <QString>

// Reports an Ethernet device while a running interface of this computer has
// the host address as its first IPv4 address; it never talks to the
// instrument.
class EthernetGrabber : public AbstractGrabber
{
    Q_OBJECT

public:
    static const QString DeviceName;

    explicit EthernetGrabber(QObject* parent = nullptr);
    ~EthernetGrabber() override;

public slots:
    void refreshAvailableDevices() override;

private:
    QSharedPointer<MovraDeviceInfo> createDeviceInfo(const QString& address) const;

    QMap<QSharedPointer<MovraDeviceInfo>, QString> m_knownDevices;
    InterfaceChangeWatch m_interfaceChanges;
};
