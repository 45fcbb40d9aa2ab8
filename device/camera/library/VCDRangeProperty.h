#pragma once

#include <optional>

namespace DShowLib {

// A property element read and written as an integer value. A fault gives no
// value or false.
class VCDRangeProperty
{
public:
    virtual ~VCDRangeProperty();

    virtual std::optional<int> getValue() = 0;
    virtual bool setValue(int value) = 0;
    virtual std::optional<int> getMin() = 0;
    virtual std::optional<int> getMax() = 0;
};

} // namespace DShowLib
