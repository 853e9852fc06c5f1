#include "CSideBar.h"

#include "CIndicatorButton.h"

#include <QVBoxLayout>

CSideBar::CSideBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CSideBar"));
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(2);
    m_layout->addStretch(1);
}

int CSideBar::addItem(const QString& glyph, const QString& toolTip)
{
    auto* btn = new CIndicatorButton(this);
    btn->setText(glyph);
    btn->setToolTip(toolTip);
    btn->setFixedHeight(40);
    btn->setProperty("style", QStringLiteral("side_bar_btn"));
    const int id = int(m_buttons.size());
    m_buttons.append(btn);
    m_layout->insertWidget(m_layout->count() - 1, btn);
    connect(btn, &QPushButton::clicked, this, [this, id](bool checked) { onButtonClicked(id, checked); });
    return id;
}

void CSideBar::setItemToolTip(int id, const QString& toolTip)
{
    if (id >= 0 && id < m_buttons.size())
        m_buttons[id]->setToolTip(toolTip);
}

void CSideBar::setItemFont(const QFont& font)
{
    for (CIndicatorButton* b : std::as_const(m_buttons))
        b->setFont(font);
}

int CSideBar::checkedId() const
{
    for (int i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i]->isChecked())
            return i;
    }
    return -1;
}

bool CSideBar::isIndicatorEnabled(int index) const
{
    if (index < 0 || index >= m_buttons.size())
        return false;
    return m_buttons[index]->indicatorColor().alpha() != 0;
}

CIndicatorButton* CSideBar::button(int id) const
{
    return (id >= 0 && id < m_buttons.size()) ? m_buttons[id] : nullptr;
}

void CSideBar::setIndicatorEnable(int index, bool en)
{
    if (index < 0 || index >= m_buttons.size())
        return;
    m_buttons[index]->setIndicatorColor(en ? QColor(QStringLiteral("#2ecc71")) : QColor(Qt::transparent));
}

void CSideBar::setChecked(int id)
{
    for (int i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setChecked(i == id);
}

void CSideBar::onButtonClicked(int id, bool checked)
{
    // Exclusive, but the checked button may be unchecked again.
    if (checked) {
        for (int i = 0; i < m_buttons.size(); ++i) {
            if (i != id)
                m_buttons[i]->setChecked(false);
        }
    }
    Q_EMIT clicked(checked, id);
}
