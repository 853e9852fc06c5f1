#pragma once

#include <QList>
#include <QWidget>

class CIndicatorButton;
class QVBoxLayout;

// Vertical bar of checkable tool buttons; at most one is checked. Clicking the
// checked one unchecks it (the caller then hides the tool area).
class CSideBar : public QWidget
{
    Q_OBJECT
public:
    explicit CSideBar(QWidget* parent = nullptr);

    // Adds an item; `glyph` is shown as the button text, `toolTip` names the tool.
    int addItem(const QString& glyph, const QString& toolTip);
    void setItemToolTip(int id, const QString& toolTip);
    void setItemFont(const QFont& font);
    int count() const { return int(m_buttons.size()); }
    int checkedId() const;
    bool isIndicatorEnabled(int index) const;
    CIndicatorButton* button(int id) const;

public Q_SLOTS:
    void setIndicatorEnable(int index, bool en);
    // Checks item `id` (or none with -1) without emitting clicked.
    void setChecked(int id);

Q_SIGNALS:
    void clicked(bool checked, int id);

private:
    void onButtonClicked(int id, bool checked);

    QVBoxLayout* m_layout = nullptr;
    QList<CIndicatorButton*> m_buttons;
};
