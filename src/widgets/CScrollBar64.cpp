#include "CScrollBar64.h"

#include <climits>
#include <cmath>

CScrollBar64::CScrollBar64(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent)
{
    QScrollBar::setRange(0, 0);
    connect(this, &QScrollBar::valueChanged, this, &CScrollBar64::onIntValueChanged);
}

long double CScrollBar64::span() const
{
    // In long double: max - min may not fit in qint64.
    const long double s = static_cast<long double>(m_max) - m_min - m_page;
    return s > 0 ? s : 0;
}

int CScrollBar64::stepCount() const
{
    const long double s = span();
    return s < kSteps ? int(s) : kSteps;
}

qint64 CScrollBar64::topValue() const
{
    return clampToRange(static_cast<long double>(m_min) + span());
}

qint64 CScrollBar64::clampToRange(long double v) const
{
    if (v <= m_min)
        return m_min;
    if (v >= m_max)
        return m_max;
    return static_cast<qint64>(std::llround(v));
}

int CScrollBar64::toSteps(qint64 value) const
{
    const long double s = span();
    if (s <= 0)
        return 0;
    const long double f = (static_cast<long double>(value) - m_min) / s;
    return static_cast<int>(std::llround(qBound<long double>(0, f, 1) * stepCount()));
}

qint64 CScrollBar64::fromSteps(int steps) const
{
    const int total = stepCount();
    if (total <= 0)
        return m_min;
    const long double f = static_cast<long double>(steps) / total;
    return clampToRange(static_cast<long double>(m_min) + f * span());
}

void CScrollBar64::setRange64(qint64 min, qint64 max, qint64 page)
{
    if (max < min)
        max = min;
    m_min = min;
    m_max = max;
    const long double length = static_cast<long double>(max) - min;
    m_page = qBound<qint64>(0, page, static_cast<qint64>(qMin<long double>(length, INT64_MAX)));
    const int steps = stepCount();
    m_syncing = true;
    QScrollBar::setRange(0, steps);
    // The page step keeps the handle's length proportional to the page.
    const long double pageFrac = length > 0 ? m_page / length : 1.0L;
    const long double pageSteps = pageFrac * steps / qMax<long double>(1e-9L, 1 - pageFrac);
    QScrollBar::setPageStep(int(qBound<long double>(1, std::round(pageSteps), INT_MAX / 2)));
    QScrollBar::setSingleStep(qMax(1, steps / 100));
    m_syncing = false;
    setValue64(m_value);
}

void CScrollBar64::setValue64(qint64 value)
{
    value = qBound(m_min, value, topValue());
    const bool changed = value != m_value;
    m_value = value;
    m_syncing = true;
    QScrollBar::setValue(toSteps(value));
    m_syncing = false;
    if (changed)
        Q_EMIT valueChanged64(value);
}

void CScrollBar64::onIntValueChanged(int v)
{
    if (m_syncing)
        return;
    const qint64 value = fromSteps(v);
    if (value == m_value)
        return;
    m_value = value;
    Q_EMIT valueChanged64(value);
}
