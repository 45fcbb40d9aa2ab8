#pragma once

#include <QSize>
#include <QUuid>

namespace DShowLib {

// The layout of frames: subtype, colour-format code, size and byte count.
// A size of 0 x 0 stands for "any size".
class FrameTypeInfo
{
public:
    FrameTypeInfo() = default;
    FrameTypeInfo(int colorCode, QSize size);

    // The media subtype of a colour-format code; null for an unknown code.
    static QUuid subtypeOf(int colorCode);
    // Bits of one pixel of a colour-format code; 0 for an unknown code.
    static int bitsPerPixelOf(int colorCode);

    QUuid subtype;
    int colorCode = 0;
    int width = 0;
    int height = 0;
    qsizetype buffersize = 0;
};

} // namespace DShowLib
