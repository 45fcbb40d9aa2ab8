#include "device/camera/library/VCDAbsoluteValueProperty.h"

namespace DShowLib {

VCDAbsoluteValueProperty::~VCDAbsoluteValueProperty() = default;

} // namespace DShowLib
