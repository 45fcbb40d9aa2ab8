#include "device/camera/aravis/AravisCameraDevice.h"

#include "device/camera/aravis/AravisAbsoluteValueProperty.h"
#include "device/camera/aravis/AravisRangeProperty.h"
#include "device/camera/aravis/AravisStringProperty.h"
#include "device/camera/aravis/AravisSwitchProperty.h"
#include "device/camera/library/CameraPropertyIds.h"

#include <QDebug>

#include <algorithm>

namespace {

using DShowLib::VideoFormatItem;
namespace ids = nsCameraProperty;

// The pixel formats that give the layer's colour codes, preferred first.
struct PixelFormatRule
{
    ArvPixelFormat format;
    int colorCode;
};

const QList<PixelFormatRule>& pixelFormatRules()
{
    static const QList<PixelFormatRule> rules = {
        { ARV_PIXEL_FORMAT_MONO_8, VideoFormatItem::Y800 },
        { ARV_PIXEL_FORMAT_MONO_16, VideoFormatItem::Y16 },
        { ARV_PIXEL_FORMAT_BGRA_8_PACKED, VideoFormatItem::RGB32 },
        { ARV_PIXEL_FORMAT_RGBA_8_PACKED, VideoFormatItem::RGB32 },
        { ARV_PIXEL_FORMAT_RGB_8_PACKED, VideoFormatItem::RGB32 },
        { ARV_PIXEL_FORMAT_BGR_8_PACKED, VideoFormatItem::RGB32 },
    };
    return rules;
}

enum class Kind {
    AbsoluteValue,
    Range,
    Switch,
    String
};

// One property element and the GenICam features that stand for it.
struct PropertyRule
{
    QUuid item;
    QUuid element;
    Kind kind;
    QStringList features;
    QByteArray onEntry;                // switch on an enumeration
    QByteArray offEntry;               // switch off an enumeration
    QMap<QString, QByteArray> entries; // string texts to enumeration entries
    QString selector = {};
    QByteArray selectorValue = {};
};

const QList<PropertyRule>& propertyRules()
{
    static const QList<PropertyRule> rules = {
        { ids::ExposureItem,
          ids::ValueElement,
          Kind::AbsoluteValue,
          { "ExposureTime", "ExposureTimeAbs" },
          {},
          {},
          {} },
        { ids::ExposureItem, ids::AutoElement, Kind::Switch, { "ExposureAuto" }, "Continuous", "Off", {} },
        { ids::GainItem, ids::ValueElement, Kind::AbsoluteValue, { "Gain", "GainAbs", "GainRaw" }, {}, {}, {} },
        { ids::GainItem, ids::AutoElement, Kind::Switch, { "GainAuto" }, "Continuous", "Off", {} },
        { ids::WhiteBalanceItem, ids::AutoElement, Kind::Switch, { "BalanceWhiteAuto" }, "Continuous", "Off", {} },
        { ids::WhiteBalanceItem,
          ids::WhiteBalanceRedElement,
          Kind::Range,
          { "BalanceRatioRaw" },
          {},
          {},
          {},
          "BalanceRatioSelector",
          "Red" },
        { ids::WhiteBalanceItem,
          ids::WhiteBalanceGreenElement,
          Kind::Range,
          { "BalanceRatioRaw" },
          {},
          {},
          {},
          "BalanceRatioSelector",
          "Green" },
        { ids::WhiteBalanceItem,
          ids::WhiteBalanceBlueElement,
          Kind::Range,
          { "BalanceRatioRaw" },
          {},
          {},
          {},
          "BalanceRatioSelector",
          "Blue" },
        { ids::BlackLevelItem, ids::ValueElement, Kind::Range, { "BlackLevel", "BlackLevelRaw" }, {}, {}, {} },
        { ids::StrobeItem, ids::ValueElement, Kind::Switch, { "StrobeEnable" }, "On", "Off", {} },
        { ids::StrobeItem,
          ids::StrobeSwitchElement,
          Kind::Switch,
          { "StrobePolarity" },
          "ActiveHigh",
          "ActiveLow",
          {} },
        { ids::StrobeItem,
          ids::StrobeModeElement,
          Kind::String,
          { "StrobeOperation" },
          {},
          {},
          { { "exposure", "Exposure" }, { "constant", "FixedDuration" } } },
        { ids::StrobeItem, ids::StrobeValueElement, Kind::Range, { "StrobeDuration" }, {}, {}, {} },
        { ids::TriggerItem, ids::TriggerModeElement, Kind::String, { "ExposureMode" }, {}, {}, {} },
        { ids::TriggerItem,
          ids::TriggerSwitchElement,
          Kind::Switch,
          { "TriggerActivation" },
          "RisingEdge",
          "FallingEdge",
          {} },
        { ids::FlipHorizontalItem, ids::ValueElement, Kind::Switch, { "ReverseX" }, "On", "Off", {} },
        { ids::FlipVerticalItem, ids::ValueElement, Kind::Switch, { "ReverseY" }, "On", "Off", {} },
        { ids::CentringItem, ids::AutoCentringElement, Kind::Switch, { "OffsetAutoCenter" }, "On", "Off", {} },
        { ids::CentringItem, ids::XOffsetElement, Kind::Range, { "OffsetX" }, {}, {}, {} },
        { ids::CentringItem, ids::YOffsetElement, Kind::Range, { "OffsetY" }, {}, {}, {} },
    };
    return rules;
}

} // namespace

