#include "device/camera/library/VCDStringProperty.h"

namespace DShowLib {

VCDStringProperty::~VCDStringProperty() = default;

} // namespace DShowLib
