#include "device/camera/VCDAbsoluteValueProperty.h"

namespace DShowLib {

VCDAbsoluteValueProperty::~VCDAbsoluteValueProperty() = default;

} // namespace DShowLib
