#include "device/camera/library/VCDPropertyElement.h"

namespace DShowLib {

VCDPropertyElement::VCDPropertyElement(QSharedPointer<VCDAbsoluteValueProperty> absoluteValue)
    : m_absoluteValue(absoluteValue)
{
}

VCDPropertyElement::VCDPropertyElement(QSharedPointer<VCDRangeProperty> range)
    : m_range(range)
{
}

VCDPropertyElement::VCDPropertyElement(QSharedPointer<VCDSwitchProperty> onOff)
    : m_switch(onOff)
{
}

VCDPropertyElement::VCDPropertyElement(QSharedPointer<VCDStringProperty> text)
    : m_string(text)
{
}

} // namespace DShowLib
