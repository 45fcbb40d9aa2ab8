#pragma once

#include "device/camera/AbstractCameraImage.h"
#include "device/camera/library/FrameQueueBuffer.h"

#include <QByteArray>

// A frame made from one library frame buffer, with its own copy of the bytes.
class TISCameraImage : public AbstractCameraImage
{
    Q_OBJECT

public:
    explicit TISCameraImage(QObject* parent = nullptr);
    // The image stays null when the colour code is unknown or the buffer is
    // shorter than its width, height and pixel size call for.
    TISCameraImage(QSharedPointer<MovraDeviceInfo> deviceInfo, DShowLib::smart_ptr<DShowLib::FrameQueueBuffer> buffer,
                   QObject* parent = nullptr);

private:
    QByteArray m_pixelData;
};
