#include "device/ethernet/EthernetGrabber.h"

#include "device/ethernet/EthernetAddresses.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>
#include <QStringList>

const QString EthernetGrabber::DeviceName = QStringLiteral("Microscope Driver");

EthernetGrabber::EthernetGrabber(QObject* parent)
    : AbstractGrabber(parent)
{
}

EthernetGrabber::~EthernetGrabber()
{
    m_knownDevices.clear();
}

QSharedPointer<MovraDeviceInfo> EthernetGrabber::createDeviceInfo(const QString& address) const
{
    auto info = QSharedPointer<MovraDeviceInfo>::create();
    info->setCommType(CommType::Ethernet);
    info->setStatus(DeviceStatus::Available);
    info->setCompatibility(DeviceCompatibility::Full);
    info->setName(DeviceName);
    info->setSerialNumber(address);
    return info;
}

void EthernetGrabber::refreshAvailableDevices()
{
    // A pass over unchanged interfaces finds what the last one found and
    // reports nothing.
    if (!m_interfaceChanges.changedSinceLastLook())
        return;
    QStringList found;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& networkInterface : interfaces) {
        if (!networkInterface.flags().testFlag(QNetworkInterface::IsUp))
            continue;
        const auto entries = networkInterface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            // Only the first IPv4 entry of an interface counts.
            const QString text = entry.ip().toString();
            if (text.contains(EthernetAddresses::HostAddress)) {
                found.append(text);
                if (m_knownDevices.key(text).isNull()) {
                    const auto info = createDeviceInfo(text);
                    m_knownDevices.insert(info, text);
                    emit sendDeviceInserted(info);
                }
            }
            break;
        }
    }

    if (found.size() >= m_knownDevices.size())
        return;
    const QStringList known = m_knownDevices.values();
    for (const QString& text : known) {
        if (found.contains(text))
            continue;
        const QSharedPointer<MovraDeviceInfo> gone = m_knownDevices.key(text);
        if (gone.isNull())
            continue;
        m_knownDevices.remove(gone);
        emit sendDeviceRemoved(gone);
    }
}
