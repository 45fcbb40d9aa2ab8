#pragma once

#include "device/camera/CameraDevice.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QSharedPointer>
#include <QString>

// One scripted camera: its formats, rates and properties are set by the
// test, and every write is kept so that the test can see what changed.
class ScriptedCameraDevice : public DShowLib::CameraDevice
{
public:
    enum class Kind {
        AbsoluteValue,
        Range,
        Switch,
        String
    };

    struct Property
    {
        Kind kind = Kind::AbsoluteValue;
        double value = 0;
        double minimum = 0;
        double maximum = 0;
        bool refused = false; // every access fails
        int writes = 0;
        QStringList texts; // strings written
    };

    QList<DShowLib::VideoFormatItem> formats;
    QList<double> rates;
    QStringList calls; // format and rate settings, in order
    bool trigger = false;
    bool flippedH = false;
    bool flippedV = false;
    double fps = 0;
    DShowLib::VideoFormatItem currentFormat;

    // Adds a property; a key without one stands for a property the camera lacks.
    QSharedPointer<Property> addProperty(const QUuid& item, const QUuid& element, Kind kind, double value,
                                         double minimum = 0, double maximum = 0);
    QSharedPointer<Property> property(const QUuid& item, const QUuid& element) const;

    bool isValid() override { return true; }
    QList<DShowLib::VideoFormatItem> videoFormats() override { return formats; }
    bool setVideoFormat(const DShowLib::VideoFormatItem& format) override;
    DShowLib::VideoFormatItem videoFormat() override { return currentFormat; }
    QList<double> frameRates() override { return rates; }
    bool setFrameRate(double value) override;
    double frameRate() override { return fps; }
    bool setExternalTrigger(bool on) override;
    bool externalTrigger() override { return trigger; }
    bool setFlipH(bool on) override;
    bool flipH() override { return flippedH; }
    bool setFlipV(bool on) override;
    bool flipV() override { return flippedV; }
    bool referenceTime(qint64& time) override;
    QSharedPointer<DShowLib::VCDPropertyElement> propertyElement(const QUuid& item, const QUuid& element) override;

private:
    QMap<QPair<QUuid, QUuid>, QSharedPointer<Property>> m_properties;
};
