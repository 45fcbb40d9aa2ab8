#include "device/camera/aravis/AravisSwitchProperty.h"

AravisSwitchProperty::AravisSwitchProperty(QSharedPointer<AravisFeature> feature, const QByteArray& onEntry,
                                           const QByteArray& offEntry)
    : m_feature(feature)
    , m_onEntry(onEntry)
    , m_offEntry(offEntry)
{
}

std::optional<bool> AravisSwitchProperty::getSwitch()
{
    GError* error = nullptr;
    if (ARV_IS_GC_BOOLEAN(m_feature->node())) {
        const bool on = arv_gc_boolean_get_value(ARV_GC_BOOLEAN(m_feature->node()), &error);
        if (!AravisFeature::succeeded(error))
            return std::nullopt;
        return on;
    }
    const char* entry = arv_device_get_string_feature_value(m_feature->device(), m_feature->name().constData(), &error);
    if (!AravisFeature::succeeded(error) || !entry)
        return std::nullopt;
    // Anything but the off entry counts as on (an automatic mode "Once" runs).
    return m_offEntry != entry;
}

bool AravisSwitchProperty::setSwitch(bool on)
{
    GError* error = nullptr;
    if (ARV_IS_GC_BOOLEAN(m_feature->node()))
        arv_gc_boolean_set_value(ARV_GC_BOOLEAN(m_feature->node()), on, &error);
    else
        arv_device_set_string_feature_value(m_feature->device(), m_feature->name().constData(),
                                            (on ? m_onEntry : m_offEntry).constData(), &error);
    return AravisFeature::succeeded(error);
}