AravisCameraDevice::AravisCameraDevice(ArvCamera* camera)
    : m_camera(camera)
{
    m_controlLostHandler = g_signal_connect(arv_camera_get_device(m_camera), "control-lost",
                                            G_CALLBACK(&AravisCameraDevice::onControlLost), this);
}

AravisCameraDevice::~AravisCameraDevice()
{
    stopStream();
    g_signal_handler_disconnect(arv_camera_get_device(m_camera), m_controlLostHandler);
    g_object_unref(m_camera);
}

void AravisCameraDevice::onControlLost(ArvDevice*, gpointer self)
{
    static_cast<AravisCameraDevice*>(self)->m_controlLost = true;
}

const QList<double>& AravisCameraDevice::commonFrameRates()
{
    static const QList<double> rates = { 240, 120, 100, 60, 50, 30, 25, 15, 10, 7.5, 5, 3.75, 2.5, 1 };
    return rates;
}

const QList<QSize>& AravisCameraDevice::commonSizes()
{
    static const QList<QSize> sizes = { { 1920, 1080 }, { 1280, 1024 }, { 1280, 960 }, { 1280, 720 },
                                        { 1024, 768 },  { 800, 600 },   { 640, 480 },  { 320, 240 } };
    return sizes;
}

bool AravisCameraDevice::isValid()
{
    return !m_controlLost;
}

QMap<int, ArvPixelFormat> AravisCameraDevice::pixelFormats()
{
    QMap<int, ArvPixelFormat> formats;
    guint count = 0;
    GError* error = nullptr;
    gint64* offered = arv_camera_dup_available_pixel_formats(m_camera, &count, &error);
    if (!AravisFeature::succeeded(error) || !offered)
        return formats;
    for (const PixelFormatRule& rule : pixelFormatRules()) {
        if (formats.contains(rule.colorCode))
            continue;
        for (guint i = 0; i < count; ++i) {
            if (ArvPixelFormat(offered[i]) == rule.format) {
                formats.insert(rule.colorCode, rule.format);
                break;
            }
        }
    }
    g_free(offered);
    return formats;
}

QList<QSize> AravisCameraDevice::sizes()
{
    gint minWidth = 0, maxWidth = 0, minHeight = 0, maxHeight = 0;
    GError* error = nullptr;
    arv_camera_get_width_bounds(m_camera, &minWidth, &maxWidth, &error);
    if (AravisFeature::succeeded(error))
        arv_camera_get_height_bounds(m_camera, &minHeight, &maxHeight, &error);
    if (!AravisFeature::succeeded(error) || maxWidth <= 0 || maxHeight <= 0)
        return {};
    const gint widthStep = std::max(1, arv_camera_get_width_increment(m_camera, nullptr));
    const gint heightStep = std::max(1, arv_camera_get_height_increment(m_camera, nullptr));

    QList<QSize> result = { QSize(maxWidth, maxHeight) };
    for (const QSize& size : commonSizes()) {
        const bool fits = size.width() >= minWidth && size.width() <= maxWidth && size.height() >= minHeight
                          && size.height() <= maxHeight && (size.width() - minWidth) % widthStep == 0
                          && (size.height() - minHeight) % heightStep == 0;
        if (fits && !result.contains(size))
            result.append(size);
    }
    return result;
}

QList<DShowLib::VideoFormatItem> AravisCameraDevice::videoFormats()
{
    QList<VideoFormatItem> formats;
    const QList<QSize> offeredSizes = sizes();
    guint count = 0;
    GError* error = nullptr;
    gint64* offered = arv_camera_dup_available_pixel_formats(m_camera, &count, &error);
    if (!AravisFeature::succeeded(error) || !offered)
        return formats;
    // In the camera's own order of pixel formats, each colour code once.
    const QMap<int, ArvPixelFormat> chosen = pixelFormats();
    QList<int> codes;
    for (guint i = 0; i < count; ++i) {
        for (auto it = chosen.cbegin(); it != chosen.cend(); ++it) {
            if (it.value() == ArvPixelFormat(offered[i]) && !codes.contains(it.key()))
                codes.append(it.key());
        }
    }
    g_free(offered);
    for (int code : codes) {
        for (const QSize& size : offeredSizes)
            formats.append(VideoFormatItem(code, size));
    }
    return formats;
}

