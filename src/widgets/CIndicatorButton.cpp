#include "CIndicatorButton.h"

#include <QPainter>

CIndicatorButton::CIndicatorButton(QWidget* parent) : QPushButton(parent)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
}

void CIndicatorButton::setIndicatorColor(const QColor& color)
{
    if (m_indicator == color)
        return;
    m_indicator = color;
    update();
}

void CIndicatorButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    if (m_indicator.alpha() == 0)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(m_indicator);
    const int d = 7;
    p.drawEllipse(QRect(width() - d - 5, 5, d, d));
}
