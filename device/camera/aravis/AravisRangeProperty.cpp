#include "device/camera/aravis/AravisRangeProperty.h"

#include <algorithm>
#include <cmath>
#include <limits>

AravisRangeProperty::AravisRangeProperty(const AravisNumber& number)
    : m_number(number)
{
}

std::optional<int> AravisRangeProperty::rounded(std::optional<double> value)
{
    if (!value)
        return std::nullopt;
    // Integer features may span 64 bits; the element's range is an int.
    const double limited =
        std::clamp(*value, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max()));
    return int(std::lround(limited));
}

std::optional<int> AravisRangeProperty::getValue()
{
    return rounded(m_number.value());
}

bool AravisRangeProperty::setValue(int value)
{
    return m_number.setValue(value);
}

std::optional<int> AravisRangeProperty::getMin()
{
    return rounded(m_number.minimum());
}

std::optional<int> AravisRangeProperty::getMax()
{
    return rounded(m_number.maximum());
}
