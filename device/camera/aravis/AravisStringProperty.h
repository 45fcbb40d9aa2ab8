#pragma once

#include "device/camera/aravis/AravisFeature.h"
#include "device/camera/library/VCDStringProperty.h"

#include <QMap>
#include <QSharedPointer>

// An enumeration feature as a string property element; the texts callers
// give are turned into the feature's entries through a table.
class AravisStringProperty : public DShowLib::VCDStringProperty
{
public:
    AravisStringProperty(QSharedPointer<AravisFeature> feature, const QMap<QString, QByteArray>& entries);

    bool setString(const QString& value) override;

private:
    QSharedPointer<AravisFeature> m_feature;
    QMap<QString, QByteArray> m_entries;
};
