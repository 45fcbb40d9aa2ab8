#pragma once

#include "icons/IconFontIconPainter.h"

#include <QStringList>
#include <QVariant>

// Draws one font glyph centred in the rectangle, sized to its height, in the
// colour of the icon's mode and state; style 3 gets a second layer on top.
class IconFontCharIconPainter : public IconFontIconPainter
{
public:
    void paintGlyph(IconFont* iconFont, QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state,
                    const QVariantMap& options) override;

    // Option names tried before the base name, most specific first.
    static QStringList candidateOptionKeys(const QString& baseName, QIcon::Mode mode, QIcon::State state);
    // The first candidate with a non-empty value, else the base name's value.
    static QVariant lookupOptionValue(const QVariantMap& options, const QString& baseName, QIcon::Mode mode,
                                      QIcon::State state);
};
