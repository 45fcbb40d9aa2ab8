#include "device/camera/library/VideoCaptureDeviceItem.h"

namespace DShowLib {

VideoCaptureDeviceItem::VideoCaptureDeviceItem(const CameraEntry& entry)
    : m_entry(entry)
{
}

QString VideoCaptureDeviceItem::getFriendlyName_() const
{
    return m_entry.model;
}

bool VideoCaptureDeviceItem::getSerialNumber(quint64& serial) const
{
    return serialFromText(m_entry.serial, serial);
}

bool VideoCaptureDeviceItem::getDriverVersion(int& major, int& minor, int& patch, int& build) const
{
    if (m_entry.driverVersion == std::array<int, 4> {})
        return false;
    major = m_entry.driverVersion[0];
    minor = m_entry.driverVersion[1];
    patch = m_entry.driverVersion[2];
    build = m_entry.driverVersion[3];
    return true;
}

bool VideoCaptureDeviceItem::serialFromText(const QString& text, quint64& serial)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 16)
        return false;
    bool ok = false;
    const quint64 value = trimmed.toULongLong(&ok, 16);
    if (!ok)
        return false;
    serial = value;
    return true;
}

} // namespace DShowLib
