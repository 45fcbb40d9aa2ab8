#pragma once

#include <QSize>
#include <QString>

namespace DShowLib {

// One video format a camera offers: a colour-format code and a size.
class VideoFormatItem
{
public:
    // The colour-format codes the layer gives.
    static constexpr int RGB32 = 1;
    static constexpr int Y800 = 7;
    static constexpr int Y16 = 11;

    VideoFormatItem() = default;
    VideoFormatItem(int frameType, const QSize& size);

    int getFrameType() const { return m_frameType; }
    QSize getSize() const { return m_size; }
    // Width "x" height.
    QString getSizeString_() const;
    // The format text the grabber takes: colour name, then the size in brackets.
    QString toString() const;

    static QString colorName(int frameType);
    static int colorCode(const QString& name);
    // Reads a format text back; false when it names no known colour or size.
    static bool fromString(const QString& text, VideoFormatItem& item);

    bool operator==(const VideoFormatItem& other) const
    {
        return m_frameType == other.m_frameType && m_size == other.m_size;
    }

private:
    int m_frameType = 0;
    QSize m_size;
};

} // namespace DShowLib
