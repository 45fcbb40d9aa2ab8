#pragma once

#include <QObject>

class QPainter;
class QRect;
class QTimer;
class QWidget;

// Turns an icon's glyph step by step; put a pointer to it under the option
// "anim". The timer starts at the first paint that uses the animation and
// stops when the animation is destroyed.
class IconFontAnimation : public QObject
{
    Q_OBJECT
public:
    // parentWidget is repainted at every step; step is in degrees per tick.
    IconFontAnimation(QWidget* parentWidget, int interval, float step, float angle = 0.0F, QObject* parent = nullptr);
    ~IconFontAnimation() override;

    // Rotates the painter about the centre of a rectangle at the origin.
    void prepareRotation(QPainter* painter, const QRect& rect);

    float angle() const;
    bool isRunning() const;

public slots:
    void update();

private:
    QWidget* m_parentWidget;
    QTimer* m_timer = nullptr;
    int m_interval;
    float m_step;
    float m_angle;
};
