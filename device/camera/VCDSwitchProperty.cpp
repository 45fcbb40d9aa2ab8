#include "device/camera/VCDSwitchProperty.h"

namespace DShowLib {

VCDSwitchProperty::~VCDSwitchProperty() = default;

} // namespace DShowLib
