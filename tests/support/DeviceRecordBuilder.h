#pragma once

#include "device/MovraCameraInfo.h"
#include "device/MovraDeviceInfo.h"

#include <QByteArray>
#include <QSharedPointer>
#include <QString>

#include <optional>

// A device record as a test needs it: the usual record for a comm type,
// then only what differs. A field the builder is not given keeps the value
// of a new record. Each step returns a new builder, so one may be the start
// of several records.
class DeviceRecordBuilder
{
public:
    // Every field as a new record has it.
    DeviceRecordBuilder() = default;

    static DeviceRecordBuilder on(CommType commType);
    static DeviceRecordBuilder usb(quint16 vid, quint16 pid);
    static DeviceRecordBuilder usb3(quint16 vid, quint16 pid);
    // As the Ethernet grabber records a device: the address is its serial
    // number, and it has no uid.
    static DeviceRecordBuilder ethernet(const QString& address);
    // A device on a serial port, named after the port.
    static DeviceRecordBuilder serial(const QString& port);

    DeviceRecordBuilder commType(CommType commType) const;
    DeviceRecordBuilder status(DeviceStatus status) const;
    DeviceRecordBuilder driverType(DriverType driverType) const;
    DeviceRecordBuilder compatibility(DeviceCompatibility compatibility) const;
    DeviceRecordBuilder vid(quint16 vid) const;
    DeviceRecordBuilder pid(quint16 pid) const;
    DeviceRecordBuilder release(quint16 release) const;
    DeviceRecordBuilder name(const QString& name) const;
    DeviceRecordBuilder serialNumber(const QString& serialNumber) const;
    DeviceRecordBuilder uid(const QString& uid) const;
    // The uid the USB grabber gives: the dashed key of the record's vid and
    // pid (as finally built) and its place on the bus.
    DeviceRecordBuilder usbLocation(quint8 bus, quint8 port, quint8 address) const;
    DeviceRecordBuilder channelFirmware(const QByteArray& firmware) const;
    DeviceRecordBuilder motherboardFirmware(const QByteArray& firmware) const;
    // Both firmware strings, as the USB grabber reads them from the one
    // serial-number descriptor.
    DeviceRecordBuilder firmware(const QByteArray& firmware) const;
    DeviceRecordBuilder channelCount(int channelCount) const;

    QSharedPointer<MovraDeviceInfo> build() const;
    QSharedPointer<MovraCameraInfo> buildCamera() const;

    static QString usbLocationKey(quint16 vid, quint16 pid, quint8 bus, quint8 port, quint8 address);

private:
    struct UsbLocation
    {
        quint8 bus;
        quint8 port;
        quint8 address;
    };

    template <class T>
    DeviceRecordBuilder with(std::optional<T> DeviceRecordBuilder::*field, const T& value) const
    {
        DeviceRecordBuilder next(*this);
        next.*field = value;
        return next;
    }
    void fill(MovraDeviceInfo& record) const;

    std::optional<CommType> m_commType;
    std::optional<DeviceStatus> m_status;
    std::optional<DriverType> m_driverType;
    std::optional<DeviceCompatibility> m_compatibility;
    std::optional<quint16> m_vid;
    std::optional<quint16> m_pid;
    std::optional<quint16> m_release;
    std::optional<QString> m_name;
    std::optional<QString> m_serialNumber;
    std::optional<QString> m_uid;
    std::optional<UsbLocation> m_usbLocation;
    std::optional<QByteArray> m_channelFirmware;
    std::optional<QByteArray> m_motherboardFirmware;
    std::optional<int> m_channelCount;
};
