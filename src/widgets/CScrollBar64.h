#pragma once

#include <QScrollBar>

// A scroll bar over a 64-bit range (nanosecond timestamps of long
// recordings). QScrollBar counts in int; this one maps its 64-bit range onto
// a fixed number of int steps and reports positions back in 64-bit units.
class CScrollBar64 : public QScrollBar
{
    Q_OBJECT
public:
    // Resolution of the underlying int scroll bar.
    static constexpr int kSteps = 1 << 30;

    explicit CScrollBar64(Qt::Orientation orientation, QWidget* parent = nullptr);

    // The range and the visible page, in 64-bit units; max < min is taken as
    // max = min, and the page is clamped to the range's length.
    void setRange64(qint64 min, qint64 max, qint64 page);
    qint64 minimum64() const { return m_min; }
    qint64 maximum64() const { return m_max; }
    qint64 pageStep64() const { return m_page; }

    qint64 value64() const { return m_value; }
    // Moves without emitting valueChanged64 when the value is unchanged.
    void setValue64(qint64 value);

Q_SIGNALS:
    void valueChanged64(qint64 value);

private:
    void onIntValueChanged(int v);
    int toSteps(qint64 value) const;
    qint64 fromSteps(int steps) const;
    // Length of the scrollable part (range minus page), at least 0.
    long double span() const;
    int stepCount() const;
    // The largest value: the start of the last page.
    qint64 topValue() const;
    qint64 clampToRange(long double v) const;

    qint64 m_min = 0;
    qint64 m_max = 0;
    qint64 m_page = 0;
    qint64 m_value = 0;
    bool m_syncing = false;
};
