#pragma once

#include <QIconEngine>
#include <QVariantMap>

class IconFont;
class IconFontIconPainter;

// Keeps the options an icon was made with and draws it afresh through the
// service's painter at every request; nothing is cached.
class IconFontIconPainterIconEngine : public QIconEngine
{
public:
    // Neither the service nor the painter is owned: both must outlive the engine.
    IconFontIconPainterIconEngine(IconFont* iconFont, IconFontIconPainter* painter, const QVariantMap& options);
    ~IconFontIconPainterIconEngine() override;

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;

private:
    IconFont* m_iconFont;
    IconFontIconPainter* m_painter;
    QVariantMap m_options;
};
