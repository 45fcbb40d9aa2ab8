#include "device/MovraHardwareServer.h"

#include <QDebug>
#include <QMetaMethod>

#define DEVICE_ARG "QSharedPointer<MovraDeviceInfo>"

MovraHardwareServer::MovraHardwareServer(QObject* parent)
    : MovraHardwareServer(QSharedPointer<CommunicatorFactory>(), parent)
{
}

MovraHardwareServer::MovraHardwareServer(QSharedPointer<CommunicatorFactory> factory, QObject* parent)
    : QObject(parent)
    , m_factory(factory ? factory : QSharedPointer<CommunicatorFactory>::create())
{
    qRegisterMetaType<QSharedPointer<MovraDeviceInfo>>();
}

MovraHardwareServer::~MovraHardwareServer()
{
    // stopCommunicationThreads() waits a bounded time; a thread object and
    // its communicator must not go while the thread still runs.
    // isRunning() is already false while a thread runs its finished
    // handlers, so wait on every thread whatever it says.
    for (const auto& thread : qAsConst(m_communicationThreads)) {
        thread->quit();
        thread->wait();
    }
    m_usbCommunicator.reset();
    m_ethernetCommunicator.reset();
    m_cameraCommunicator.reset();
    m_serialCommunicator.reset();
    m_communicationThreads.clear();
}

void MovraHardwareServer::initializeCommunicators()
{
    initializeUSBCommunicator();
    initializeEthernetCommunicator();
    initializeTISCameraCommunicator();
    initializeSerialCommunicator();
}

void MovraHardwareServer::initializeUSBCommunicator()
{
    m_usbCommunicator = initializeCommunicator(
        m_factory->createUSBCommunicator(), false,
        {
            { true, "sendCommandReceivedFromDevice(" DEVICE_ARG ",QByteArray)",
              "commandReceivedFromDevice(" DEVICE_ARG ",QByteArray)", Qt::AutoConnection },
            { true, "sendCommandUSB3ReceivedFromDevice(" DEVICE_ARG ",QByteArray,int)",
              "commandUSB3ReceivedFromDevice(" DEVICE_ARG ",QByteArray,int)", Qt::QueuedConnection },
            { true, "sendDataReceivedFromDevice(" DEVICE_ARG ",QByteArray)",
              "dataReceivedFromDevice(" DEVICE_ARG ",QByteArray)", Qt::QueuedConnection },
            { true, "sendConnectionChanged(" DEVICE_ARG ",bool)", "deviceConnectionChanged(" DEVICE_ARG ",bool)",
              Qt::AutoConnection },
            { false, "sendcommandToDeviceFromUpdater(" DEVICE_ARG ",QByteArray)",
              "onSendCommandToDeviceReceived(" DEVICE_ARG ",QByteArray)", Qt::AutoConnection },
            { false, "sendCtrlCmdToDeviceFromUpdater(" DEVICE_ARG ",QByteArray)",
              "onSendCtrlCmdToDeviceReceived(" DEVICE_ARG ",QByteArray)", Qt::AutoConnection },
            { false, "openUSBDeviceReceivedFromUpdater(" DEVICE_ARG ")", "onOpenDeviceReceived(" DEVICE_ARG ")",
              Qt::AutoConnection },
        });
}

void MovraHardwareServer::initializeEthernetCommunicator()
{
    m_ethernetCommunicator =
        initializeCommunicator(m_factory->createEthernetCommunicator(), false,
                               {
                                   { true, "sendCommandReceivedFromDevice(" DEVICE_ARG ",QByteArray)",
                                     "commandReceivedFromDevice(" DEVICE_ARG ",QByteArray)", Qt::QueuedConnection },
                                   { true, "sendDataReceivedFromDevice(" DEVICE_ARG ",QByteArray)",
                                     "dataReceivedFromDevice(" DEVICE_ARG ",QByteArray)", Qt::QueuedConnection },
                                   { true, "sendConnectionChanged(" DEVICE_ARG ",bool)",
                                     "deviceConnectionChanged(" DEVICE_ARG ",bool)", Qt::AutoConnection },
                                   { true, "sendDatagramReceivedFromDevice(QByteArray,qulonglong)",
                                     "onDatagramReceivedFromDevice(QByteArray,qulonglong)", Qt::AutoConnection },
                                   { false, "openEthernetDeviceReceivedFromUpdater(" DEVICE_ARG ")",
                                     "onOpenDeviceReceived(" DEVICE_ARG ")", Qt::AutoConnection },
                                   { false, "sendcommandToEthernetFromUpdater(" DEVICE_ARG ",QByteArray)",
                                     "onSendCommandToDeviceReceived(" DEVICE_ARG ",QByteArray)", Qt::AutoConnection },
                               });
}

void MovraHardwareServer::initializeTISCameraCommunicator()
{
    m_cameraCommunicator =
        initializeCommunicator(m_factory->createTISCameraCommunicator(), true,
                               {
                                   { true, "sendConnectionChanged(" DEVICE_ARG ",bool)",
                                     "deviceConnectionChanged(" DEVICE_ARG ",bool)", Qt::AutoConnection },
                                   { false, "openCameraDeviceReceivedFromUpdater(" DEVICE_ARG ")",
                                     "onOpenDeviceReceived(" DEVICE_ARG ")", Qt::AutoConnection },
                               });
}

