#pragma once

#include "device/camera/library/CameraEntry.h"

#include <QString>

namespace DShowLib {

// One item of the camera list.
class VideoCaptureDeviceItem
{
public:
    VideoCaptureDeviceItem() = default;
    explicit VideoCaptureDeviceItem(const CameraEntry& entry);

    QString getFriendlyName_() const;
    // False when the camera gives no serial number that reads as a
    // hexadecimal number of at most 16 digits.
    bool getSerialNumber(quint64& serial) const;
    // Parts the camera does not report are left as they are.
    bool getDriverVersion(int& major, int& minor, int& patch, int& build) const;

    // The serial text of a camera as the list's 64-bit number.
    static bool serialFromText(const QString& text, quint64& serial);

private:
    CameraEntry m_entry;
};

} // namespace DShowLib
