#include "CLed.h"

#include <QPainter>

CLed::CLed(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void CLed::setOn(bool on)
{
    if (m_on == on)
        return;
    m_on = on;
    update();
    Q_EMIT toggled(on);
}

void CLed::setOnColor(const QColor& color)
{
    m_onColor = color;
    update();
}

void CLed::setOffColor(const QColor& color)
{
    m_offColor = color;
    update();
}

void CLed::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int d = qMin(width(), height()) - 2;
    const QRectF r((width() - d) / 2.0, (height() - d) / 2.0, d, d);
    const QColor c = currentColor();
    p.setPen(QPen(c.darker(140), 1));
    p.setBrush(c);
    p.drawEllipse(r);
    if (m_on) {
        // A small highlight so a lit lamp reads as lit on any background.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 90));
        p.drawEllipse(QRectF(r.x() + d * 0.22, r.y() + d * 0.18, d * 0.32, d * 0.26));
    }
}
