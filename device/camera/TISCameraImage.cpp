#include "device/camera/TISCameraImage.h"

#include "device/camera/library/VideoFormatItem.h"

#include <QDebug>
#include <QUuid>

namespace {

bool isBottomUp(const QUuid& subtype)
{
    static const QList<QUuid> bottomUp = {
        QUuid(QStringLiteral("{E436EB7E-524F-11CE-9F53-0020AF0BA770}")),
        QUuid(QStringLiteral("{E436EB7D-524F-11CE-9F53-0020AF0BA770}")),
        QUuid(QStringLiteral("{E436EB7B-524F-11CE-9F53-0020AF0BA770}")),
        QUuid(QStringLiteral("{E436EB7C-524F-11CE-9F53-0020AF0BA770}")),
        QUuid(QStringLiteral("{E436EB7A-524F-11CE-9F53-0020AF0BA770}")),
        QUuid(QStringLiteral("{36424752-0000-0010-8000-00AA00389B71}")),
    };
    return bottomUp.contains(subtype);
}

} // namespace

TISCameraImage::TISCameraImage(QObject* parent)
    : AbstractCameraImage(parent)
{
}

TISCameraImage::TISCameraImage(QSharedPointer<MovraDeviceInfo> deviceInfo,
                               DShowLib::smart_ptr<DShowLib::FrameQueueBuffer> buffer, QObject* parent)
    : AbstractCameraImage(parent)
{
    m_deviceInfo = deviceInfo;
    if (!buffer)
        return;
    const DShowLib::FrameTypeInfo& type = buffer->getFrameType();
    m_pixelData = QByteArray(reinterpret_cast<const char*>(buffer->getPtr()), type.buffersize);
    m_metadataStamp1 = buffer->getMetadataStamp1();
    m_metadataStamp2 = buffer->getMetadataStamp2();

    QImage::Format format = QImage::Format_Invalid;
    switch (type.colorCode) {
    case DShowLib::VideoFormatItem::Y800:
        format = QImage::Format_Grayscale8;
        m_bitsPerPixel = 8;
        break;
    case DShowLib::VideoFormatItem::Y16:
        format = QImage::Format_Grayscale16;
        m_bitsPerPixel = 16;
        break;
    case DShowLib::VideoFormatItem::RGB32:
        format = QImage::Format_RGB32;
        m_bitsPerPixel = 32;
        break;
    default:
        // Unknown bytes are not read as RGB32.
        qDebug() << "Camera frame of unknown colour code" << type.colorCode << "gives no image";
        return;
    }
    // Lines are as long as the pixels make them, not padded to 32 bits.
    const qsizetype bytesPerLine = qsizetype(type.width) * (m_bitsPerPixel / 8);
    if (type.width <= 0 || type.height <= 0 || bytesPerLine * type.height > m_pixelData.size()) {
        qDebug() << "Camera frame of" << m_pixelData.size() << "bytes is too short for" << type.width << "x"
                 << type.height << "at" << m_bitsPerPixel << "bits per pixel; no image";
        return;
    }
    const QImage view(reinterpret_cast<const uchar*>(m_pixelData.constData()), type.width, type.height, bytesPerLine,
                      format);
    m_image = isBottomUp(type.subtype) ? view.mirrored(false, true) : view;
}
