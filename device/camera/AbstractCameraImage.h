#pragma once

#include "device/MovraDeviceInfo.h"

#include <QImage>
#include <QObject>
#include <QSharedPointer>

// One camera frame as the rest of the program sees it.
class AbstractCameraImage : public QObject
{
    Q_OBJECT

public:
    explicit AbstractCameraImage(QObject* parent = nullptr);

    QImage image() const { return m_image; }
    qint64 metadataStamp1() const { return m_metadataStamp1; }
    qint64 metadataStamp2() const { return m_metadataStamp2; }
    int bitsPerPixel() const { return m_bitsPerPixel; }
    QSharedPointer<MovraDeviceInfo> deviceInfo() const { return m_deviceInfo; }

protected:
    QImage m_image;
    qint64 m_metadataStamp1 = -1;
    qint64 m_metadataStamp2 = 0;
    int m_bitsPerPixel = 0;
    QSharedPointer<MovraDeviceInfo> m_deviceInfo;
};
