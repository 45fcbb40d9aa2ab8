#pragma once

#include <QString>

#include <stdexcept>

namespace zaber {
namespace motion {

// The one failure of the stage library: a refused command, a fault flag in
// a reply, a reply that did not come in time, a lost port, or a unit the
// library cannot convert.
class MotionLibException : public std::runtime_error
{
public:
    explicit MotionLibException(const QString& message);

    QString message() const;
};

} // namespace motion
} // namespace zaber
