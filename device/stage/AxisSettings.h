#pragma once

#include "device/stage/AsciiSerialLink.h"
#include "device/stage/UnitConverter.h"
#include "device/stage/Units.h"

#include <QWeakPointer>

#include <string>

namespace zaber {
namespace motion {
namespace ascii {

// The settings of one axis, read and written with "get" and "set". Only the
// length settings (position and travel limits) convert to millimetres;
// every other setting is read and written as the controller gives it.
class AxisSettings
{
public:
    AxisSettings(QWeakPointer<AsciiSerialLink> link, int deviceAddress, int axisNumber, UnitConverter converter);

    double get(const std::string& setting, Units unit = Units::Native) const;
    void set(const std::string& setting, double value, Units unit = Units::Native) const;

private:
    bool isLengthSetting(const QByteArray& setting) const;

    QWeakPointer<AsciiSerialLink> m_link;
    int m_deviceAddress;
    int m_axisNumber;
    UnitConverter m_converter;
};

} // namespace ascii
} // namespace motion
} // namespace zaber
