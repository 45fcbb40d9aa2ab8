#include "device/camera/aravis/AravisNumber.h"

#include <cmath>

namespace {

enum What {
    Value,
    Minimum,
    Maximum
};

} // namespace

AravisNumber::AravisNumber(QSharedPointer<AravisFeature> feature, QSharedPointer<AravisFeature> selector,
                           const QByteArray& selectorValue)
    : m_feature(feature)
    , m_selector(selector)
    , m_selectorValue(selectorValue)
{
}

bool AravisNumber::select()
{
    if (!m_selector)
        return true;
    GError* error = nullptr;
    arv_device_set_string_feature_value(m_selector->device(), m_selector->name().constData(),
                                        m_selectorValue.constData(), &error);
    return AravisFeature::succeeded(error);
}

bool AravisNumber::isFloat() const
{
    return ARV_IS_GC_FLOAT(m_feature->node());
}

std::optional<double> AravisNumber::read(int what)
{
    if (!select())
        return std::nullopt;
    GError* error = nullptr;
    double result = 0.0;
    if (isFloat()) {
        ArvGcFloat* number = ARV_GC_FLOAT(m_feature->node());
        result = what == Value     ? arv_gc_float_get_value(number, &error)
                 : what == Minimum ? arv_gc_float_get_min(number, &error)
                                   : arv_gc_float_get_max(number, &error);
    } else if (ARV_IS_GC_INTEGER(m_feature->node())) {
        ArvGcInteger* number = ARV_GC_INTEGER(m_feature->node());
        result = double(what == Value     ? arv_gc_integer_get_value(number, &error)
                        : what == Minimum ? arv_gc_integer_get_min(number, &error)
                                          : arv_gc_integer_get_max(number, &error));
    } else {
        return std::nullopt;
    }
    if (!AravisFeature::succeeded(error))
        return std::nullopt;
    return result;
}

std::optional<double> AravisNumber::value()
{
    return read(Value);
}

std::optional<double> AravisNumber::minimum()
{
    return read(Minimum);
}

std::optional<double> AravisNumber::maximum()
{
    return read(Maximum);
}

bool AravisNumber::setValue(double value)
{
    if (!select())
        return false;
    GError* error = nullptr;
    if (isFloat())
        arv_gc_float_set_value(ARV_GC_FLOAT(m_feature->node()), value, &error);
    else if (ARV_IS_GC_INTEGER(m_feature->node()))
        arv_gc_integer_set_value(ARV_GC_INTEGER(m_feature->node()), gint64(std::llround(value)), &error);
    else
        return false;
    return AravisFeature::succeeded(error);
}
