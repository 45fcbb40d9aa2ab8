#pragma once

#include <QMap>
#include <QString>

// The camera library's colour-format code of a video format; the camera
// handler knows these three.
enum class CameraColorFormat : int {
    None = 0,
    RGB32 = 1,
    Y800 = 7,
    Y16 = 11,
};

// A code not in it gives an empty name.
extern const QMap<int, QString> CameraColorFormatNames;
