#include "device/usb/USBCommunicator.h"

#include "device/usb/USBGrabber.h"

USBCommunicator::USBCommunicator(QObject* parent)
    : USBCommunicator(LibUSBApi::system(), parent)
{
}

USBCommunicator::USBCommunicator(QSharedPointer<LibUSBApi> api, QObject* parent)
    : AbstractCommunicator(parent)
    , m_api(api)
{
}

USBCommunicator::~USBCommunicator()
{
    // Handlers close their devices as they go; nobody listens any more.
    for (auto& entry : m_handlers)
        entry.second->disconnect(this);
    m_handlers.clear();
}

QSharedPointer<USBDeviceHandler> USBCommunicator::handler(const QSharedPointer<MovraDeviceInfo>& deviceInfo) const
{
    const auto it = m_handlers.constFind(deviceInfo.data());
    return it == m_handlers.constEnd() ? QSharedPointer<USBDeviceHandler>() : it->second;
}

void USBCommunicator::onCommunicationThreadStarted()
{
    startGrabber(QSharedPointer<USBGrabber>::create(m_api));
}

void USBCommunicator::onCommunicationThreadStopped()
{
    stopGrabber();
}

void USBCommunicator::onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (!deviceInfo)
        return;
    auto handler = QSharedPointer<USBDeviceHandler>::create(deviceInfo, m_api);
    USBDeviceHandler* h = handler.data();
    connect(h, &USBDeviceHandler::sendConnectionChanged, this, &USBCommunicator::onConnectionChanged,
            Qt::QueuedConnection);
    connect(h, &USBDeviceHandler::sendNewDataReceivedToController, this, &USBCommunicator::onDataReceived,
            Qt::QueuedConnection);
    connect(h, &USBDeviceHandler::sendNewCommandConfirmationReceivedToController, this,
            &USBCommunicator::onCommandConfirmationReceived, Qt::QueuedConnection);
    connect(h, &USBDeviceHandler::sendNewUSB3CommandConfirmationReceivedToController, this,
            &USBCommunicator::onUSB3CommandConfirmationReceived, Qt::QueuedConnection);
    connect(h, &USBDeviceHandler::sendNewControlCommandConfirmationReceivedToController, this,
            &USBCommunicator::onControlCommandConfirmationReceived, Qt::QueuedConnection);
    m_handlers.insert(deviceInfo.data(), qMakePair(deviceInfo, handler));
    emit sendDeviceInserted(deviceInfo);
}

void USBCommunicator::onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    const auto it = m_handlers.find(deviceInfo.data());
    if (it == m_handlers.end())
        return;
    QSharedPointer<USBDeviceHandler> handler = it->second;
    m_handlers.erase(it);
    handler->disconnect(this);
    emit sendDeviceRemoved(deviceInfo);
    handler.reset();
}

void USBCommunicator::onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> device)
{
    if (auto h = handler(device))
        h->open();
}

void USBCommunicator::onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> device)
{
    if (auto h = handler(device))
        h->close();
}

void USBCommunicator::onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd)
{
    if (auto h = handler(deviceInfo))
        h->sendCommandToDevice(cmd);
}

void USBCommunicator::onSendControlTransferToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd)
{
    if (auto h = handler(deviceInfo))
        h->sendControlTransferToDevice(cmd);
}

void USBCommunicator::onSendCtrlCmdToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd)
{
    if (auto h = handler(deviceInfo))
        h->sendCtrlCmdToDevice(cmd);
}

void USBCommunicator::onConnectionChanged(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isOpened)
{
    if (m_handlers.contains(deviceInfo.data()))
        emit sendConnectionChanged(deviceInfo, isOpened);
}

void USBCommunicator::onDataReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray message)
{
    if (m_handlers.contains(deviceInfo.data()))
        emit sendDataReceivedFromDevice(deviceInfo, message);
}

void USBCommunicator::onCommandConfirmationReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray message)
{
    if (m_handlers.contains(deviceInfo.data()))
        emit sendCommandReceivedFromDevice(deviceInfo, message);
}

void USBCommunicator::onUSB3CommandConfirmationReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray message,
                                                        int length)
{
    if (m_handlers.contains(deviceInfo.data()))
        emit sendCommandUSB3ReceivedFromDevice(deviceInfo, message, length);
}

void USBCommunicator::onControlCommandConfirmationReceived(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                           QByteArray message, int length)
{
    if (m_handlers.contains(deviceInfo.data()))
        emit sendControlCommandReceivedFromDevice(deviceInfo, message, length);
}
