#pragma once

#include <optional>

namespace DShowLib {

// A property element read and written as a floating-point value. A fault
// gives no value or false.
class VCDAbsoluteValueProperty
{
public:
    virtual ~VCDAbsoluteValueProperty();

    virtual std::optional<double> getValue() = 0;
    virtual bool setValue(double value) = 0;
    virtual std::optional<double> getMin() = 0;
    virtual std::optional<double> getMax() = 0;
};

} // namespace DShowLib
