#pragma once

#include "device/camera/aravis/AravisNumber.h"
#include "device/camera/library/VCDRangeProperty.h"

// A number feature as a range property element, rounded to integers.
class AravisRangeProperty : public DShowLib::VCDRangeProperty
{
public:
    explicit AravisRangeProperty(const AravisNumber& number);

    std::optional<int> getValue() override;
    bool setValue(int value) override;
    std::optional<int> getMin() override;
    std::optional<int> getMax() override;

private:
    static std::optional<int> rounded(std::optional<double> value);

    AravisNumber m_number;
};
