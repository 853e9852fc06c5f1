#pragma once

#include <QComboBox>

// A combo box for names that may be longer than the box: the shown text is
// elided in the middle (head and tail stay readable, as two long names often
// differ only at one end), and the whole name is the box's tooltip and each
// entry's tooltip in the drop-down list.
class CComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit CComboBox(QWidget* parent = nullptr);

    // The current text as drawn at the box's present width.
    QString displayText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void syncToolTips();
    // Room for the text inside the box, as the style lays it out.
    QRect textRect() const;
};
