#pragma once

#include <QColor>
#include <QWidget>

// A round status lamp: lit in its colour, or dark. The colours come from
// properties so the theme sheets can set them (qproperty-onColor ...).
class CLed : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool on READ isOn WRITE setOn NOTIFY toggled)
    Q_PROPERTY(QColor onColor READ onColor WRITE setOnColor)
    Q_PROPERTY(QColor offColor READ offColor WRITE setOffColor)
public:
    explicit CLed(QWidget* parent = nullptr);

    bool isOn() const { return m_on; }
    QColor onColor() const { return m_onColor; }
    void setOnColor(const QColor& color);
    QColor offColor() const { return m_offColor; }
    void setOffColor(const QColor& color);
    // The colour the lamp is painted with now.
    QColor currentColor() const { return m_on ? m_onColor : m_offColor; }

    QSize sizeHint() const override { return QSize(12, 12); }

public Q_SLOTS:
    void setOn(bool on);

Q_SIGNALS:
    void toggled(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_on = false;
    QColor m_onColor = QColor(0x2e, 0xcc, 0x71);
    QColor m_offColor = QColor(0x55, 0x5d, 0x68);
};
