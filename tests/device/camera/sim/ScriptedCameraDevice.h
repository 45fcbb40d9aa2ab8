#pragma once

#include "device/camera/library/CameraDevice.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QSharedPointer>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

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
    bool hasClock = false;
    qint64 clock = 0; // the camera's clock when it has one

    ~ScriptedCameraDevice() override;

    // A frame the stream delivers on a thread of its own; ignored while the
    // camera is not streaming.
    void pushFrame(const DShowLib::FrameTypeInfo& type, const QByteArray& bytes, qint64 stamp1, qint64 stamp2 = 0);
    bool streaming();
    // How many frames the stream still has to deliver.
    int pendingFrames();

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
    bool startStream(FrameCallback callback) override;
    void stopStream() override;

private:
    struct Frame
    {
        DShowLib::FrameTypeInfo type;
        QByteArray bytes;
        qint64 stamp1 = 0;
        qint64 stamp2 = 0;
    };
    void deliverFrames();

    std::mutex m_streamLock;
    std::condition_variable m_streamWake;
    std::thread m_stream;
    bool m_streaming = false;
    bool m_delivering = false;
    QList<Frame> m_frames;
    FrameCallback m_callback;

    QMap<QPair<QUuid, QUuid>, QSharedPointer<Property>> m_properties;
};
