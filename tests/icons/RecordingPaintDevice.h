#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QString>

// A paint device that draws nothing and records every text item with the
// font and pen colour it was drawn in.
class RecordingPaintEngine : public QPaintEngine
{
public:
    struct TextDraw
    {
        QString text;
        QFont font;
        QColor color;
    };

    RecordingPaintEngine();
    bool begin(QPaintDevice* device) override;
    bool end() override;
    void updateState(const QPaintEngineState& state) override;
    void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source) override;
    void drawTextItem(const QPointF& point, const QTextItem& item) override;
    Type type() const override;

    QList<TextDraw> draws;

private:
    QColor m_penColor;
};

class RecordingPaintDevice : public QPaintDevice
{
public:
    explicit RecordingPaintDevice(const QSize& size);
    ~RecordingPaintDevice() override;
    QPaintEngine* paintEngine() const override;
    const QList<RecordingPaintEngine::TextDraw>& draws() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_size;
    mutable RecordingPaintEngine m_engine;
};
