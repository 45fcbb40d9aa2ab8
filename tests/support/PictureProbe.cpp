#include "tests/support/PictureProbe.h"

#include <QHash>
#include <QSet>

#include <cstdlib>

PictureProbe::PictureProbe(const QImage& picture, qreal devicePixelRatio)
    : m_picture(picture.convertToFormat(QImage::Format_RGB32))
    , m_ratio(devicePixelRatio)
{
}

QRect PictureProbe::pixels(const QRect& area) const
{
    const QRect scaled(qRound(area.x() * m_ratio), qRound(area.y() * m_ratio), qRound(area.width() * m_ratio),
                       qRound(area.height() * m_ratio));
    return scaled.intersected(m_picture.rect());
}

bool PictureProbe::near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance;
}

QColor PictureProbe::dominantColour(const QRect& area) const
{
    QHash<QRgb, int> counts;
    const QRect r = pixels(area);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x)
            ++counts[m_picture.pixel(x, y)];
    }
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            best = it.key();
        }
    }
    return QColor(best);
}

int PictureProbe::pixelsNear(const QRect& area, const QColor& colour, int tolerance) const
{
    int count = 0;
    const QRect r = pixels(area);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (near(QColor(m_picture.pixel(x, y)), colour, tolerance))
                ++count;
        }
    }
    return count;
}

int PictureProbe::inkPixels(const QRect& area, const QColor& background, int threshold) const
{
    int count = 0;
    const int ground = qGray(background.rgb());
    const QRect r = pixels(area);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (std::abs(qGray(m_picture.pixel(x, y)) - ground) > threshold)
                ++count;
        }
    }
    return count;
}

QList<int> PictureProbe::inkRows(const QRect& area, const QColor& background, int threshold) const
{
    QList<int> rows;
    const int ground = qGray(background.rgb());
    const QRect r = pixels(area);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (std::abs(qGray(m_picture.pixel(x, y)) - ground) > threshold) {
                rows.append(y - r.top());
                break;
            }
        }
    }
    return rows;
}

int PictureProbe::colourCount(int step) const
{
    QSet<QRgb> colours;
    for (int y = 0; y < m_picture.height(); y += step) {
        for (int x = 0; x < m_picture.width(); x += step)
            colours.insert(m_picture.pixel(x, y));
    }
    return colours.size();
}
