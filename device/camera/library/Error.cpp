#include "device/camera/library/Error.h"

namespace DShowLib {

Error::Error(const QString& text)
    : m_isError(true)
    , m_text(text)
{
}

} // namespace DShowLib
