#pragma once

#include "device/camera/aravis/AravisNumber.h"
#include "device/camera/library/VCDAbsoluteValueProperty.h"

// A number feature as an absolute-value property element.
class AravisAbsoluteValueProperty : public DShowLib::VCDAbsoluteValueProperty
{
public:
    explicit AravisAbsoluteValueProperty(const AravisNumber& number);

    std::optional<double> getValue() override;
    bool setValue(double value) override;
    std::optional<double> getMin() override;
    std::optional<double> getMax() override;

private:
    AravisNumber m_number;
};
