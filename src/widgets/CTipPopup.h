#pragma once

#include <QLabel>

class QTimer;

// A short-lived hint shown near a widget: a styled label (style "tip") that
// hides itself after a delay. It is a child of the window, so it never
// takes focus or becomes a window of its own.
class CTipPopup : public QLabel
{
    Q_OBJECT
public:
    explicit CTipPopup(QWidget* parent);

    // Shows `text` with its top-left corner at `pos` (parent coordinates),
    // kept inside the parent, and hides after `ms` milliseconds.
    void showTip(const QString& text, const QPoint& pos, int ms = 3000);

private:
    QTimer* m_hideTimer = nullptr;
};