void MovraHardwareServer::initializeSerialCommunicator()
{
    m_serialCommunicator =
        initializeCommunicator(m_factory->createSerialCommunicator(), false,
                               {
                                   { true, "sendCommandReceivedFromDevice(" DEVICE_ARG ",QByteArray)",
                                     "commandReceivedFromDevice(" DEVICE_ARG ",QByteArray)", Qt::AutoConnection },
                                   { true, "sendConnectionChanged(" DEVICE_ARG ",bool)",
                                     "deviceConnectionChanged(" DEVICE_ARG ",bool)", Qt::AutoConnection },
                                   { false, "sendSerialCommandToDeviceFromUpdater(" DEVICE_ARG ",QByteArray)",
                                     "onSendCommandToDeviceReceived(" DEVICE_ARG ",QByteArray)", Qt::AutoConnection },
                                   { false, "openSerialDeviceReceivedFromUpdater(" DEVICE_ARG ")",
                                     "onOpenDeviceReceived(" DEVICE_ARG ")", Qt::AutoConnection },
                                   { false, "closeSerialDeviceReceivedFromUpdater(" DEVICE_ARG ")",
                                     "onCloseDeviceReceived(" DEVICE_ARG ")", Qt::AutoConnection },
                               });
}

QSharedPointer<AbstractCommunicator>
MovraHardwareServer::initializeCommunicator(QSharedPointer<AbstractCommunicator> communicator, bool isCamera,
                                            const QList<Relay>& relays)
{
    // A transport that does not exist on this build has no thread either.
    if (!communicator)
        return communicator;

    auto thread = QSharedPointer<QThread>::create();
    // Named after its transport, so that a thread's cost can be told apart.
    thread->setObjectName(QString::fromLatin1(communicator->metaObject()->className()));
    m_communicationThreads.append(thread);

    AbstractCommunicator* c = communicator.data();
    connect(thread.data(), &QThread::started, c, &AbstractCommunicator::onCommunicationThreadStarted);
    connect(thread.data(), &QThread::finished, c, &AbstractCommunicator::onCommunicationThreadStopped);
    connect(c, &AbstractCommunicator::sendDeviceInserted, this, &MovraHardwareServer::deviceInserted);
    if (isCamera)
        connect(c, &AbstractCommunicator::sendDeviceRemoved, this, &MovraHardwareServer::cameraRemoved);
    else
        connect(c, &AbstractCommunicator::sendDeviceRemoved, this, &MovraHardwareServer::deviceRemoved);

    for (const Relay& relay : relays) {
        if (relay.fromCommunicator)
            connectByName(c, relay.source, this, relay.target, relay.type);
        else
            connectByName(this, relay.source, c, relay.target, relay.type);
    }

    communicator->moveToThread(thread.data());
    return communicator;
}

namespace {

QByteArray methodName(const QByteArray& signature)
{
    return signature.left(signature.indexOf('('));
}

// Whether the class offers a method of that name under any signature.
bool hasMethodNamed(const QMetaObject* meta, const QByteArray& name)
{
    for (int i = 0; i < meta->methodCount(); ++i) {
        if (meta->method(i).name() == name)
            return true;
    }
    return false;
}

} // namespace

bool MovraHardwareServer::connectByName(QObject* sender, const char* signal, QObject* receiver, const char* method,
                                        Qt::ConnectionType type)
{
    const QByteArray signalSignature = QMetaObject::normalizedSignature(signal);
    const QByteArray methodSignature = QMetaObject::normalizedSignature(method);
    const QMetaObject* senderMeta = sender->metaObject();
    const QMetaObject* receiverMeta = receiver->metaObject();
    const int signalIndex = senderMeta->indexOfSignal(signalSignature.constData());
    const int methodIndex = receiverMeta->indexOfMethod(methodSignature.constData());
    if (signalIndex >= 0 && methodIndex >= 0)
        return bool(
            connect(sender, senderMeta->method(signalIndex), receiver, receiverMeta->method(methodIndex), type));

    // Each transport offers only the signals and slots of its own kind, so a
    // name the transport does not have at all is no fault. The server's own
    // end must always exist, and a transport that has the name under another
    // signature would be cut off without a word.
    const bool senderIsServer = sender == this;
    const bool serverEndMissing = senderIsServer ? signalIndex < 0 : methodIndex < 0;
    const bool transportHasOtherSignature =
        senderIsServer ? methodIndex < 0 && hasMethodNamed(receiverMeta, methodName(methodSignature))
                       : signalIndex < 0 && hasMethodNamed(senderMeta, methodName(signalSignature));
    if (serverEndMissing || transportHasOtherSignature) {
        qWarning().noquote() << "Hardware server: cannot relay" << senderMeta->className() << signalSignature << "to"
                             << receiverMeta->className() << methodSignature;
    }
    return false;
}

void MovraHardwareServer::startCommunicationThreads()
{
    initializeUSBCommunicator();
    initializeEthernetCommunicator();
    initializeTISCameraCommunicator();
    initializeSerialCommunicator();
    for (const auto& thread : qAsConst(m_communicationThreads)) {
        if (!thread->isRunning())
            thread->start(QThread::HighPriority);
    }
}

void MovraHardwareServer::stopCommunicationThreads()
{
    // A thread that never ran or has ended returns from wait() at once.
    for (const auto& thread : qAsConst(m_communicationThreads)) {
        thread->quit();
        thread->wait(ThreadStopWaitMs);
    }
}

void MovraHardwareServer::commandReceivedFromUpdater(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd)
{
    if (deviceInfo && deviceInfo->commType() == CommType::Ethernet)
        emit sendcommandToEthernetFromUpdater(deviceInfo, cmd);
    else
        emit sendcommandToDeviceFromUpdater(deviceInfo, cmd);
}

void MovraHardwareServer::onDatagramReceivedFromDevice(QByteArray datagram, qulonglong size)
{
    Q_UNUSED(size)
    if (datagram.size() != MicVersionDatagramSize)
        return;
    QByteArray version(3, '\0');
    version[0] = datagram.at(0);
    version[1] = datagram.at(1);
    emit sendMicVersionReceived(version);
}
