#include "device/camera/Error.h"

namespace DShowLib {

Error::Error(const QString& text)
    : m_isError(true)
    , m_text(text)
{
}

} // namespace DShowLib
