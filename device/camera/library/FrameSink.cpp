#include "device/camera/library/FrameSink.h"

namespace DShowLib {

FrameSink::FrameSink(const QList<FrameTypeInfo>& frameTypes)
    : m_frameTypes(frameTypes)
{
}

FrameSink::~FrameSink() = default;

bool FrameSink::setSinkMode(int mode)
{
    if (mode != Running && mode != Paused)
        return false;
    m_mode = mode;
    return true;
}

} // namespace DShowLib
