#include "device/usb/USBGrabber.h"

#include "device/usb/UsbIds.h"

#include <QDebug>

#include <array>

namespace {

struct AcceptedVendor
{
    quint16 vendorId;
    QList<quint16> productIds;
};

const QList<AcceptedVendor>& acceptedDevices()
{
    using namespace nsUsbIds;
    static const QList<AcceptedVendor> table = {
        { MicrochipVendorId,
          { KZR410ProductId, PIC32BootloaderProductId, SarvantiProductId, SarvantiGen2ProductId, YLQSAGen2ProductId,
            SarvantiSecondProductId, HLX58ProductId, RotaryJointBootloaderProductId,
            RotaryJointSecondBootloaderProductId, KOTWGen3ProductId, SarvantiGen2SecondProductId } },
        { CypressVendorId,
          { GQZ3ProductId, TV720ProductId, USB3DriverProductId, USB3SecondProductId, FX3BootProgrammerProductId } },
        { CypressSecondVendorId, { GQZ3ProductId, TV720ProductId, USB3DriverProductId, USB3SecondProductId } },
    };
    return table;
}

} // namespace

USBGrabber::USBGrabber(QObject* parent)
    : USBGrabber(LibUSBApi::system(), parent)
{
}

USBGrabber::USBGrabber(QSharedPointer<LibUSBApi> api, QObject* parent)
    : AbstractGrabber(parent)
    , m_api(api)
{
    const int result = m_api->init(nullptr);
    m_contextReady = result == 0;
    if (m_contextReady)
        m_api->setLogLevel(nullptr, LIBUSB_LOG_LEVEL_NONE);
    else
        qInfo() << "USB library could not be initialised, no USB device will be found:" << libusb_error_name(result);
}

USBGrabber::~USBGrabber()
{
    if (m_contextReady)
        m_api->exit(nullptr);
}

bool USBGrabber::isSupportedDevice(quint16 vendorId, quint16 productId)
{
    for (const AcceptedVendor& vendor : acceptedDevices()) {
        if (vendor.vendorId == vendorId)
            return vendor.productIds.contains(productId);
    }
    return false;
}

QByteArray USBGrabber::usbLocationBytes(LibUSBApi& api, libusb_device* device,
                                        const libusb_device_descriptor& descriptor)
{
    QByteArray bytes;
    bytes.append(char(descriptor.idVendor >> 8));
    bytes.append(char(descriptor.idVendor & 0xFF));
    bytes.append(char(descriptor.idProduct >> 8));
    bytes.append(char(descriptor.idProduct & 0xFF));
    bytes.append(char(api.getBusNumber(device)));
    bytes.append(char(api.getPortNumber(device)));
    bytes.append(char(api.getDeviceAddress(device)));
    return bytes;
}

QSharedPointer<MovraDeviceInfo> USBGrabber::createDeviceInfo(libusb_device* device,
                                                             const libusb_device_descriptor& descriptor)
{
    auto info = QSharedPointer<MovraDeviceInfo>::create();
    const int speed = m_api->getDeviceSpeed(device);
    info->setCommType(speed == LIBUSB_SPEED_SUPER || speed == LIBUSB_SPEED_SUPER_PLUS ? CommType::USB3 : CommType::USB);
    info->setStatus(DeviceStatus::AvailableUSB);
    info->setPid(descriptor.idProduct);
    info->setVid(descriptor.idVendor);
    info->setReleaseNumber(descriptor.bcdDevice);
    const QString key = toDashedHexString(usbLocationBytes(*m_api, device, descriptor));
    info->setUid(key);
    info->setSerialNumber(key);
    return info;
}

QString USBGrabber::readString(libusb_device_handle* handle, quint8 index)
{
    // No string, or a failed read, gives an empty text, never old buffer bytes.
    if (index == 0)
        return QString();
    std::array<unsigned char, StringBufferSize> buffer {};
    const int length = m_api->getStringDescriptorAscii(handle, index, buffer.data(), int(buffer.size()));
    if (length <= 0)
        return QString();
    const int size = qMin(length, int(buffer.size()));
    return QString::fromLatin1(reinterpret_cast<const char*>(buffer.data()),
                               qstrnlen(reinterpret_cast<const char*>(buffer.data()), size));
}

void USBGrabber::refreshAvailableDevices()
{
    if (!m_contextReady)
        return;

    libusb_device** list = nullptr;
    const ssize_t listed = m_api->getDeviceList(nullptr, &list);
    // A failed listing allocated nothing: the pass finds no device.
    const ssize_t count = listed < 0 ? 0 : listed;
    if (listed < 0)
        qDebug() << "USB device list unavailable:" << libusb_error_name(int(listed));

    QList<QSharedPointer<MovraDeviceInfo>> present;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor {};
        if (m_api->getDeviceDescriptor(list[i], &descriptor) != 0)
            continue;
        if (isSupportedDevice(descriptor.idVendor, descriptor.idProduct))
            present.append(createDeviceInfo(list[i], descriptor));
    }

    const auto hasSerial = [](const QList<QSharedPointer<MovraDeviceInfo>>& records, const QString& serial) {
        for (const auto& record : records) {
            if (record->serialNumber() == serial)
                return true;
        }
        return false;
    };

    const QList<QSharedPointer<MovraDeviceInfo>> known = m_knownDevices;
    for (const auto& record : known) {
        if (!hasSerial(present, record->serialNumber())) {
            m_knownDevices.removeOne(record);
            emit sendDeviceRemoved(record);
        }
    }

    for (const auto& record : qAsConst(present)) {
        if (hasSerial(m_knownDevices, record->serialNumber()))
            continue;
        const QByteArray key = record->serialNumber().toLatin1();
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device_descriptor descriptor {};
            if (m_api->getDeviceDescriptor(list[i], &descriptor) != 0
                || !isSupportedDevice(descriptor.idVendor, descriptor.idProduct))
                continue;
            if (toDashedHexString(usbLocationBytes(*m_api, list[i], descriptor)).toLatin1() != key)
                continue;
            libusb_device_handle* handle = nullptr;
            if (m_api->open(list[i], &handle) != 0)
                continue;
            record->setName(readString(handle, descriptor.iProduct));
            const QByteArray firmware = readString(handle, descriptor.iSerialNumber).toLatin1();
            record->setChannelFirmware(firmware);
            record->setMotherboardFirmware(firmware);
            m_api->close(handle);
        }
        m_knownDevices.append(record);
        emit sendDeviceInserted(record);
    }

    if (listed >= 0)
        m_api->freeDeviceList(list, 1);
}
