#pragma once

#include "device/camera/aravis/AravisFeature.h"
#include "device/camera/library/VCDSwitchProperty.h"

#include <QSharedPointer>

// A boolean feature, or an enumeration with one entry for on and one for
// off, as a switch property element.
class AravisSwitchProperty : public DShowLib::VCDSwitchProperty
{
public:
    AravisSwitchProperty(QSharedPointer<AravisFeature> feature, const QByteArray& onEntry, const QByteArray& offEntry);

    std::optional<bool> getSwitch() override;
    bool setSwitch(bool on) override;

private:
    QSharedPointer<AravisFeature> m_feature;
    QByteArray m_onEntry;
    QByteArray m_offEntry;
};
