#include "device/camera/VCDRangeProperty.h"

namespace DShowLib {

VCDRangeProperty::~VCDRangeProperty() = default;

} // namespace DShowLib
