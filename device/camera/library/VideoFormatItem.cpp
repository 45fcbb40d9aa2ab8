#include "device/camera/library/VideoFormatItem.h"

#include <QMap>
#include <QRegularExpression>

namespace DShowLib {

namespace {

const QMap<int, QString>& colorNames()
{
    static const QMap<int, QString> names = {
        { VideoFormatItem::RGB32, QStringLiteral("RGB32") },
        { VideoFormatItem::Y800, QStringLiteral("Y800") },
        { VideoFormatItem::Y16, QStringLiteral("Y16") },
    };
    return names;
}

} // namespace

VideoFormatItem::VideoFormatItem(int frameType, const QSize& size)
    : m_frameType(frameType)
    , m_size(size)
{
}

QString VideoFormatItem::getSizeString_() const
{
    return QStringLiteral("%1x%2").arg(m_size.width()).arg(m_size.height());
}

QString VideoFormatItem::toString() const
{
    return QStringLiteral("%1 (%2)").arg(colorName(m_frameType), getSizeString_());
}

QString VideoFormatItem::colorName(int frameType)
{
    return colorNames().value(frameType);
}

int VideoFormatItem::colorCode(const QString& name)
{
    return colorNames().key(name, 0);
}

bool VideoFormatItem::fromString(const QString& text, VideoFormatItem& item)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\S+) \\((\\d+)x(\\d+)\\)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const int code = colorCode(match.captured(1));
    const QSize size(match.captured(2).toInt(), match.captured(3).toInt());
    if (code == 0 || size.isEmpty())
        return false;
    item = VideoFormatItem(code, size);
    return true;
}

} // namespace DShowLib
