#include "device/camera/library/VCDSwitchProperty.h"

namespace DShowLib {

VCDSwitchProperty::~VCDSwitchProperty() = default;

} // namespace DShowLib
