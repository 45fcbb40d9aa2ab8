#include "device/usb/USBDeviceHandler.h"

#include "device/usb/QLibUSB3Endpoint.h"
#include "device/usb/QLibUSBEndpoint.h"
#include "device/usb/USBGrabber.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QThread>

#include <chrono>
#include <thread>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace {
// The pause after each write sets the protocol's pace. A plain sleep
// overran it by the kernel's timer slack (50 us) and its wake-up latency
// (70 to 120 us here), 3 % of the programming time: the thread sleeps to
// shortly before the end and yields its way to the end itself.
void pauseAfterWrite(int ms)
{
    using Clock = std::chrono::steady_clock;
    constexpr auto Margin = std::chrono::microseconds(250);
#ifdef Q_OS_LINUX
    thread_local bool precise = false;
    if (!precise) {
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
        precise = true;
    }
#endif
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    std::this_thread::sleep_until(end - Margin);
    while (Clock::now() < end)
        std::this_thread::yield();
}
} // namespace

USBDeviceHandler::USBDeviceHandler(QSharedPointer<MovraDeviceInfo> deviceInfo, QObject* parent)
    : USBDeviceHandler(deviceInfo, LibUSBApi::system(), parent)
{
}

USBDeviceHandler::USBDeviceHandler(QSharedPointer<MovraDeviceInfo> deviceInfo, QSharedPointer<LibUSBApi> api,
                                   QObject* parent)
    : QObject(parent)
    , m_api(api)
    , m_deviceInfo(deviceInfo)
{
    const int result = m_api->init(&m_context);
    m_contextReady = result == 0;
    if (m_contextReady) {
        m_api->setLogLevel(m_context, LIBUSB_LOG_LEVEL_NONE);
    } else {
        m_context = nullptr;
        qInfo() << "USB library could not be initialised for" << m_deviceInfo->serialNumber() << ":"
                << libusb_error_name(result);
    }
    m_eventsThread = QSharedPointer<QLibUSBEventsThread>::create(m_api, m_context);
}

USBDeviceHandler::~USBDeviceHandler()
{
    if (m_open) {
        close();
        // The events thread still runs: let the cancelled transfers come
        // back and be released before their endpoints go.
        QElapsedTimer clock;
        clock.start();
        while (anyCancellationPending() && clock.elapsed() < CancellationWaitMs)
            QThread::msleep(1);
        if (anyCancellationPending())
            qInfo() << "USB transfers of" << m_deviceInfo->serialNumber() << "did not come back cancelled";
        finishClose();
    }
    // The events thread must have left the library before its context goes.
    m_eventsThread->stopAndWait();
    m_endpoints.clear();
    if (m_contextReady)
        m_api->exit(m_context);
    m_eventsThread.reset();
}

bool USBDeviceHandler::anyCancellationPending() const
{
    for (const auto& endpoint : m_endpoints) {
        if (endpoint->hasPendingCancellation())
            return true;
    }
    return false;
}

void USBDeviceHandler::open()
{
    if (m_closing)
        return;
    if (m_open) {
        emit sendConnectionChanged(m_deviceInfo, true);
        return;
    }
    if (!m_contextReady) {
        qInfo() << "USB device" << m_deviceInfo->serialNumber() << "not opened: no USB library";
        return;
    }
    if (!m_eventsThread->isRunning())
        m_eventsThread->start(QThread::InheritPriority);

    libusb_device** list = nullptr;
    const ssize_t count = m_api->getDeviceList(m_context, &list);
    if (count < 0) {
        qInfo() << "USB device list unavailable:" << libusb_error_name(int(count));
        abandonOpen();
        return;
    }
    const QString key = m_deviceInfo->serialNumber();
    bool found = false;
    int result = LIBUSB_ERROR_NOT_FOUND;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor {};
        if (m_api->getDeviceDescriptor(list[i], &descriptor) != 0)
            continue;
        const QString location = toDashedHexString(USBGrabber::usbLocationBytes(*m_api, list[i], descriptor));
        if (location != key)
            continue;
        found = true;
        result = openDevice(list[i]);
        break;
    }
    m_api->freeDeviceList(list, 1);
    if (result != 0) {
        qInfo() << "USB device" << key << (found ? "could not be opened:" : "not found:") << libusb_error_name(result);
        abandonOpen();
        return;
    }
    m_open = true;
    emit sendConnectionChanged(m_deviceInfo, true);
}

