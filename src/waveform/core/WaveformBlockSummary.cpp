#include "WaveformBlockSummary.h"

#include <limits>

void WaveformBlockSummary::clear()
{
    m_levels = {};
    m_pending = {};
    m_pendingFill = {};
    m_min0 = m_max0 = 0.0;
    m_fill0 = 0;
    m_count = 0;
}

void WaveformBlockSummary::completeFirstLevelBlock()
{
    m_fill0 = 0;
    Entry carry{m_min0, m_max0};
    // Store the completed block and fold it into the block being filled one
    // level up; a block completed there goes up in turn.
    for (int level = 0;; ++level) {
        if (level == m_levels.size())
            m_levels.append(QVector<Entry>());
        m_levels[level].append(carry);
        const int up = level + 1;
        while (m_pending.size() <= up) {
            m_pending.append(Entry{0.0, 0.0});
            m_pendingFill.append(0);
        }
        Entry& pending = m_pending[up];
        int& fill = m_pendingFill[up];
        if (fill == 0) {
            pending = carry;
        } else {
            pending.min = carry.min < pending.min ? carry.min : pending.min;
            pending.max = carry.max > pending.max ? carry.max : pending.max;
        }
        if (++fill < kFanout)
            return;
        fill = 0;
        carry = pending;
    }
}

void WaveformBlockSummary::rebuild(const QVector<WaveformSample>& samples)
{
    clear();
    for (const WaveformSample& s : samples)
        append(s.value);
}

bool WaveformBlockSummary::rangeMinMax(const WaveformSample* samples, qsizetype first, qsizetype end,
                                       double& min, double& max) const
{
    if (first < 0 || end > m_count || first >= end)
        return false;

    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    // level -1 = single samples, level k = stored blocks of kFanout^(k+1)
    auto take = [&](int level, qsizetype at, qsizetype unit) {
        double a, b;
        if (level < 0) {
            a = b = samples[at].value;
        } else {
            const Entry& e = m_levels[level][at / unit];
            a = e.min;
            b = e.max;
        }
        if (a < lo)
            lo = a;
        if (b > hi)
            hi = b;
    };

    qsizetype i = first;
    int level = -1;
    qsizetype unit = 1;
    // Climb: use the current granularity until the position is aligned to
    // the next coarser block, as long as whole coarser blocks still fit.
    for (;;) {
        const qsizetype next = unit * kFanout;
        while (i % next != 0 && i + unit <= end) {
            take(level, i, unit);
            i += unit;
        }
        if (i % next != 0 || level + 1 >= m_levels.size() || i + next > end)
            break;
        ++level;
        unit = next;
    }
    // Descend: whole blocks at each granularity, then finer ones for the rest.
    while (i < end) {
        while (i + unit <= end) {
            take(level, i, unit);
            i += unit;
        }
        if (level < 0)
            break;
        --level;
        unit /= kFanout;
    }

    min = lo;
    max = hi;
    return true;
}

qsizetype WaveformBlockSummary::memoryBytes() const
{
    qsizetype bytes = 0;
    for (const QVector<Entry>& level : m_levels)
        bytes += level.capacity() * qsizetype(sizeof(Entry));
    bytes += m_pending.capacity() * qsizetype(sizeof(Entry));
    bytes += m_pendingFill.capacity() * qsizetype(sizeof(int));
    return bytes;
}
