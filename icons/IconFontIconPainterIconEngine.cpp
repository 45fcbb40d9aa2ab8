#include "icons/IconFontIconPainterIconEngine.h"

#include "icons/IconFontIconPainter.h"

#include <QPainter>
#include <QPixmap>

IconFontIconPainterIconEngine::IconFontIconPainterIconEngine(IconFont* iconFont, IconFontIconPainter* painter,
                                                             const QVariantMap& options)
    : m_iconFont(iconFont)
    , m_painter(painter)
    , m_options(options)
{
}

IconFontIconPainterIconEngine::~IconFontIconPainterIconEngine() = default;

void IconFontIconPainterIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    m_painter->paintGlyph(m_iconFont, painter, rect, mode, state, m_options);
}

QPixmap IconFontIconPainterIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    QPixmap pixmap(size);
    if (pixmap.isNull())
        return pixmap;
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    }
    return pixmap;
}

QIconEngine* IconFontIconPainterIconEngine::clone() const
{
    return new IconFontIconPainterIconEngine(m_iconFont, m_painter, m_options);
}