int USBDeviceHandler::openDevice(libusb_device* device)
{
    int result = m_api->open(device, &m_deviceHandle);
    if (result != 0) {
        m_deviceHandle = nullptr;
        return result;
    }
    result = setupEndpoints(device);
    if (result != 0)
        return result;
    if (m_hasInterface && m_api->kernelDriverActive(m_deviceHandle, m_interfaceNumber) == 1)
        m_api->detachKernelDriver(m_deviceHandle, m_interfaceNumber);
    int current = -1;
    m_api->getConfiguration(m_deviceHandle, &current);
    if (current != m_configurationValue) {
        result = m_api->setConfiguration(m_deviceHandle, m_configurationValue);
        if (result != 0)
            return result;
    }
    if (m_hasInterface) {
        result = m_api->claimInterface(m_deviceHandle, m_interfaceNumber);
        if (result != 0)
            return result;
        m_interfaceClaimed = true;
    }
    for (const auto& endpoint : qAsConst(m_endpoints))
        endpoint->start(m_deviceHandle);
    return 0;
}

void USBDeviceHandler::abandonOpen()
{
    // Nothing of a failed attempt survives it: a later open starts clean and
    // no write reaches an endpoint that was never started.
    m_endpoints.clear();
    m_interfaceClaimed = false;
    if (m_deviceHandle) {
        m_api->close(m_deviceHandle);
        m_deviceHandle = nullptr;
    }
    m_eventsThread->stopAndWait();
}

int USBDeviceHandler::setupEndpoints(libusb_device* device)
{
    m_endpoints.clear();
    libusb_config_descriptor* config = nullptr;
    int result = m_api->getConfigDescriptor(device, 0, &config);
    if (result != 0)
        return result;
    m_configurationValue = config->bConfigurationValue;
    m_hasInterface = config->bNumInterfaces > 0 && config->interface && config->interface[0].num_altsetting > 0;
    if (m_hasInterface) {
        const libusb_interface_descriptor& first = config->interface[0].altsetting[0];
        m_interfaceNumber = first.bInterfaceNumber;
        m_alternateSetting = first.bAlternateSetting;
    }
    if (config->bNumInterfaces != 1 || !m_hasInterface) {
        // Which interface carries the instrument's endpoints is not known:
        // opened without endpoints, on its first interface if it has one,
        // so that control commands still reach it.
        qInfo() << "USB device" << m_deviceInfo->serialNumber() << "has" << config->bNumInterfaces
                << "interfaces: opened without endpoints";
        m_api->freeConfigDescriptor(config);
        return 0;
    }
    const libusb_interface_descriptor& setting = config->interface[0].altsetting[0];
    const bool superSpeed = m_deviceInfo->commType() == CommType::USB3;
    const quint16 release = m_deviceInfo->releaseNumber();
    for (int i = 0; i < setting.bNumEndpoints; ++i) {
        const libusb_endpoint_descriptor& descriptor = setting.endpoint[i];
        QSharedPointer<AbstractLibUSBEndpoint> endpoint;
        if (superSpeed) {
            libusb_ss_endpoint_companion_descriptor* companion = nullptr;
            result = m_api->getSsEndpointCompanionDescriptor(m_context, &descriptor, &companion);
            if (result != 0 || !companion) {
                qInfo() << "USB device" << m_deviceInfo->serialNumber()
                        << "refused: no SuperSpeed companion for endpoint" << descriptor.bEndpointAddress;
                m_endpoints.clear();
                m_api->freeConfigDescriptor(config);
                return result != 0 ? result : LIBUSB_ERROR_OTHER;
            }
            endpoint = QSharedPointer<QLibUSB3Endpoint>::create(m_api, release, descriptor, *companion);
            m_api->freeSsEndpointCompanionDescriptor(companion);
        } else {
            endpoint = QSharedPointer<QLibUSBEndpoint>::create(m_api, release, descriptor);
        }
        AbstractLibUSBEndpoint* e = endpoint.data();
        connect(e, &AbstractLibUSBEndpoint::sendNewCommandReceivedFromDevice, this,
                &USBDeviceHandler::onSendNewUSBCommandReceived, Qt::QueuedConnection);
        connect(e, &AbstractLibUSBEndpoint::sendNewDataReceivedFromDevice, this,
                &USBDeviceHandler::onSendNewUSBDataReceived, Qt::QueuedConnection);
        connect(e, &AbstractLibUSBEndpoint::sendNewUSB3CommandReceivedFromDevice, this,
                &USBDeviceHandler::onSendNewUSB3CommandReceived, Qt::QueuedConnection);
        connect(e, &AbstractLibUSBEndpoint::sendEndpointCancellationConfirmation, this,
                &USBDeviceHandler::onEndpointCancellationConfirmationReceived, Qt::QueuedConnection);
        m_endpoints.append(endpoint);
    }
    m_api->freeConfigDescriptor(config);
    return 0;
}

void USBDeviceHandler::onSendNewUSBCommandReceived(QByteArray message)
{
    emit sendNewCommandConfirmationReceivedToController(m_deviceInfo, message);
}

void USBDeviceHandler::onSendNewUSBDataReceived(QByteArray message)
{
    emit sendNewDataReceivedToController(m_deviceInfo, message);
}

