#pragma once

#include <QString>

namespace DShowLib {

// A property element written as a text. A fault gives false.
class VCDStringProperty
{
public:
    virtual ~VCDStringProperty();

    virtual bool setString(const QString& value) = 0;
};

} // namespace DShowLib