bool AravisCameraDevice::setVideoFormat(const DShowLib::VideoFormatItem& format)
{
    const QMap<int, ArvPixelFormat> formats = pixelFormats();
    if (!formats.contains(format.getFrameType()))
        return false;
    GError* error = nullptr;
    arv_camera_set_pixel_format(m_camera, formats.value(format.getFrameType()), &error);
    if (!AravisFeature::succeeded(error))
        return false;
    arv_camera_set_region(m_camera, 0, 0, format.getSize().width(), format.getSize().height(), &error);
    return AravisFeature::succeeded(error);
}

DShowLib::VideoFormatItem AravisCameraDevice::videoFormat()
{
    GError* error = nullptr;
    const ArvPixelFormat current = arv_camera_get_pixel_format(m_camera, &error);
    if (!AravisFeature::succeeded(error))
        return {};
    gint x = 0, y = 0, width = 0, height = 0;
    arv_camera_get_region(m_camera, &x, &y, &width, &height, &error);
    if (!AravisFeature::succeeded(error))
        return {};
    for (const PixelFormatRule& rule : pixelFormatRules()) {
        if (rule.format == current)
            return VideoFormatItem(rule.colorCode, QSize(width, height));
    }
    return {};
}

QList<double> AravisCameraDevice::frameRates()
{
    GError* error = nullptr;
    const bool available = arv_camera_is_frame_rate_available(m_camera, &error);
    if (!AravisFeature::succeeded(error) || !available)
        return {};
    double minimum = 0.0, maximum = 0.0;
    arv_camera_get_frame_rate_bounds(m_camera, &minimum, &maximum, &error);
    if (!AravisFeature::succeeded(error))
        return {};
    QList<double> rates;
    for (double rate : commonFrameRates()) {
        if (rate >= minimum && rate <= maximum)
            rates.append(rate);
    }
    return rates;
}

bool AravisCameraDevice::setFrameRate(double fps)
{
    // Aravis switches the frame trigger off to set a rate; a triggered
    // camera stays triggered, at the new rate.
    const bool triggered = externalTrigger();
    GError* error = nullptr;
    arv_camera_set_frame_rate(m_camera, fps, &error);
    const bool rateSet = AravisFeature::succeeded(error);
    if (triggered && !externalTrigger())
        return setExternalTrigger(true) && rateSet;
    return rateSet;
}

double AravisCameraDevice::frameRate()
{
    GError* error = nullptr;
    const double fps = arv_camera_get_frame_rate(m_camera, &error);
    return AravisFeature::succeeded(error) ? fps : 0.0;
}

bool AravisCameraDevice::setBoolean(const char* feature, bool on)
{
    auto node = QSharedPointer<AravisFeature>::create(m_camera, QStringList { QString::fromLatin1(feature) });
    return node->isPresent() && AravisSwitchProperty(node, "On", "Off").setSwitch(on);
}

bool AravisCameraDevice::boolean(const char* feature)
{
    auto node = QSharedPointer<AravisFeature>::create(m_camera, QStringList { QString::fromLatin1(feature) });
    if (!node->isPresent())
        return false;
    return AravisSwitchProperty(node, "On", "Off").getSwitch().value_or(false);
}

bool AravisCameraDevice::setExternalTrigger(bool on)
{
    return setBoolean("TriggerMode", on);
}

bool AravisCameraDevice::externalTrigger()
{
    return boolean("TriggerMode");
}

bool AravisCameraDevice::setFlipH(bool on)
{
    return setBoolean("ReverseX", on);
}

bool AravisCameraDevice::flipH()
{
    return boolean("ReverseX");
}

bool AravisCameraDevice::setFlipV(bool on)
{
    return setBoolean("ReverseY", on);
}

bool AravisCameraDevice::flipV()
{
    return boolean("ReverseY");
}

bool AravisCameraDevice::referenceTime(qint64& time)
{
    // The host's monotonic clock, in the library's 100 ns steps.
    time = g_get_monotonic_time() * 10;
    return true;
}

