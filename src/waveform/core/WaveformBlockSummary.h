#pragma once

#include "WaveformSample.h"

#include <QVector>

#include <algorithm>

// Min/max and sum of a channel's values per block of samples, in levels: level 0
// summarises blocks of kFanout samples, level 1 blocks of kFanout^2, and so on.
// Only complete blocks are stored, so a query that covers a whole block can
// use it directly. Appending is amortised O(1); a min/max query over any index
// range costs O(kFanout x levels) instead of the number of samples; so does a
// sum (kept apart from min/max so the drawing's queries stay compact).
class WaveformBlockSummary
{
public:
    static constexpr int kFanout = 16;
    static constexpr int kFanoutShift = 4; // kFanout == 1 << kFanoutShift

    void clear();
    // Must be called once per sample appended to the channel, in order.
    // Inline: only every kFanout-th call leaves the first level.
    void append(double value)
    {
        ++m_count;
        if (m_fill0 == 0) {
            m_min0 = m_max0 = m_sum0 = value;
        } else {
            m_min0 = value < m_min0 ? value : m_min0;
            m_max0 = value > m_max0 ? value : m_max0;
            m_sum0 += value;
        }
        if (++m_fill0 == kFanout)
            completeFirstLevelBlock();
    }
    // Recomputes everything from the samples (after a bulk change).
    void rebuild(const QVector<WaveformSample>& samples);
    // Number of samples this summary has seen.
    qsizetype sampleCount() const { return m_count; }

    // Min and max of samples[first .. end) (end exclusive). Returns false and
    // leaves min/max alone when the range is empty or out of bounds.
    bool rangeMinMax(const WaveformSample* samples, qsizetype first, qsizetype end, double& min,
                     double& max) const;

    // Min, max and sum of samples[first .. end) in one walk over the blocks.
    bool rangeStats(const WaveformSample* samples, qsizetype first, qsizetype end, double& min, double& max,
                    double& sum) const;

    // Hints the processor to load the blocks a query near `index` reads.
    void prefetch(qsizetype index) const
    {
        // A query's partial blocks at one level lie within kFanout entries
        // of the edge: two cache lines on either side.
        for (int level = 0; level < m_levels.size() && level < 3; ++level) {
            const qsizetype at = index >> (kFanoutShift * (level + 1));
            const qsizetype size = m_levels[level].size();
            for (qsizetype k = std::max<qsizetype>(0, at - kFanout); k < std::min(size, at + kFanout); k += 4)
                __builtin_prefetch(m_levels[level].constData() + k);
        }
    }

    // Bytes held by the summary levels (allocated capacity).
    qsizetype memoryBytes() const;
    int levelCount() const { return int(m_levels.size()); }

private:
    // Calls take(level, position) for the fewest blocks covering [first, end):
    // climb while the position is aligned to the next coarser block and whole
    // coarser blocks still fit, then descend with finer ones for the tail.
    // level -1 means a single sample. Inline so the hot column scan keeps its
    // lambda inlined.
    template <typename Take> void walkBlocks(qsizetype first, qsizetype end, Take&& take) const
    {
        qsizetype i = first;
        int level = -1;
        int shift = 0; // block size == 1 << shift
        for (;;) {
            const qsizetype unit = qsizetype(1) << shift;
            const qsizetype nextMask = (unit << kFanoutShift) - 1;
            while ((i & nextMask) != 0 && i + unit <= end) {
                take(level, i);
                i += unit;
            }
            if ((i & nextMask) != 0 || level + 1 >= m_levels.size() || i + nextMask + 1 > end)
                break;
            ++level;
            shift += kFanoutShift;
        }
        while (i < end) {
            const qsizetype unit = qsizetype(1) << shift;
            while (i + unit <= end) {
                take(level, i);
                i += unit;
            }
            if (level < 0)
                break;
            --level;
            shift -= kFanoutShift;
        }
    }

    struct Entry
    {
        double min;
        double max;
    };

    void completeFirstLevelBlock();

    QVector<QVector<Entry>> m_levels;     // complete blocks per level
    QVector<QVector<double>> m_sumLevels; // their sums, same shape
    // The block being filled at level 0 ...
    double m_min0 = 0.0;
    double m_max0 = 0.0;
    double m_sum0 = 0.0;
    int m_fill0 = 0;
    // ... and at the levels above (index = level; index 0 unused).
    QVector<Entry> m_pending;
    QVector<double> m_pendingSum;
    QVector<int> m_pendingFill;
    qsizetype m_count = 0;
};
