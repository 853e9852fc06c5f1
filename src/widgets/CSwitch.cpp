#include "CSwitch.h"

#include "SkinManager.h"

#include <QPainter>
#include <QVariantAnimation>

CSwitch::CSwitch(QWidget* parent) : QAbstractButton(parent)
{
    setCheckable(true);
    // Re-polished around theme switches: it paints some colours itself.
    SkinManager::instance()->registerWidget(this);
    setCursor(Qt::PointingHandCursor);
    setProperty("style", QStringLiteral("switch"));
    m_animation = new QVariantAnimation(this);
    m_animation->setDuration(kAnimationMs);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_position = value.toReal();
        update();
    });
}

void CSwitch::setOnColor(const QColor& color)
{
    m_onColor = color;
    update();
}

void CSwitch::setOffColor(const QColor& color)
{
    m_offColor = color;
    update();
}

void CSwitch::setKnobColor(const QColor& color)
{
    m_knobColor = color;
    update();
}

QSize CSwitch::sizeHint() const
{
    return QSize(35, 18);
}

void CSwitch::checkStateSet()
{
    moveKnob(isChecked());
}

void CSwitch::nextCheckState()
{
    QAbstractButton::nextCheckState();
    moveKnob(isChecked());
}

void CSwitch::moveKnob(bool checked)
{
    m_animation->stop();
    const qreal target = checked ? 1.0 : 0.0;
    // Hidden switches (and those set before being shown) jump straight there.
    if (!isVisible()) {
        m_position = target;
        update();
        return;
    }
    m_animation->setStartValue(m_position);
    m_animation->setEndValue(target);
    m_animation->start();
}

bool CSwitch::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

void CSwitch::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = track.height() / 2.0;
    QColor trackColor = isChecked() ? m_onColor : m_offColor;
    if (!isEnabled())
        trackColor.setAlphaF(0.4f);
    p.setPen(Qt::NoPen);
    p.setBrush(trackColor);
    p.drawRoundedRect(track, radius, radius);

    const qreal margin = 2.0;
    const qreal knobD = track.height() - 2 * margin;
    const qreal travel = track.width() - 2 * margin - knobD;
    const QRectF knob(track.left() + margin + travel * m_position, track.top() + margin, knobD, knobD);
    p.setBrush(m_knobColor);
    p.drawEllipse(knob);
}
