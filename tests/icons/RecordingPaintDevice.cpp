#include "tests/icons/RecordingPaintDevice.h"

#include <QTextItem>

RecordingPaintEngine::RecordingPaintEngine()
    : QPaintEngine(QPaintEngine::AllFeatures)
{
}

bool RecordingPaintEngine::begin(QPaintDevice*)
{
    return true;
}

bool RecordingPaintEngine::end()
{
    return true;
}

void RecordingPaintEngine::updateState(const QPaintEngineState& state)
{
    if (state.state() & QPaintEngine::DirtyPen)
        m_penColor = state.pen().color();
}

void RecordingPaintEngine::drawPixmap(const QRectF&, const QPixmap&, const QRectF&)
{
}

void RecordingPaintEngine::drawTextItem(const QPointF&, const QTextItem& item)
{
    draws.append({ item.text(), item.font(), m_penColor });
}

QPaintEngine::Type RecordingPaintEngine::type() const
{
    return QPaintEngine::User;
}

RecordingPaintDevice::RecordingPaintDevice(const QSize& size)
    : m_size(size)
{
}

RecordingPaintDevice::~RecordingPaintDevice() = default;

QPaintEngine* RecordingPaintDevice::paintEngine() const
{
    return &m_engine;
}

const QList<RecordingPaintEngine::TextDraw>& RecordingPaintDevice::draws() const
{
    return m_engine.draws;
}

int RecordingPaintDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return m_size.width();
    case PdmHeight: return m_size.height();
    case PdmWidthMM: return m_size.width() * 254 / 960;
    case PdmHeightMM: return m_size.height() * 254 / 960;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return 96;
    case PdmDepth: return 32;
    case PdmNumColors: return 0;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
    default: return QPaintDevice::metric(metric);
    }
}
