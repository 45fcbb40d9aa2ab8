#include "device/camera/library/FrameTypeInfo.h"

#include "device/camera/library/VideoFormatItem.h"

namespace DShowLib {

FrameTypeInfo::FrameTypeInfo(int code, QSize size)
    : subtype(subtypeOf(code))
    , colorCode(code)
    , width(size.width())
    , height(size.height())
    , buffersize(qsizetype(size.width()) * size.height() * bitsPerPixelOf(code) / 8)
{
}

QUuid FrameTypeInfo::subtypeOf(int code)
{
    switch (code) {
    case VideoFormatItem::RGB32: return QUuid(QStringLiteral("{E436EB7E-524F-11CE-9F53-0020AF0BA770}"));
    case VideoFormatItem::Y800: return QUuid(QStringLiteral("{30303859-0000-0010-8000-00AA00389B71}"));
    case VideoFormatItem::Y16: return QUuid(QStringLiteral("{20363159-0000-0010-8000-00AA00389B71}"));
    default: return QUuid();
    }
}

int FrameTypeInfo::bitsPerPixelOf(int code)
{
    switch (code) {
    case VideoFormatItem::RGB32: return 32;
    case VideoFormatItem::Y800: return 8;
    case VideoFormatItem::Y16: return 16;
    default: return 0;
    }
}

} // namespace DShowLib
