#include "device/ethernet/EthernetCommunicator.h"

#include "device/ethernet/EthernetAddresses.h"
#include "device/ethernet/EthernetGrabber.h"

#include <QHostAddress>
#include <QThread>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

EthernetCommunicator::EthernetCommunicator(QObject* parent)
    : AbstractCommunicator(parent)
{
}

EthernetCommunicator::~EthernetCommunicator()
{
    m_devices.clear();
    m_socket.reset();
}

void EthernetCommunicator::onCommunicationThreadStarted()
{
    m_socket.reset();
    startGrabber(QSharedPointer<EthernetGrabber>::create());
}

void EthernetCommunicator::onCommunicationThreadStopped()
{
    stopGrabber();
    closeSocket();
}

void EthernetCommunicator::onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    openSocket();
    if (!deviceInfo)
        return;
    m_devices.insert(deviceInfo, deviceInfo->serialNumber());
    emit sendDeviceInserted(deviceInfo);
}

void EthernetCommunicator::onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    closeSocket();
    if (m_devices.remove(deviceInfo) > 0)
        emit sendDeviceRemoved(deviceInfo);
}

void EthernetCommunicator::onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> device)
{
    if (m_devices.contains(device))
        emit sendConnectionChanged(device, true);
}

void EthernetCommunicator::onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> device)
{
    if (m_devices.contains(device) && device->status() != DeviceStatus::AvailableUSB)
        emit sendConnectionChanged(device, false);
}

void EthernetCommunicator::onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd)
{
    Q_UNUSED(deviceInfo)
    // Successive datagrams leave at least this far apart.
    QThread::msleep(SendPauseMs);
    if (!m_socket)
        return;
    if (m_socket->writeDatagram(cmd, QHostAddress(EthernetAddresses::DeviceAddress), EthernetAddresses::Port) != -1)
        m_socket->flush();
}

void EthernetCommunicator::openSocket()
{
    // Replacing the pointer destroys the previous socket.
    m_socket = QSharedPointer<QUdpSocket>::create();
    m_socket->bind(QHostAddress(EthernetAddresses::HostAddress), EthernetAddresses::Port);
    // The largest receive buffer the system grants; what it grants is its
    // own affair.
    const int size = -1;
    ::setsockopt(int(m_socket->socketDescriptor()), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size),
                 sizeof(size));
    connect(m_socket.data(), &QUdpSocket::readyRead, this, &EthernetCommunicator::processPendingDatagrams);
}

void EthernetCommunicator::closeSocket()
{
    if (!m_socket)
        return;
    m_socket->flush();
    m_socket->waitForBytesWritten(CloseFlushWaitMs);
    m_socket->close();
    m_socket.reset();
    QThread::msleep(ClosePauseMs);
}

void EthernetCommunicator::processPendingDatagrams()
{
    while (m_socket && m_socket->hasPendingDatagrams()) {
        const qint64 size = m_socket->pendingDatagramSize();
        QByteArray datagram(int(qMax<qint64>(size, 0)), '\0');
        m_socket->readDatagram(datagram.data(), datagram.size());
        emit sendDatagramReceivedFromDevice(datagram, qulonglong(qMax<qint64>(size, 0)));
    }
}
