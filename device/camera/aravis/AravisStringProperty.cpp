#include "device/camera/aravis/AravisStringProperty.h"

AravisStringProperty::AravisStringProperty(QSharedPointer<AravisFeature> feature,
                                           const QMap<QString, QByteArray>& entries)
    : m_feature(feature)
    , m_entries(entries)
{
}

bool AravisStringProperty::setString(const QString& value)
{
    const QByteArray entry = m_entries.value(value, value.toUtf8());
    GError* error = nullptr;
    arv_device_set_string_feature_value(m_feature->device(), m_feature->name().constData(), entry.constData(), &error);
    return AravisFeature::succeeded(error);
}
