#include "WaveformListWidget.h"

#include "StyleHelper.h"
#include "WaveFormInfoItem.h"

#include <QCheckBox>

WaveformListWidget::WaveformListWidget(QWidget* parent) : QListWidget(parent)
{
    StyleHelper::setStyle(this, QStringLiteral("common"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    for (int kind = 0; kind < WaveformGenerator::KindCount; ++kind) {
        auto* row = new QListWidgetItem(this);
        auto* item = new WaveFormInfoItem(kind);
        row->setSizeHint(item->sizeHint());
        setItemWidget(row, item);
        m_items.append(item);
        connect(item, &WaveFormInfoItem::toggled, this,
                [this, item](bool checked) { emit itemToggled(item, checked); });
        connect(item, &WaveFormInfoItem::valueChanged, this,
                [this, item] { emit itemValueChanged(item->info()); });
    }
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* row) {
        if (auto* item = qobject_cast<WaveFormInfoItem*>(itemWidget(row)))
            item->setChecked(!item->isChecked());
    });
}

QList<WaveFormInfoItem*> WaveformListWidget::checkedItems() const
{
    QList<WaveFormInfoItem*> checked;
    for (WaveFormInfoItem* item : m_items) {
        if (item->isChecked())
            checked.append(item);
    }
    return checked;
}

void WaveformListWidget::selectAll()
{
    for (WaveFormInfoItem* item : m_items)
        item->setChecked(true);
}

void WaveformListWidget::selectNone()
{
    for (WaveFormInfoItem* item : m_items)
        item->setChecked(false);
}
