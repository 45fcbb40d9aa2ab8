#include "device/serial/SerialGrabber.h"

#include "device/usb/UsbIds.h"

#include <QStringList>

namespace {

struct AcceptedAdapter
{
    quint16 vendorId;
    quint16 productId;
    DriverType driverType;
};

// Undefined: the ids do not tell the kind; the communicator has the device
// identified by test commands.
constexpr AcceptedAdapter Adapters[] = {
    { nsUsbIds::PowerMeterVendorId, nsUsbIds::PowerMeterProductId, DriverType::PowerMeter },
    { nsUsbIds::NordicVendorId, nsUsbIds::IMUProductId, DriverType::IMUDriver },
    { nsUsbIds::NordicVendorId, nsUsbIds::IMUBootloaderProductId, DriverType::IMUDriver },
    { nsUsbIds::NordicVendorId, nsUsbIds::ZuvoBasestationProductId, DriverType::ZuvoBaseStation },
    { nsUsbIds::FtdiVendorId, nsUsbIds::FtdiProductId, DriverType::Undefined },
};

} // namespace

SerialGrabber::SerialGrabber(QObject* parent)
    : SerialGrabber(QSharedPointer<SerialPortLister>(), parent)
{
}

SerialGrabber::SerialGrabber(QSharedPointer<SerialPortLister> lister, QObject* parent)
    : AbstractGrabber(parent)
    , m_lister(lister ? lister : QSharedPointer<SerialPortLister>::create())
{
}

SerialGrabber::~SerialGrabber() = default;

bool SerialGrabber::acceptedAdapter(quint16 vendorId, quint16 productId, DriverType* driverType)
{
    for (const AcceptedAdapter& adapter : Adapters) {
        if (adapter.vendorId == vendorId && adapter.productId == productId) {
            if (driverType)
                *driverType = adapter.driverType;
            return true;
        }
    }
    return false;
}

QByteArray SerialGrabber::makeDeviceKey(quint16 vendorId, quint16 productId, const QString& serialNumber)
{
    QByteArray key;
    key.append(char(vendorId >> 8));
    key.append(char(vendorId & 0xFF));
    key.append(char(productId >> 8));
    key.append(char(productId & 0xFF));
    key.append(serialNumber.toLocal8Bit());
    return key;
}

QSharedPointer<MovraDeviceInfo> SerialGrabber::createDeviceInfo(const SerialPortDescription& port)
{
    DriverType driverType = DriverType::Undefined;
    acceptedAdapter(port.vendorId, port.productId, &driverType);
    auto record = QSharedPointer<MovraDeviceInfo>::create();
    record->setCommType(CommType::Serial);
    record->setDriverType(driverType);
    record->setStatus(DeviceStatus::Available);
    record->setCompatibility(DeviceCompatibility::Full);
    record->setName(port.portName);
    record->setSerialNumber(port.serialNumber);
    record->setPid(port.productId);
    record->setVid(port.vendorId);
    record->setUid(toDashedHexString(makeDeviceKey(port.vendorId, port.productId, port.serialNumber)));
    return record;
}

void SerialGrabber::refreshAvailableDevices()
{
    QStringList found;
    const QList<SerialPortDescription> ports = m_lister->availablePorts();
    for (const SerialPortDescription& port : ports) {
        if (!port.hasVendorId || !port.hasProductId || !acceptedAdapter(port.vendorId, port.productId, nullptr))
            continue;
        const QString uid = toDashedHexString(makeDeviceKey(port.vendorId, port.productId, port.serialNumber));
        found.append(uid);
        // A second adapter with the same uid stands for the same device.
        if (m_knownDevices.key(uid))
            continue;
        const QSharedPointer<MovraDeviceInfo> record = createDeviceInfo(port);
        m_knownDevices.insert(record, uid);
        emit sendDeviceInserted(record);
    }

    const QList<QString> known = m_knownDevices.values();
    for (const QString& uid : known) {
        if (found.contains(uid))
            continue;
        const QSharedPointer<MovraDeviceInfo> record = m_knownDevices.key(uid);
        if (!record)
            continue;
        m_knownDevices.remove(record);
        emit sendDeviceRemoved(record);
    }
}
