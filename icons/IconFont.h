#pragma once

#include "icons/IconFontStyleFont.h"

#include <QFont>
#include <QHash>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

class IconFontCharIconPainter;

// The icon-font service: turns a glyph code of one of the icon fonts into a
// QIcon drawn on demand at any size, in colours chosen per icon mode/state.
//
// Use: construct, loadStyleFonts(), setDefaultIconOption() as needed, then
// makeIcon(style, glyph) as often as needed. The service must outlive every
// icon made from it (the program keeps one for its whole run, see
// QWidgetWithAccessToIconFont). GUI thread only.
//
// Options (a QVariantMap, defaults below, given options win over defaults):
//   "color", "color-disabled", "color-active", "color-selected"   QColor
//   "duotone-color" (+ the same suffixes)   colour of the second layer
//   "text" (+ suffixes)   the text drawn; makeIcon() sets "text" itself
//   "scale-factor"        real, glyph height relative to the icon height
//   "anim"                IconFontAnimation*, rotates the glyph
// Each colour/text name may also carry "-off" for the Off state, e.g.
// "color-off" or "color-disabled-off".
class IconFont : public QObject
{
    Q_OBJECT
public:
    enum IconStyle {
        Solid = 0,
        Regular = 1,
        Light = 2,
        Duotone = 3, // drawn in two layers
        Brands = 4,
    };
    Q_ENUM(IconStyle)

    static const QString SolidFontFileName;
    static const QString RegularFontFileName;
    static const QString LightFontFileName;
    static const QString DuotoneFontFileName;
    static const QString BrandsFontFileName;

    explicit IconFont(QObject* parent = nullptr);
    ~IconFont() override;

    IconFont(const IconFont&) = delete;
    IconFont& operator=(const IconFont&) = delete;

    // Loads every style font from ":/fonts/" into the application font
    // database. Problems are only logged; a second call loads nothing again.
    void loadStyleFonts();

    // Adds a default option or replaces its value. Icons made earlier keep
    // the options they were made with.
    void setDefaultIconOption(const QString& name, const QVariant& value);

    // An icon drawing the glyph of the given style (IconStyle value).
    QIcon makeIcon(int style, int glyphCode, const QVariantMap& options = QVariantMap());

    // The font of a style at a pixel size; a default QFont for an unknown style.
    QFont styleFont(int style, int pixelSize) const;

    // The record of a style; a default record for an unknown style.
    IconFontStyleFont styleFontRecord(int style) const;

    QVariantMap defaultIconOptions() const;

private:
    QHash<int, IconFontStyleFont> m_styleFonts;
    QVariantMap m_defaultOptions;
    IconFontCharIconPainter* m_painter = nullptr;
};
