#include "WaveformBlockSummary.h"

#include <limits>

void WaveformBlockSummary::clear()
{
    m_levels = {};
    m_sumLevels = {};
    m_pending = {};
    m_pendingSum = {};
    m_pendingFill = {};
    m_min0 = m_max0 = m_sum0 = 0.0;
    m_fill0 = 0;
    m_count = 0;
}

void WaveformBlockSummary::completeFirstLevelBlock()
{
    m_fill0 = 0;
    Entry carry{m_min0, m_max0};
    double carrySum = m_sum0;
    // Store the completed block and fold it into the block being filled one
    // level up; a block completed there goes up in turn.
    for (int level = 0;; ++level) {
        if (level == m_levels.size()) {
            m_levels.append(QVector<Entry>());
            m_sumLevels.append(QVector<double>());
        }
        m_levels[level].append(carry);
        m_sumLevels[level].append(carrySum);
        const int up = level + 1;
        while (m_pending.size() <= up) {
            m_pending.append(Entry{0.0, 0.0});
            m_pendingSum.append(0.0);
            m_pendingFill.append(0);
        }
        Entry& pending = m_pending[up];
        double& pendingSum = m_pendingSum[up];
        int& fill = m_pendingFill[up];
        if (fill == 0) {
            pending = carry;
            pendingSum = carrySum;
        } else {
            pending.min = carry.min < pending.min ? carry.min : pending.min;
            pending.max = carry.max > pending.max ? carry.max : pending.max;
            pendingSum += carrySum;
        }
        if (++fill < kFanout)
            return;
        fill = 0;
        carry = pending;
        carrySum = pendingSum;
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
    auto fold = [&](double a, double b) {
        lo = a < lo ? a : lo;
        hi = b > hi ? b : hi;
    };
    // level -1 = single samples, level k = stored blocks of kFanout^(k+1);
    // block sizes are powers of two, so positions are split by shifts.
    auto take = [&](int level, qsizetype at) {
        if (level < 0) {
            fold(samples[at].value, samples[at].value);
        } else {
            const Entry& e = m_levels[level].constData()[at >> (kFanoutShift * (level + 1))];
            fold(e.min, e.max);
        }
    };

    walkBlocks(first, end, take);

    min = lo;
    max = hi;
    return true;
}

bool WaveformBlockSummary::rangeStats(const WaveformSample* samples, qsizetype first, qsizetype end,
                                      double& min, double& max, double& sum) const
{
    if (first < 0 || end > m_count || first >= end)
        return false;

    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    double total = 0.0;
    auto take = [&](int level, qsizetype at) {
        if (level < 0) {
            const double v = samples[at].value;
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
            total += v;
        } else {
            const qsizetype k = at >> (kFanoutShift * (level + 1));
            const Entry& e = m_levels[level].constData()[k];
            lo = e.min < lo ? e.min : lo;
            hi = e.max > hi ? e.max : hi;
            total += m_sumLevels[level].constData()[k];
        }
    };

    walkBlocks(first, end, take);

    min = lo;
    max = hi;
    sum = total;
    return true;
}

qsizetype WaveformBlockSummary::memoryBytes() const
{
    qsizetype bytes = 0;
    for (const QVector<Entry>& level : m_levels)
        bytes += level.capacity() * qsizetype(sizeof(Entry));
    for (const QVector<double>& level : m_sumLevels)
        bytes += level.capacity() * qsizetype(sizeof(double));
    bytes += m_pendingSum.capacity() * qsizetype(sizeof(double));
    bytes += m_pending.capacity() * qsizetype(sizeof(Entry));
    bytes += m_pendingFill.capacity() * qsizetype(sizeof(int));
    return bytes;
}
