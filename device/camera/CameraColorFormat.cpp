#include "device/camera/CameraColorFormat.h"

const QMap<int, QString> CameraColorFormatNames = {
    { int(CameraColorFormat::RGB32), QStringLiteral("RGB32") },
    { int(CameraColorFormat::Y800), QStringLiteral("Y800") },
    { int(CameraColorFormat::Y16), QStringLiteral("Y16") },
};
