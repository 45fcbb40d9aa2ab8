#include "device/camera/aravis/AravisAbsoluteValueProperty.h"

AravisAbsoluteValueProperty::AravisAbsoluteValueProperty(const AravisNumber& number)
    : m_number(number)
{
}

std::optional<double> AravisAbsoluteValueProperty::getValue()
{
    return m_number.value();
}

bool AravisAbsoluteValueProperty::setValue(double value)
{
    return m_number.setValue(value);
}

std::optional<double> AravisAbsoluteValueProperty::getMin()
{
    return m_number.minimum();
}

std::optional<double> AravisAbsoluteValueProperty::getMax()
{
    return m_number.maximum();
}
