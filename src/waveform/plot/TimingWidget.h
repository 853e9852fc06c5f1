#pragma once

#include <QFrame>
#include <QList>
#include <QMap>

class QScrollArea;
class QVBoxLayout;
class TimingItem;

// Timing markers list of the waveform settings panel: one row per cursor pair
// of the plot, added on the pair's first change, refilled on every drag step
// and removed with the pair.
class TimingWidget : public QFrame
{
    Q_OBJECT
public:
    explicit TimingWidget(QWidget* parent = nullptr);

    int rowCount() const { return int(m_items.size()); }
    // Rows in creation order.
    const QList<TimingItem*>& items() const { return m_items; }
    TimingItem* itemFor(int index) const { return m_byIndex.value(index, nullptr); }

public Q_SLOTS:
    void onCursorPairChanged(int index, qint64 time1, qint64 time2);
    // Unknown indexes are ignored.
    void onCursorPairRemoved(int index);

private:
    QScrollArea* m_area = nullptr;
    QWidget* m_content = nullptr;
    QVBoxLayout* m_list = nullptr;
    QList<TimingItem*> m_items;
    QMap<int, TimingItem*> m_byIndex;
};
