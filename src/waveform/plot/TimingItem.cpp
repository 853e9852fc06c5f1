#include "TimingItem.h"

#include "CExpandCard.h"
#include "MeasureFormat.h"
#include "StyleHelper.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

TimingItem::TimingItem(QWidget* parent) : QFrame(parent)
{
    m_card = new CExpandCard(QString(), this);
    auto* body = new QWidget;
    m_time1 = new QLabel(body);
    m_time2 = new QLabel(body);
    StyleHelper::setStyle(m_time1, QStringLiteral("common"));
    StyleHelper::setStyle(m_time2, QStringLiteral("common"));
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(30, 0, 0, 0);
    bodyLayout->setSpacing(10);
    bodyLayout->addSpacing(4);
    bodyLayout->addWidget(m_time1);
    bodyLayout->addWidget(m_time2);
    bodyLayout->addSpacing(4);
    m_card->setContentWidget(body);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_card);
    // The row is as tall as the card, folded or not.
    m_card->installEventFilter(this);
}

void TimingItem::setData(int index, qint64 time1, qint64 time2)
{
    m_index = index;
    m_t1 = time1;
    m_t2 = time2;
    refill();
}

void TimingItem::refill()
{
    if (m_index < 0)
        return;
    m_card->setTitle(MeasureFormat::markerTitle(m_index, m_t1, m_t2));
    StyleHelper::setStyle(m_card, QStringLiteral("chn%1").arg(m_index % 7));
    m_time1->setText(tr("T1 = ") + MeasureFormat::timeText(m_t1));
    m_time2->setText(tr("T2 = ") + MeasureFormat::timeText(m_t2));
}

QString TimingItem::title() const
{
    return m_card->title();
}

QString TimingItem::time1Text() const
{
    return m_time1->text();
}

QString TimingItem::time2Text() const
{
    return m_time2->text();
}

bool TimingItem::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_card && event->type() == QEvent::Resize)
        setFixedHeight(m_card->height());
    else if (watched == m_card && event->type() == QEvent::LayoutRequest)
        setFixedHeight(m_card->sizeHint().height());
    return QFrame::eventFilter(watched, event);
}

void TimingItem::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        refill();
    QFrame::changeEvent(event);
}
