#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

// Facts about a picture of a window, for the screenshot tests: the colour
// that fills an area, how much of an area is of a colour, and where in an
// area something is drawn on its background ("ink"). Areas are in the
// window's logical coordinates; the picture may be at a device pixel ratio.
class PictureProbe
{
public:
    explicit PictureProbe(const QImage& picture, qreal devicePixelRatio = 1.0);

    // The most frequent colour of the area.
    QColor dominantColour(const QRect& area) const;
    // Pixels of the area within the tolerance of the colour (on each channel).
    int pixelsNear(const QRect& area, const QColor& colour, int tolerance = 12) const;
    // Pixels of the area whose grey differs from the background's by more
    // than the threshold.
    int inkPixels(const QRect& area, const QColor& background, int threshold = 60) const;
    // Of the area's pixel rows, relative to its top, those that hold ink.
    QList<int> inkRows(const QRect& area, const QColor& background, int threshold = 60) const;
    // Distinct colours seen on a grid of the given step.
    int colourCount(int step) const;

    static bool near(const QColor& a, const QColor& b, int tolerance = 12);

private:
    QRect pixels(const QRect& area) const;

    QImage m_picture;
    qreal m_ratio;
};
