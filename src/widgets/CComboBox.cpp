#include "CComboBox.h"

#include <QAbstractItemView>
#include <QStyleOptionComboBox>
#include <QStylePainter>

CComboBox::CComboBox(QWidget* parent) : QComboBox(parent)
{
    view()->setTextElideMode(Qt::ElideMiddle);
    connect(this, &QComboBox::currentTextChanged, this, [this](const QString& text) { setToolTip(text); });
    connect(model(), &QAbstractItemModel::rowsInserted, this, &CComboBox::syncToolTips);
    connect(model(), &QAbstractItemModel::dataChanged, this, &CComboBox::syncToolTips);
}

void CComboBox::syncToolTips()
{
    for (int i = 0; i < count(); ++i) {
        const QString text = itemText(i);
        if (itemData(i, Qt::ToolTipRole).toString() != text)
            setItemData(i, text, Qt::ToolTipRole);
    }
}

QRect CComboBox::textRect() const
{
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    return style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
}

QString CComboBox::displayText() const
{
    // A couple of pixels less than the field: the style pads the label.
    const int room = qMax(0, textRect().width() - 4);
    return fontMetrics().elidedText(currentText(), Qt::ElideMiddle, room);
}

void CComboBox::paintEvent(QPaintEvent* event)
{
    if (isEditable()) {
        QComboBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText = displayText();
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    painter.drawControl(QStyle::CE_ComboBoxLabel, opt);
}
