#include "tests/support/DeviceRecordBuilder.h"

DeviceRecordBuilder DeviceRecordBuilder::on(CommType commType)
{
    return DeviceRecordBuilder().commType(commType);
}

DeviceRecordBuilder DeviceRecordBuilder::usb(quint16 vid, quint16 pid)
{
    return on(CommType::USB).vid(vid).pid(pid);
}

DeviceRecordBuilder DeviceRecordBuilder::usb3(quint16 vid, quint16 pid)
{
    return on(CommType::USB3).vid(vid).pid(pid);
}

DeviceRecordBuilder DeviceRecordBuilder::ethernet(const QString& address)
{
    return on(CommType::Ethernet).serialNumber(address);
}

DeviceRecordBuilder DeviceRecordBuilder::serial(const QString& port)
{
    return on(CommType::Serial).name(port);
}

DeviceRecordBuilder DeviceRecordBuilder::commType(CommType commType) const
{
    return with(&DeviceRecordBuilder::m_commType, commType);
}

DeviceRecordBuilder DeviceRecordBuilder::status(DeviceStatus status) const
{
    return with(&DeviceRecordBuilder::m_status, status);
}

DeviceRecordBuilder DeviceRecordBuilder::driverType(DriverType driverType) const
{
    return with(&DeviceRecordBuilder::m_driverType, driverType);
}

DeviceRecordBuilder DeviceRecordBuilder::compatibility(DeviceCompatibility compatibility) const
{
    return with(&DeviceRecordBuilder::m_compatibility, compatibility);
}

DeviceRecordBuilder DeviceRecordBuilder::vid(quint16 vid) const
{
    return with(&DeviceRecordBuilder::m_vid, vid);
}

DeviceRecordBuilder DeviceRecordBuilder::pid(quint16 pid) const
{
    return with(&DeviceRecordBuilder::m_pid, pid);
}

DeviceRecordBuilder DeviceRecordBuilder::release(quint16 release) const
{
    return with(&DeviceRecordBuilder::m_release, release);
}

DeviceRecordBuilder DeviceRecordBuilder::name(const QString& name) const
{
    return with(&DeviceRecordBuilder::m_name, name);
}

DeviceRecordBuilder DeviceRecordBuilder::serialNumber(const QString& serialNumber) const
{
    return with(&DeviceRecordBuilder::m_serialNumber, serialNumber);
}

DeviceRecordBuilder DeviceRecordBuilder::uid(const QString& uid) const
{
    DeviceRecordBuilder next = with(&DeviceRecordBuilder::m_uid, uid);
    next.m_usbLocation.reset();
    return next;
}

DeviceRecordBuilder DeviceRecordBuilder::usbLocation(quint8 bus, quint8 port, quint8 address) const
{
    DeviceRecordBuilder next = with(&DeviceRecordBuilder::m_usbLocation, UsbLocation { bus, port, address });
    next.m_uid.reset();
    return next;
}

DeviceRecordBuilder DeviceRecordBuilder::channelFirmware(const QByteArray& firmware) const
{
    return with(&DeviceRecordBuilder::m_channelFirmware, firmware);
}

DeviceRecordBuilder DeviceRecordBuilder::motherboardFirmware(const QByteArray& firmware) const
{
    return with(&DeviceRecordBuilder::m_motherboardFirmware, firmware);
}

DeviceRecordBuilder DeviceRecordBuilder::firmware(const QByteArray& firmware) const
{
    return channelFirmware(firmware).motherboardFirmware(firmware);
}

DeviceRecordBuilder DeviceRecordBuilder::channelCount(int channelCount) const
{
    return with(&DeviceRecordBuilder::m_channelCount, channelCount);
}

QSharedPointer<MovraDeviceInfo> DeviceRecordBuilder::build() const
{
    auto record = QSharedPointer<MovraDeviceInfo>::create();
    fill(*record);
    return record;
}

QSharedPointer<MovraCameraInfo> DeviceRecordBuilder::buildCamera() const
{
    auto record = QSharedPointer<MovraCameraInfo>::create();
    fill(*record);
    return record;
}

QString DeviceRecordBuilder::usbLocationKey(quint16 vid, quint16 pid, quint8 bus, quint8 port, quint8 address)
{
    QByteArray location;
    location.append(char(vid >> 8));
    location.append(char(vid & 0xFF));
    location.append(char(pid >> 8));
    location.append(char(pid & 0xFF));
    location.append(char(bus));
    location.append(char(port));
    location.append(char(address));
    return toDashedHexString(location);
}

void DeviceRecordBuilder::fill(MovraDeviceInfo& record) const
{
    if (m_commType)
        record.setCommType(*m_commType);
    if (m_status)
        record.setStatus(*m_status);
    if (m_driverType)
        record.setDriverType(*m_driverType);
    if (m_compatibility)
        record.setCompatibility(*m_compatibility);
    if (m_vid)
        record.setVid(*m_vid);
    if (m_pid)
        record.setPid(*m_pid);
    if (m_release)
        record.setReleaseNumber(*m_release);
    if (m_name)
        record.setName(*m_name);
    if (m_serialNumber)
        record.setSerialNumber(*m_serialNumber);
    if (m_uid)
        record.setUid(*m_uid);
    if (m_usbLocation)
        record.setUid(usbLocationKey(record.vid(), record.pid(), m_usbLocation->bus, m_usbLocation->port,
                                     m_usbLocation->address));
    if (m_channelFirmware)
        record.setChannelFirmware(*m_channelFirmware);
    if (m_motherboardFirmware)
        record.setMotherboardFirmware(*m_motherboardFirmware);
    if (m_channelCount)
        record.setChannelCount(*m_channelCount);
}
