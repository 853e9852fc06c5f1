#include "TimingWidget.h"

#include "StyleHelper.h"
#include "TimingItem.h"

#include <QScrollArea>
#include <QVBoxLayout>

TimingWidget::TimingWidget(QWidget* parent) : QFrame(parent)
{
    m_area = new QScrollArea(this);
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_area->setWidgetResizable(true);
    m_area->setFrameShape(QFrame::NoFrame);
    StyleHelper::setStyle(m_area, QStringLiteral("common"));
    m_content = new QWidget;
    m_list = new QVBoxLayout(m_content);
    m_list->setContentsMargins(0, 0, 0, 0);
    m_list->setSpacing(0);
    m_list->setAlignment(Qt::AlignTop);
    m_area->setWidget(m_content);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_area);
}

void TimingWidget::onCursorPairChanged(int index, qint64 time1, qint64 time2)
{
    if (TimingItem* item = m_byIndex.value(index, nullptr)) {
        item->setData(index, time1, time2);
        return;
    }
    auto* item = new TimingItem(m_content);
    item->setData(index, time1, time2);
    m_items.append(item);
    m_byIndex.insert(index, item);
    m_list->addWidget(item);
}

void TimingWidget::onCursorPairRemoved(int index)
{
    TimingItem* item = m_byIndex.take(index);
    if (!item)
        return;
    m_items.removeOne(item);
    m_list->removeWidget(item);
    item->hide();
    item->deleteLater();
}
