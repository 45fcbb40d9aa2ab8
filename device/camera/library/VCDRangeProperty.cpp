#include "device/camera/library/VCDRangeProperty.h"

namespace DShowLib {

VCDRangeProperty::~VCDRangeProperty() = default;

} // namespace DShowLib