QSharedPointer<DShowLib::VCDPropertyElement> AravisCameraDevice::propertyElement(const QUuid& item,
                                                                                 const QUuid& element)
{
    using DShowLib::VCDPropertyElement;
    for (const PropertyRule& rule : propertyRules()) {
        if (rule.item != item || rule.element != element)
            continue;
        auto feature = QSharedPointer<AravisFeature>::create(m_camera, rule.features);
        if (!feature->isPresent())
            return {};
        QSharedPointer<AravisFeature> selector;
        if (!rule.selector.isEmpty()) {
            selector = QSharedPointer<AravisFeature>::create(m_camera, QStringList { rule.selector });
            if (!selector->isPresent())
                return {};
        }
        const AravisNumber number(feature, selector, rule.selectorValue);
        switch (rule.kind) {
        case Kind::AbsoluteValue:
            return QSharedPointer<VCDPropertyElement>::create(
                QSharedPointer<DShowLib::VCDAbsoluteValueProperty>(new AravisAbsoluteValueProperty(number)));
        case Kind::Range:
            return QSharedPointer<VCDPropertyElement>::create(
                QSharedPointer<DShowLib::VCDRangeProperty>(new AravisRangeProperty(number)));
        case Kind::Switch:
            return QSharedPointer<VCDPropertyElement>::create(QSharedPointer<DShowLib::VCDSwitchProperty>(
                new AravisSwitchProperty(feature, rule.onEntry, rule.offEntry)));
        case Kind::String:
            return QSharedPointer<VCDPropertyElement>::create(
                QSharedPointer<DShowLib::VCDStringProperty>(new AravisStringProperty(feature, rule.entries)));
        }
    }
    return {};
}

QByteArray AravisCameraDevice::toBottomUpRgb32(const QByteArray& rgb, int width, int height)
{
    // Aravis gives RGB8 top-down; the layer's RGB32 is B, G, R, 0xff bottom-up.
    const qsizetype inLine = qsizetype(width) * 3;
    if (width <= 0 || height <= 0 || rgb.size() < inLine * height)
        return rgb;
    QByteArray out(qsizetype(width) * 4 * height, char(0xff));
    for (int y = 0; y < height; ++y) {
        const char* in = rgb.constData() + inLine * (height - 1 - y);
        char* line = out.data() + qsizetype(width) * 4 * y;
        for (int x = 0; x < width; ++x) {
            line[4 * x] = in[3 * x + 2];
            line[4 * x + 1] = in[3 * x + 1];
            line[4 * x + 2] = in[3 * x];
        }
    }
    return out;
}

bool AravisCameraDevice::startStream(FrameCallback callback)
{
    if (m_stream || !callback)
        return false;
    m_frameCallback = std::move(callback);
    m_streamColorCode = videoFormat().getFrameType();
    GError* error = nullptr;
    arv_camera_set_acquisition_mode(m_camera, ARV_ACQUISITION_MODE_CONTINUOUS, nullptr);
    const guint payload = arv_camera_get_payload(m_camera, &error);
    if (!error)
        m_stream = arv_camera_create_stream(m_camera, &AravisCameraDevice::onStreamEvent, this, &error);
    if (m_stream && !error) {
        for (int i = 0; i < StreamBuffers; ++i)
            arv_stream_push_buffer(m_stream, arv_buffer_new(payload, nullptr));
        arv_camera_start_acquisition(m_camera, &error);
    }
    if (error) {
        qDebug() << "Camera stream could not start:" << error->message;
        g_clear_error(&error);
        releaseStream();
        m_frameCallback = nullptr;
        return false;
    }
    return true;
}

void AravisCameraDevice::releaseStream()
{
    if (!m_stream)
        return;
    // The unref joins the stream thread, which reads m_stream until then: no
    // frame comes after this.
    g_object_unref(m_stream);
    m_stream = nullptr;
}

void AravisCameraDevice::stopStream()
{
    if (!m_stream)
        return;
    arv_camera_stop_acquisition(m_camera, nullptr);
    releaseStream();
    m_frameCallback = nullptr;
}

void AravisCameraDevice::onStreamEvent(void* data, ArvStreamCallbackType type, ArvBuffer*)
{
    if (type != ARV_STREAM_CALLBACK_TYPE_BUFFER_DONE)
        return;
    auto* self = static_cast<AravisCameraDevice*>(data);
    ArvBuffer* buffer = arv_stream_try_pop_buffer(self->m_stream);
    if (!buffer)
        return;
    if (arv_buffer_get_status(buffer) == ARV_BUFFER_STATUS_SUCCESS
        && arv_buffer_get_payload_type(buffer) == ARV_BUFFER_PAYLOAD_TYPE_IMAGE) {
        size_t size = 0;
        const void* bytes = arv_buffer_get_image_data(buffer, &size);
        const DShowLib::FrameTypeInfo frameType(
            self->m_streamColorCode, QSize(arv_buffer_get_image_width(buffer), arv_buffer_get_image_height(buffer)));
        QByteArray frame(static_cast<const char*>(bytes), qsizetype(size));
        if (frameType.colorCode == DShowLib::VideoFormatItem::RGB32)
            frame = toBottomUpRgb32(frame, frameType.width, frameType.height);
        self->m_frameCallback(frameType, frame, qint64(arv_buffer_get_timestamp(buffer)),
                              qint64(arv_buffer_get_frame_id(buffer)));
    }
    arv_stream_push_buffer(self->m_stream, buffer);
}
