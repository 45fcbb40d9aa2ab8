#pragma once

#include "device/camera/aravis/AravisFeature.h"

#include <QSharedPointer>

#include <optional>

// A number feature (float or integer) read and written as a double; an
// optional selector feature is set first, for features shared by channels.
class AravisNumber
{
public:
    AravisNumber(QSharedPointer<AravisFeature> feature, QSharedPointer<AravisFeature> selector = {},
                 const QByteArray& selectorValue = {});

    std::optional<double> value();
    bool setValue(double value);
    std::optional<double> minimum();
    std::optional<double> maximum();

private:
    bool select();
    bool isFloat() const;
    std::optional<double> read(int what);

    QSharedPointer<AravisFeature> m_feature;
    QSharedPointer<AravisFeature> m_selector;
    QByteArray m_selectorValue;
};
