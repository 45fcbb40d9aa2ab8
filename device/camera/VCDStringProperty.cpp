#include "device/camera/VCDStringProperty.h"

namespace DShowLib {

VCDStringProperty::~VCDStringProperty() = default;

} // namespace DShowLib
