#include "icons/QWidgetWithAccessToIconFont.h"

#include "icons/IconFont.h"

#include <utility>

QSharedPointer<IconFont> QWidgetWithAccessToIconFont::s_iconFont;

void QWidgetWithAccessToIconFont::setIconFontInstance(QSharedPointer<IconFont> iconFont)
{
    s_iconFont = std::move(iconFont);
}

QSharedPointer<IconFont> QWidgetWithAccessToIconFont::iconFontInstance() const
{
    return s_iconFont;
}
