#include "icons/IconFontCharIconPainter.h"

#include "icons/IconFont.h"
#include "icons/IconFontAnimation.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

// The second layer of a two-layer glyph sits in plane 16 at 0x100000 + code.
constexpr char32_t SecondLayerOffset = 0x100000;

} // namespace

QStringList IconFontCharIconPainter::candidateOptionKeys(const QString& baseName, QIcon::Mode mode, QIcon::State state)
{
    QString modeSuffix;
    switch (mode) {
    case QIcon::Disabled: modeSuffix = QStringLiteral("-disabled"); break;
    case QIcon::Active: modeSuffix = QStringLiteral("-active"); break;
    case QIcon::Selected: modeSuffix = QStringLiteral("-selected"); break;
    case QIcon::Normal: break;
    }
    const QString stateSuffix = state == QIcon::Off ? QStringLiteral("-off") : QString();

    QStringList keys;
    if (!modeSuffix.isEmpty()) {
        if (!stateSuffix.isEmpty())
            keys << baseName + modeSuffix + stateSuffix;
        keys << baseName + modeSuffix;
    }
    if (!stateSuffix.isEmpty())
        keys << baseName + stateSuffix;
    return keys;
}

QVariant IconFontCharIconPainter::lookupOptionValue(const QVariantMap& options, const QString& baseName,
                                                    QIcon::Mode mode, QIcon::State state)
{
    const QStringList keys = candidateOptionKeys(baseName, mode, state);
    for (const QString& key : keys) {
        const auto it = options.constFind(key);
        if (it != options.cend() && !it->toString().isEmpty())
            return *it;
    }
    return options.value(baseName);
}

void IconFontCharIconPainter::paintGlyph(IconFont* iconFont, QPainter* painter, const QRect& rect, QIcon::Mode mode,
                                         QIcon::State state, const QVariantMap& options)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    if (IconFontAnimation* animation = options.value(QStringLiteral("anim")).value<IconFontAnimation*>())
        animation->prepareRotation(painter, rect);

    const QColor color = lookupOptionValue(options, QStringLiteral("color"), mode, state).value<QColor>();
    QString text = lookupOptionValue(options, QStringLiteral("text"), mode, state).toString();
    const int style = lookupOptionValue(options, QStringLiteral("style"), mode, state).toInt();

    painter->setPen(color);
    const QRectF drawRect(rect);

    const double scaleFactor = options.value(QStringLiteral("scale-factor")).toDouble();
    const int pixelSize = static_cast<int>(std::round(scaleFactor * drawRect.height()));
    if (pixelSize < 1) { // no font can be that small: nothing to draw
        painter->restore();
        return;
    }
    QFont font = iconFont->styleFont(style, pixelSize);

    // Shrink a glyph only when it is too wide; one that is only too tall keeps its size.
    const QRectF bounds = QFontMetricsF(font, painter->device()).boundingRect(drawRect, Qt::AlignCenter, text);
    if (bounds.width() > drawRect.width()) {
        const double heightFactor = drawRect.height() * 0.95 / bounds.height();
        const double widthFactor = drawRect.width() * 0.95 / bounds.width();
        const double factor = widthFactor < heightFactor ? widthFactor : heightFactor;
        font.setPixelSize(qMax(1, static_cast<int>(font.pixelSize() * factor)));
    }

    painter->setFont(font);
    painter->drawText(drawRect, Qt::AlignCenter, text);

    if (style == IconFont::Duotone && !text.isEmpty()) {
        painter->setPen(lookupOptionValue(options, QStringLiteral("duotone-color"), mode, state).value<QColor>());
        const char32_t secondLayer = SecondLayerOffset + text.at(0).unicode();
        text = QString::fromUcs4(&secondLayer, 1);
        painter->drawText(drawRect, Qt::AlignCenter, text);
    }

    painter->restore();
}
