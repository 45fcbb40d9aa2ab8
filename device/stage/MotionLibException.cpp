#include "device/stage/MotionLibException.h"

namespace zaber {
namespace motion {

MotionLibException::MotionLibException(const QString& message)
    : std::runtime_error(message.toStdString())
{
}

QString MotionLibException::message() const
{
    return QString::fromStdString(what());
}

} // namespace motion
} // namespace zaber
