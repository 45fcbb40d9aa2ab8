#pragma once

#include <QString>

namespace DShowLib {

// The result of a camera-library operation: no error, or a fault with its text.
class Error
{
public:
    Error() = default;
    explicit Error(const QString& text);

    bool isError() const { return m_isError; }
    QString toString_() const { return m_text; }

private:
    bool m_isError = false;
    QString m_text;
};

} // namespace DShowLib
