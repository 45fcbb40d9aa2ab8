#pragma once

#include <QIcon>
#include <QRect>
#include <QVariantMap>

class IconFont;
class QPainter;

// Draws an icon of the icon-font service into a rectangle.
class IconFontIconPainter
{
public:
    virtual ~IconFontIconPainter();
    virtual void paintGlyph(IconFont* iconFont, QPainter* painter, const QRect& rect, QIcon::Mode mode,
                            QIcon::State state, const QVariantMap& options) = 0;
};
