#pragma once

#include "device/camera/library/VCDAbsoluteValueProperty.h"
#include "device/camera/library/VCDRangeProperty.h"
#include "device/camera/library/VCDStringProperty.h"
#include "device/camera/library/VCDSwitchProperty.h"

#include <QSharedPointer>

namespace DShowLib {

// One element of a camera property, offered through exactly one of the four
// interfaces; the others are null.
class VCDPropertyElement
{
public:
    explicit VCDPropertyElement(QSharedPointer<VCDAbsoluteValueProperty> absoluteValue);
    explicit VCDPropertyElement(QSharedPointer<VCDRangeProperty> range);
    explicit VCDPropertyElement(QSharedPointer<VCDSwitchProperty> onOff);
    explicit VCDPropertyElement(QSharedPointer<VCDStringProperty> text);

    QSharedPointer<VCDAbsoluteValueProperty> absoluteValue() const { return m_absoluteValue; }
    QSharedPointer<VCDRangeProperty> range() const { return m_range; }
    QSharedPointer<VCDSwitchProperty> onOff() const { return m_switch; }
    QSharedPointer<VCDStringProperty> text() const { return m_string; }

private:
    QSharedPointer<VCDAbsoluteValueProperty> m_absoluteValue;
    QSharedPointer<VCDRangeProperty> m_range;
    QSharedPointer<VCDSwitchProperty> m_switch;
    QSharedPointer<VCDStringProperty> m_string;
};

} // namespace DShowLib
