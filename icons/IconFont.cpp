#include "icons/IconFont.h"

#include "icons/IconFontCharIconPainter.h"
#include "icons/IconFontIconPainterIconEngine.h"

#include <QColor>
#include <QDebug>
#include <QFile>
#include <QFontDatabase>
#include <QStringList>

const QString IconFont::SolidFontFileName = QStringLiteral("Font Awesome 5 Pro-Solid-900.otf");
const QString IconFont::RegularFontFileName = QStringLiteral("Font Awesome 5 Pro-Regular-400.otf");
const QString IconFont::LightFontFileName = QStringLiteral("Font Awesome 5 Pro-Light-300.otf");
const QString IconFont::DuotoneFontFileName = QStringLiteral("Font Awesome 5 Duotone-Solid-900.otf");
const QString IconFont::BrandsFontFileName = QStringLiteral("Font Awesome 5 Brands-Regular-400.otf");

namespace {

IconFontStyleFont makeStyleFont(const QString& fileName, int weight)
{
    IconFontStyleFont styleFont;
    styleFont.fontFileName = fileName;
    styleFont.fontWeight = weight;
    return styleFont;
}

} // namespace

IconFont::IconFont(QObject* parent)
    : QObject(parent)
{
    m_defaultOptions.insert(QStringLiteral("color"), QColor(50, 50, 50, 255));
    m_defaultOptions.insert(QStringLiteral("color-disabled"), QColor(70, 70, 70, 60));
    m_defaultOptions.insert(QStringLiteral("color-active"), QColor(10, 10, 10, 255));
    m_defaultOptions.insert(QStringLiteral("color-selected"), QColor(10, 10, 10, 255));
    m_defaultOptions.insert(QStringLiteral("scale-factor"), 1.0);
    m_defaultOptions.insert(QStringLiteral("duotone-color"), QColor(50, 50, 50, 127));
    m_defaultOptions.insert(QStringLiteral("duotone-color-disabled"), QColor(70, 70, 70, 50));
    m_defaultOptions.insert(QStringLiteral("duotone-color-active"), QColor(10, 10, 10, 200));
    m_defaultOptions.insert(QStringLiteral("duotone-color-selected"), QColor(10, 10, 10, 210));
    m_defaultOptions.insert(QStringLiteral("text"), QVariant());
    m_defaultOptions.insert(QStringLiteral("text-disabled"), QVariant());
    m_defaultOptions.insert(QStringLiteral("text-active"), QVariant());
    m_defaultOptions.insert(QStringLiteral("text-selected"), QVariant());

    m_painter = new IconFontCharIconPainter;

    m_styleFonts.insert(Solid, makeStyleFont(SolidFontFileName, QFont::Black));
    m_styleFonts.insert(Regular, makeStyleFont(RegularFontFileName, QFont::Normal));
    m_styleFonts.insert(Light, makeStyleFont(LightFontFileName, QFont::Light));
    m_styleFonts.insert(Duotone, makeStyleFont(DuotoneFontFileName, QFont::Black));
    m_styleFonts.insert(Brands, makeStyleFont(BrandsFontFileName, QFont::Normal));
}

IconFont::~IconFont()
{
    delete m_painter;
}

void IconFont::loadStyleFonts()
{
    // The font files are compiled-in resources of an object library
    // (resources/), registered at static initialisation: nothing to do here.
    for (auto it = m_styleFonts.begin(); it != m_styleFonts.end(); ++it) {
        IconFontStyleFont& styleFont = it.value();
        if (styleFont.fontId < 0) {
            QFile file(QStringLiteral(":/fonts/") + styleFont.fontFileName);
            if (!file.open(QIODevice::ReadOnly)) {
                qDebug() << "Icon font" << styleFont.fontFileName << "could not be loaded!";
                continue;
            }
            const QByteArray data = file.readAll();
            file.close();
            styleFont.fontId = QFontDatabase::addApplicationFontFromData(data);
        }
        const QStringList families = QFontDatabase::applicationFontFamilies(styleFont.fontId);
        if (families.isEmpty()) {
            qDebug() << "Icon font" << styleFont.fontFileName << " font is empty?!";
            styleFont.fontId = -1;
            return;
        }
        styleFont.fontFamily = families.first();
    }
}

void IconFont::setDefaultIconOption(const QString& name, const QVariant& value)
{
    m_defaultOptions.insert(name, value);
}

QIcon IconFont::makeIcon(int style, int glyphCode, const QVariantMap& options)
{
    QVariantMap merged = m_defaultOptions;
    for (auto it = options.cbegin(); it != options.cend(); ++it)
        merged.insert(it.key(), it.value());
    merged.insert(QStringLiteral("text"), QString(QChar(static_cast<char16_t>(glyphCode))));
    merged.insert(QStringLiteral("style"), style);
    return QIcon(new IconFontIconPainterIconEngine(this, m_painter, merged));
}

QFont IconFont::styleFont(int style, int pixelSize) const
{
    const auto it = m_styleFonts.constFind(style);
    if (it == m_styleFonts.cend())
        return QFont();
    QFont font(it->fontFamily);
    font.setPixelSize(pixelSize);
    font.setWeight(static_cast<QFont::Weight>(it->fontWeight));
    return font;
}

IconFontStyleFont IconFont::styleFontRecord(int style) const
{
    return m_styleFonts.value(style);
}

QVariantMap IconFont::defaultIconOptions() const
{
    return m_defaultOptions;
}
