#include "tests/firmware/updater/ScriptedTransport.h"

#include <QMutexLocker>

void ScriptedBus::plug(const QSharedPointer<MovraDeviceInfo>& record, const QSharedPointer<sim::Instrument>& instrument)
{
    QMutexLocker locker(&lock);
    entries.append({ record, instrument });
}

void ScriptedBus::unplug(const QSharedPointer<MovraDeviceInfo>& record)
{
    QMutexLocker locker(&lock);
    for (int i = entries.size() - 1; i >= 0; --i) {
        if (entries.at(i).record == record)
            entries.removeAt(i);
    }
}

QSharedPointer<sim::Instrument> ScriptedBus::instrumentOf(const QSharedPointer<MovraDeviceInfo>& record)
{
    QMutexLocker locker(&lock);
    for (const Entry& entry : qAsConst(entries)) {
        if (entry.record == record)
            return entry.instrument;
    }
    return {};
}

ScriptedGrabber::ScriptedGrabber(QSharedPointer<ScriptedBus> bus)
    : m_bus(bus)
{
}

void ScriptedGrabber::refreshAvailableDevices()
{
    QList<QSharedPointer<MovraDeviceInfo>> present;
    {
        QMutexLocker locker(&m_bus->lock);
        for (const auto& entry : qAsConst(m_bus->entries))
            present.append(entry.record);
    }
    for (const auto& device : QList<QSharedPointer<MovraDeviceInfo>>(m_known)) {
        if (!present.contains(device)) {
            m_known.removeAll(device);
            emit sendDeviceRemoved(device);
        }
    }
    for (const auto& device : present) {
        if (!m_known.contains(device)) {
            m_known.append(device);
            emit sendDeviceInserted(device);
        }
    }
}

ScriptedTransport::ScriptedTransport(const QString& tag, QSharedPointer<ScriptedBus> bus)
    : m_tag(tag)
    , m_bus(bus)
{
}

void ScriptedTransport::log(const QString& what)
{
    if (m_bus->log)
        m_bus->log->append(m_tag + QLatin1Char(':') + what);
}

void ScriptedTransport::onCommunicationThreadStarted()
{
    startGrabber(QSharedPointer<ScriptedGrabber>::create(m_bus));
}

void ScriptedTransport::onCommunicationThreadStopped()
{
    stopGrabber();
}

void ScriptedTransport::onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    emit sendDeviceInserted(deviceInfo);
}

void ScriptedTransport::onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    emit sendDeviceRemoved(deviceInfo);
}

void ScriptedTransport::announceAgain(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    emit sendDeviceInserted(deviceInfo);
}

void ScriptedTransport::onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> device)
{
    log(QStringLiteral("open:") + device->uid());
    emit sendConnectionChanged(device, true);
}

void ScriptedTransport::onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> device)
{
    log(QStringLiteral("close:") + device->uid());
}

void ScriptedTransport::onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd)
{
    log(QStringLiteral("cmd:%1:%2").arg(deviceInfo->uid(), QString::fromLatin1(cmd.toHex())));
    const QSharedPointer<sim::Instrument> instrument = m_bus->instrumentOf(deviceInfo);
    if (!instrument)
        return;
    const sim::Instrument::Output out = instrument->receive(cmd);
    for (const QByteArray& reply : out.replies)
        emit sendCommandReceivedFromDevice(deviceInfo, reply);
}

ScriptedTransports::ScriptedTransports(EventLog* log)
{
    usbBus->log = log;
    cameraBus->log = log;
}

QSharedPointer<AbstractCommunicator> ScriptedTransports::createUSBCommunicator()
{
    auto transport = QSharedPointer<ScriptedTransport>::create(QStringLiteral("usb"), usbBus);
    usb = transport.data();
    return transport;
}

QSharedPointer<AbstractCommunicator> ScriptedTransports::createTISCameraCommunicator()
{
    auto transport = QSharedPointer<ScriptedTransport>::create(QStringLiteral("camera"), cameraBus);
    camera = transport.data();
    return transport;
}

QSharedPointer<MovraDeviceInfo> makeUsbRecord(const sim::UsbIdentity& identity, quint8 address, CommType commType,
                                              quint8 bus, quint8 port)
{
    auto record = QSharedPointer<MovraDeviceInfo>::create();
    QByteArray location;
    location.append(char(identity.vendorId >> 8));
    location.append(char(identity.vendorId & 0xFF));
    location.append(char(identity.productId >> 8));
    location.append(char(identity.productId & 0xFF));
    location.append(char(bus));
    location.append(char(port));
    location.append(char(address));
    const QString key = toDashedHexString(location);
    record->setUid(key);
    record->setSerialNumber(key);
    record->setCommType(commType);
    record->setStatus(DeviceStatus::AvailableUSB);
    record->setVid(identity.vendorId);
    record->setPid(identity.productId);
    record->setReleaseNumber(identity.release);
    record->setName(identity.product);
    record->setChannelFirmware(identity.serial.toLatin1());
    record->setMotherboardFirmware(identity.serial.toLatin1());
    return record;
}
