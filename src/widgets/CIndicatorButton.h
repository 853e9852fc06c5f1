#pragma once

#include <QColor>
#include <QPushButton>

// Checkable side-bar button with a small coloured indicator dot in its corner
// (transparent = off).
class CIndicatorButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QColor indicatorColor READ indicatorColor WRITE setIndicatorColor)
public:
    explicit CIndicatorButton(QWidget* parent = nullptr);

    QColor indicatorColor() const { return m_indicator; }
    void setIndicatorColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_indicator = Qt::transparent;
};