void USBDeviceHandler::onSendNewUSB3CommandReceived(QByteArray message, int length)
{
    emit sendNewUSB3CommandConfirmationReceivedToController(m_deviceInfo, message, length);
}

void USBDeviceHandler::close()
{
    if (!m_deviceHandle || !m_open || m_closing)
        return;
    m_closing = true;
    for (const auto& endpoint : qAsConst(m_endpoints))
        endpoint->setCancelPending(true);
    for (const auto& endpoint : qAsConst(m_endpoints))
        endpoint->cancelTransfers();
    // With no transfer to cancel no confirmation ever comes: close now.
    if (!anyCancellationPending())
        finishClose();
}

void USBDeviceHandler::onEndpointCancellationConfirmationReceived()
{
    if (m_closing && !m_endpoints.isEmpty() && !anyCancellationPending())
        finishClose();
}

void USBDeviceHandler::finishClose()
{
    if (!m_open || !m_closing)
        return;
    const int result = m_interfaceClaimed ? m_api->releaseInterface(m_deviceHandle, m_interfaceNumber) : 0;
    m_interfaceClaimed = false;
    // An unplugged device cannot give its interface back; it is closed all
    // the same, or it would stay half open for good.
    if (result != 0)
        qInfo() << "USB interface of" << m_deviceInfo->serialNumber() << "not released:" << libusb_error_name(result);
    m_api->close(m_deviceHandle);
    m_deviceHandle = nullptr;
    // No callback runs once the events thread has left the library, so the
    // endpoints can go after it.
    m_eventsThread->stopAndWait();
    m_endpoints.clear();
    m_closing = false;
    m_open = false;
    emit sendConnectionChanged(m_deviceInfo, false);
}

void USBDeviceHandler::sendCommandToDevice(QByteArray cmd)
{
    if (cmd.isEmpty() || !m_open || m_closing)
        return;
    for (const auto& endpoint : qAsConst(m_endpoints)) {
        if (endpoint->isIn())
            continue;
        endpoint->write(cmd);
        pauseAfterWrite(WritePauseMs);
    }
}

QByteArray USBDeviceHandler::controlCommand(const QByteArray& cmd)
{
    if (cmd.size() < ControlHeaderSize) {
        qInfo() << "USB control command of" << cmd.size() << "bytes refused: it needs" << ControlHeaderSize;
        return {};
    }
    if (!m_open || !m_deviceHandle) {
        qInfo() << "USB control command to" << m_deviceInfo->serialNumber() << "refused: device not open";
        return {};
    }
    const auto byteAt = [&cmd](int i) { return quint8(cmd.at(i)); };
    const quint8 request = byteAt(0);
    const quint16 value = quint16(byteAt(1) << 8 | byteAt(2));
    const quint16 index = quint16(byteAt(3) << 8 | byteAt(4));
    const quint16 replyLength = quint16(byteAt(5) << 8 | byteAt(6));

    if (cmd.size() != ControlHeaderSize || replyLength == 0) {
        QByteArray out = cmd.mid(ControlHeaderSize);
        const int result = m_api->controlTransfer(m_deviceHandle, LIBUSB_REQUEST_TYPE_VENDOR | LIBUSB_ENDPOINT_OUT,
                                                  request, value, index, reinterpret_cast<unsigned char*>(out.data()),
                                                  quint16(out.size()), ControlTimeoutMs);
        if (result < 0) {
            qInfo() << "USB control request" << request << "failed:" << libusb_error_name(result);
            return {};
        }
        if (replyLength == 0)
            return {};
    }
    QByteArray reply(replyLength, char(0xFF));
    const int result =
        m_api->controlTransfer(m_deviceHandle, LIBUSB_REQUEST_TYPE_VENDOR | LIBUSB_ENDPOINT_IN, request, value, index,
                               reinterpret_cast<unsigned char*>(reply.data()), replyLength, ControlTimeoutMs);
    // A short reply is still one (the rest stays 0xFF); a failed read is not.
    if (result < 0) {
        qInfo() << "USB control reply" << request << "failed:" << libusb_error_name(result);
        return {};
    }
    return reply;
}

void USBDeviceHandler::sendCtrlCmdToDevice(QByteArray cmd)
{
    const QByteArray reply = controlCommand(cmd);
    if (!reply.isEmpty())
        emit sendNewUSB3CommandConfirmationReceivedToController(m_deviceInfo, reply, int(reply.size()));
}

void USBDeviceHandler::sendControlTransferToDevice(QByteArray cmd)
{
    const QByteArray reply = controlCommand(cmd);
    if (!reply.isEmpty())
        emit sendNewControlCommandConfirmationReceivedToController(m_deviceInfo, reply, int(reply.size()));
}
