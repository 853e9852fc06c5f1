#pragma once

#include <QFrame>
#include <QtGlobal>

class CExpandCard;
class QLabel;

// One row of the timing-marker list: a folding card titled with the pair's
// number, time difference and frequency, holding its two times.
class TimingItem : public QFrame
{
    Q_OBJECT
public:
    explicit TimingItem(QWidget* parent = nullptr);

    void setData(int index, qint64 time1, qint64 time2);

    int index() const { return m_index; }
    QString title() const;
    QString time1Text() const;
    QString time2Text() const;
    CExpandCard* card() const { return m_card; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refill();

    CExpandCard* m_card = nullptr;
    QLabel* m_time1 = nullptr;
    QLabel* m_time2 = nullptr;
    int m_index = -1;
    qint64 m_t1 = 0;
    qint64 m_t2 = 0;
};
