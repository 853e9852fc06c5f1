#pragma once

#include <QAbstractButton>
#include <QColor>

class QVariantAnimation;

// An on/off switch: a rounded track with a knob that slides across when the
// state changes. Checkable; `toggled(bool)` reports the new state. Colours
// come from properties so that the theme sheets can set them
// (qproperty-onColor etc.) for the "style" they select on.
class CSwitch : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(QColor onColor READ onColor WRITE setOnColor)
    Q_PROPERTY(QColor offColor READ offColor WRITE setOffColor)
    Q_PROPERTY(QColor knobColor READ knobColor WRITE setKnobColor)
public:
    static constexpr int kAnimationMs = 120;

    explicit CSwitch(QWidget* parent = nullptr);

    QColor onColor() const { return m_onColor; }
    void setOnColor(const QColor& color);
    QColor offColor() const { return m_offColor; }
    void setOffColor(const QColor& color);
    QColor knobColor() const { return m_knobColor; }
    void setKnobColor(const QColor& color);

    QSize sizeHint() const override;
    // Knob position between 0 (off) and 1 (on); follows the animation.
    qreal knobPosition() const { return m_position; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    // Runs for every state change, also while signals are blocked.
    void checkStateSet() override;
    void nextCheckState() override;

private:
    void moveKnob(bool checked);

    QColor m_onColor = QColor(0x3d, 0x8e, 0xe6);
    QColor m_offColor = QColor(0x80, 0x80, 0x80);
    QColor m_knobColor = Qt::white;
    qreal m_position = 0.0;
    QVariantAnimation* m_animation = nullptr;
};
