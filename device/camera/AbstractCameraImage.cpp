#include "device/camera/AbstractCameraImage.h"

AbstractCameraImage::AbstractCameraImage(QObject* parent)
    : QObject(parent)
{
}
