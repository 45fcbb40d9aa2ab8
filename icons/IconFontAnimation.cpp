#include "icons/IconFontAnimation.h"

#include <QPainter>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <cmath>

IconFontAnimation::IconFontAnimation(QWidget* parentWidget, int interval, float step, float angle, QObject* parent)
    : QObject(parent)
    , m_parentWidget(parentWidget)
    , m_interval(interval)
    , m_step(step)
    , m_angle(angle)
{
}

IconFontAnimation::~IconFontAnimation()
{
    delete m_timer;
}

void IconFontAnimation::prepareRotation(QPainter* painter, const QRect& rect)
{
    if (!m_timer) {
        m_timer = new QTimer;
        connect(m_timer, &QTimer::timeout, this, &IconFontAnimation::update);
        m_timer->start(m_interval);
        return;
    }
    const qreal halfWidth = rect.width() * 0.5;
    const qreal halfHeight = rect.height() * 0.5;
    painter->translate(halfWidth, halfHeight);
    painter->rotate(m_angle);
    painter->translate(-halfWidth, -halfHeight);
}

float IconFontAnimation::angle() const
{
    return m_angle;
}

bool IconFontAnimation::isRunning() const
{
    return m_timer && m_timer->isActive();
}

void IconFontAnimation::update()
{
    m_angle = std::fmod(m_angle + m_step, 360.0F);
    if (m_parentWidget)
        m_parentWidget->update();
}
