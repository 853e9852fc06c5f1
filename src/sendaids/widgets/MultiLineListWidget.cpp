#include "MultiLineListWidget.h"

#include "SingleLineItem.h"

MultiLineListWidget::MultiLineListWidget(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setProperty("selectable", false);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (auto* line = qobject_cast<SingleLineItem*>(itemWidget(item)))
            line->setChecked(!line->isChecked());
    });
}

SingleLineItem* MultiLineListWidget::insertLine(int row, const QString& label, const QString& data,
                                                int interval)
{
    if (row < 0 || row > count())
        row = count();
    auto* line = new SingleLineItem;
    line->setLabel(label);
    line->setData(data);
    line->setInterval(interval);
    auto* item = new QListWidgetItem;
    item->setSizeHint(line->sizeHint());
    insertItem(row, item);
    setItemWidget(item, line);
    connect(line, &SingleLineItem::submitRequest, this, &MultiLineListWidget::itemSubmitRequest);
    connect(line, &SingleLineItem::toggled, this,
            [this, line](bool checked) { Q_EMIT itemToggled(line, checked); });
    return line;
}

SingleLineItem* MultiLineListWidget::addLine(const QString& label, const QString& data, int interval)
{
    return insertLine(count(), label, data, interval);
}

SingleLineItem* MultiLineListWidget::lineAt(int row) const
{
    QListWidgetItem* it = item(row);
    return it ? qobject_cast<SingleLineItem*>(itemWidget(it)) : nullptr;
}

int MultiLineListWidget::rowOf(const SingleLineItem* line) const
{
    for (int row = 0; row < count(); ++row) {
        if (lineAt(row) == line)
            return row;
    }
    return -1;
}

QList<SingleLineItem*> MultiLineListWidget::lines() const
{
    QList<SingleLineItem*> out;
    out.reserve(count());
    for (int row = 0; row < count(); ++row) {
        if (SingleLineItem* line = lineAt(row))
            out.append(line);
    }
    return out;
}

void MultiLineListWidget::removeLine(int row)
{
    delete takeItem(row);
}

void MultiLineListWidget::selectAll()
{
    setAllChecked(true);
}

void MultiLineListWidget::unselectAll()
{
    setAllChecked(false);
}

void MultiLineListWidget::setAllChecked(bool checked)
{
    for (SingleLineItem* line : lines())
        line->setChecked(checked);
}
