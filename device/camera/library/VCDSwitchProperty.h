#pragma once

#include <optional>

namespace DShowLib {

// A property element that is on or off. A fault gives no value or false.
class VCDSwitchProperty
{
public:
    virtual ~VCDSwitchProperty();

    virtual std::optional<bool> getSwitch() = 0;
    virtual bool setSwitch(bool on) = 0;
};

} // namespace DShowLib
