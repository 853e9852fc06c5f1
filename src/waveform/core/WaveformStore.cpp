#include "WaveformStore.h"
#include "SaturatedInt64.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

int saturatedInt(double v)
{
    if (!(v == v))
        return 0;
    // Far beyond any screen; keeps painter coordinates sane.
    constexpr double limit = 1.0e9;
    if (v > limit)
        return int(limit);
    if (v < -limit)
        return int(-limit);
    return int(v);
}

} // namespace

WaveformStore::WaveformStore() = default;

QColor WaveformStore::paletteColor(int index)
{
    static const QColor palette[8] = {
        QColor(212, 212, 212), QColor(199, 149, 121), QColor(255, 109, 127), QColor(255, 180, 91),
        QColor(232, 216, 54),  QColor(88, 198, 103),  QColor(83, 169, 253),  QColor(175, 146, 251),
    };
    return palette[((index % 8) + 8) % 8];
}

int WaveformStore::addChannel(const QString& name)
{
    const int id = m_nextId++;
    WaveformChannel ch;
    ch.name = name;
    ch.color = paletteColor(id);
    ch.height = kDefaultChannelHeight;
    m_channels.insert(id, ch);
    recomputeContentHeight();
    return id;
}

void WaveformStore::updateDisplayRange(WaveformChannel& ch)
{
    const double r = ch.dataMax - ch.dataMin;
    const double margin = 0.1 * (r > 0.0 ? r : 1.0);
    ch.displayMin = ch.dataMin - margin;
    ch.displayMax = ch.dataMax + margin;
    if (ch.displayMin == ch.displayMax) {
        ch.displayMin -= 0.5;
        ch.displayMax += 0.5;
    }
    // Large values swallow a margin of 0.5; a collapsed range would put the
    // whole channel on the middle line, so widen relative to the value.
    if (ch.displayMin == ch.displayMax) {
        const double widen = std::abs(ch.dataMax) * 1e-6;
        ch.displayMin = ch.dataMin - widen;
        ch.displayMax = ch.dataMax + widen;
    }
}

void WaveformStore::appendChannelData(int id, const QVector<WaveformSample>& samples)
{
    auto it = m_channels.find(id);
    if (it == m_channels.end())
        return;
    WaveformChannel& ch = it.value();

    // One bulk append: the list grows geometrically (and in place where the
    // allocator can), then the new samples are checked where they lie.
    const qsizetype base = ch.samples.size();
    ch.samples.append(samples);
    ++ch.revision;
    WaveformSample* const data = ch.samples.data();
    const qsizetype size = ch.samples.size();

    const qint64 span = saturatedInt64(double(m_plotWidth) * m_timeScale);
    qint64 latest = base > 0 ? data[base - 1].timestamp : std::numeric_limits<qint64>::min();
    double dataMin = ch.dataMin;
    double dataMax = ch.dataMax;
    bool hasData = m_hasData;
    qint64 firstTime = m_firstTime;
    qint64 lastTime = m_lastTime;
    qint64 viewStart = m_viewStart;

    for (qsizetype i = base; i < size; ++i) {
        WaveformSample& s = data[i];
        // Searches and the column scan need non-decreasing timestamps; a
        // sample from the past is kept, at the channel's latest time.
        if (s.timestamp < latest)
            s.timestamp = latest;
        latest = s.timestamp;
        // NaN or infinity would poison the data range and every mapping.
        if (!std::isfinite(s.value))
            s.value = 0.0;
        const double v = s.value;

        ch.summary.append(v);

        if (ch.autoRange) {
            if (i == 0) {
                dataMin = dataMax = v;
            } else if (v > dataMax) {
                dataMax = v;
            } else if (v < dataMin) {
                dataMin = v;
            }
        }

        const qint64 t = s.timestamp;
        if (!hasData) {
            hasData = true;
            firstTime = lastTime = t;
        } else {
            firstTime = std::min(firstTime, t);
            lastTime = std::max(lastTime, t);
        }

        if (m_recording && viewStart >= firstTime &&
            t > saturatedSub(saturatedAdd(viewStart, span), kFollowLead)) {
            const qint64 candidate = saturatedAdd(saturatedSub(t, span), kFollowLead);
            if (candidate >= firstTime)
                viewStart = candidate;
        }
    }

    ch.dataMin = dataMin;
    ch.dataMax = dataMax;
    m_hasData = hasData;
    m_firstTime = firstTime;
    m_lastTime = lastTime;
    m_viewStart = viewStart;
    // The display range depends only on the data range, so once per batch
    // gives the same result as once per sample.
    if (size > base)
        updateDisplayRange(ch);
    clampView();
}

bool WaveformStore::setChannelVisible(int id, bool visible)
{
    auto it = m_channels.find(id);
    if (it == m_channels.end() || it->visible == visible)
        return false;
    const int oldContent = m_contentHeight;
    it->visible = visible;
    recomputeContentHeight();
    if (visible) {
        m_scrollOffset = std::min(bandOffset(id), maxScrollOffset());
    } else {
        m_scrollOffset = std::max(0, m_scrollOffset - (oldContent - m_contentHeight));
    }
    return true;
}

bool WaveformStore::setChannelHeight(int id, int height)
{
    auto it = m_channels.find(id);
    if (it == m_channels.end() || height < 1)
        return false;
    it->height = height;
    recomputeContentHeight();
    return true;
}

bool WaveformStore::setChannelName(int id, const QString& name)
{
    auto it = m_channels.find(id);
    if (it == m_channels.end())
        return false;
    it->name = name;
    return true;
}

bool WaveformStore::restoreAutoRange(int id)
{
    auto it = m_channels.find(id);
    if (it == m_channels.end())
        return false;
    WaveformChannel& ch = it.value();
    ch.autoRange = true;
    if (ch.samples.isEmpty()) {
        ch.dataMin = ch.displayMin = 0.0;
        ch.dataMax = ch.displayMax = 1.0;
        return true;
    }
    double lo = 0.0, hi = 0.0;
    ch.summary.rangeMinMax(ch.samples.constData(), 0, ch.samples.size(), lo, hi);
    ch.dataMin = lo;
    ch.dataMax = hi;
    updateDisplayRange(ch);
    return true;
}

WaveformChannel* WaveformStore::channel(int id)
{
    auto it = m_channels.find(id);
    return it == m_channels.end() ? nullptr : &it.value();
}

const WaveformChannel* WaveformStore::channel(int id) const
{
    auto it = m_channels.constFind(id);
    return it == m_channels.cend() ? nullptr : &it.value();
}

void WaveformStore::startRecording()
{
    if (m_recording)
        return;
    m_recording = true;
    m_recordingClock.start();
    clearData();
}

void WaveformStore::stopRecording()
{
    m_recording = false;
}

qint64 WaveformStore::recordingElapsedMs() const
{
    return m_recordingClock.isValid() ? m_recordingClock.elapsed() : 0;
}

void WaveformStore::clearData()
{
    for (WaveformChannel& ch : m_channels) {
        ch.samples = QVector<WaveformSample>(); // release the memory, not just the size
        ch.summary.clear();
        ++ch.revision;
        ch.displayMin = ch.dataMin = 0.0;
        ch.displayMax = ch.dataMax = 1.0;
    }
    m_viewStart = 0;
    m_firstTime = m_lastTime = 0;
    m_hasData = false;
    clampView();
}

bool WaveformStore::setTimeScale(double nsPerPixel)
{
    if (!(nsPerPixel > 0.0) || !std::isfinite(nsPerPixel))
        return false;
    m_timeScale = nsPerPixel;
    return true;
}

void WaveformStore::setWidgetSize(int width, int height)
{
    m_widgetWidth = width;
    m_widgetHeight = height;
    m_plotWidth = width - kScrollBarThickness - m_labelColumnWidth;
    m_viewportHeight = height - kScrollBarThickness - kHeaderHeight;
}

void WaveformStore::setPlotSize(int plotWidth, int viewportHeight)
{
    m_widgetWidth = m_widgetHeight = -1;
    m_plotWidth = plotWidth;
    m_viewportHeight = viewportHeight;
}

void WaveformStore::handleResize(int width, int height)
{
    setWidgetSize(width, height);
    recomputeContentHeight();
    clampView();
    if (!m_channels.isEmpty() && m_channels.cbegin()->visible) {
        m_scrollOffset = 0;
        clampView();
    }
}

void WaveformStore::setLabelColumnWidth(int width)
{
    m_labelColumnWidth = std::clamp(width, kMinLabelColumnWidth, kMaxLabelColumnWidth);
    if (m_widgetWidth >= 0)
        m_plotWidth = m_widgetWidth - kScrollBarThickness - m_labelColumnWidth;
}

void WaveformStore::recomputeContentHeight()
{
    int total = 0;
    bool any = false;
    for (const WaveformChannel& ch : m_channels) {
        if (!ch.visible)
            continue;
        total += ch.height + kChannelSpacing;
        any = true;
    }
    // Only a visible band is followed by a spacing; with every channel
    // hidden the stack is empty, not negative.
    m_contentHeight = any ? total - kChannelSpacing : 0;
}

int WaveformStore::maxScrollOffset() const
{
    if (m_viewportHeight > 0 && m_viewportHeight < m_contentHeight)
        return m_contentHeight - m_viewportHeight;
    return 0;
}

int WaveformStore::bandOffset(int id) const
{
    int offset = 0;
    for (auto it = m_channels.cbegin(); it != m_channels.cend(); ++it) {
        if (!it->visible)
            continue;
        if (it.key() == id)
            return offset;
        offset += it->height + kChannelSpacing;
    }
    return -1;
}

int WaveformStore::channelAtY(int y) const
{
    if (y < kHeaderHeight)
        return -1;
    const int contentY = y - kHeaderHeight + m_scrollOffset;
    int offset = 0;
    for (auto it = m_channels.cbegin(); it != m_channels.cend(); ++it) {
        if (!it->visible)
            continue;
        if (contentY >= offset && contentY < offset + it->height)
            return it.key();
        offset += it->height + kChannelSpacing;
    }
    return -1;
}

void WaveformStore::clampView()
{
    if (m_plotWidth > 0 && m_hasData) {
        const qint64 span = saturatedInt64(double(m_plotWidth) * m_timeScale);
        const qint64 slack = m_recording ? 0 : saturatedInt64(0.9 * double(span));
        const qint64 lower = saturatedSub(m_firstTime, slack);
        const qint64 upper = std::max(lower, saturatedAdd(saturatedSub(m_lastTime, span), slack));
        m_viewStart = std::max(lower, std::min(upper, m_viewStart));
        m_hBar.visible = true;
        m_hBar.min = m_firstTime;
        m_hBar.max = std::max(m_firstTime, saturatedSub(m_lastTime, span));
        m_hBar.page = span;
        m_hBar.value = m_viewStart;
    } else {
        m_hBar = HorizontalBar();
    }

    if (m_viewportHeight > 0 && m_viewportHeight < m_contentHeight) {
        // Keep the offset inside the bar's range: a value the bar clamps
        // silently would leave the bands scrolled past their end.
        m_scrollOffset = std::clamp(m_scrollOffset, 0, m_contentHeight - m_viewportHeight);
        m_vBar.visible = true;
        m_vBar.min = 0;
        m_vBar.max = m_contentHeight - m_viewportHeight;
        m_vBar.page = m_viewportHeight;
        m_vBar.value = m_scrollOffset;
    } else {
        m_scrollOffset = 0;
        m_vBar = VerticalBar();
    }
}

qsizetype WaveformStore::lowerBound(const QVector<WaveformSample>& samples, qint64 t)
{
    auto it = std::lower_bound(samples.cbegin(), samples.cend(), t,
                               [](const WaveformSample& s, qint64 v) { return s.timestamp < v; });
    return it - samples.cbegin();
}

qsizetype WaveformStore::upperBound(const QVector<WaveformSample>& samples, qint64 t)
{
    auto it = std::upper_bound(samples.cbegin(), samples.cend(), t,
                               [](qint64 v, const WaveformSample& s) { return v < s.timestamp; });
    return it - samples.cbegin();
}

qint64 WaveformStore::snapTime(int id, qint64 t) const
{
    const WaveformChannel* ch = channel(id);
    if (!ch || !ch->visible || ch->samples.isEmpty())
        return t;
    const QVector<WaveformSample>& s = ch->samples;
    if (s.size() == 1)
        return s.constFirst().timestamp;
    const qsizetype i = lowerBound(s, t);
    if (i < s.size() && s[i].timestamp == t)
        return t;
    if (i == s.size())
        return s.constLast().timestamp;
    if (i == 0)
        return s.constFirst().timestamp;
    const qint64 before = s[i - 1].timestamp;
    const qint64 after = s[i].timestamp;
    // Both neighbours bracket t, so neither difference can overflow... unless
    // they lie at opposite ends of the range; compare unsigned.
    return (quint64(t) - quint64(before) <= quint64(after) - quint64(t)) ? before : after;
}

qsizetype WaveformStore::findSample(int id, qint64 t) const
{
    const WaveformChannel* ch = channel(id);
    if (!ch)
        return -1;
    const qsizetype i = lowerBound(ch->samples, t);
    if (i < ch->samples.size() && ch->samples[i].timestamp == t)
        return i;
    return -1;
}

bool WaveformStore::rangeMinMax(int id, qsizetype first, qsizetype end, double& min, double& max) const
{
    const WaveformChannel* ch = channel(id);
    if (!ch)
        return false;
    return ch->summary.rangeMinMax(ch->samples.constData(), first, end, min, max);
}

QString WaveformStore::valueLabelText(double v)
{
    QString text = QString::number(v, 'f', 2);
    if (text.startsWith(QLatin1Char('-')) && text.count(QLatin1Char('0')) == text.size() - 2)
        text.remove(0, 1);
    return text;
}

int WaveformStore::valueToY(double v, int y0, int h, double lo, double hi)
{
    const double range = hi - lo;
    if (!(range > 0.0) || !std::isfinite(range))
        return y0 + h / 2;
    return saturatedInt(double(y0) + double(h) * (1.0 - (v - lo) / range));
}

double WaveformStore::yToValue(double y, int y0, int h, double lo, double hi)
{
    const double range = hi - lo;
    if (!(range > 0.0) || h == 0)
        return lo;
    const double d = y - double(y0);
    return lo + (1.0 - d / double(h)) * range;
}

int WaveformStore::timeToX(qint64 t) const
{
    return m_labelColumnWidth + saturatedInt(differenceAsDouble(t, m_viewStart) / m_timeScale);
}

qint64 WaveformStore::xToTime(double x) const
{
    const int px = saturatedInt(x - double(m_labelColumnWidth));
    return saturatedAdd(saturatedInt64(double(px) * m_timeScale), m_viewStart);
}

WaveformStore::ColumnScan WaveformStore::scanColumns(int id) const
{
    return scanColumns(id, m_viewStart, m_timeScale, m_plotWidth, m_sampleRate);
}

WaveformStore::ColumnScan WaveformStore::scanColumns(int id, qint64 viewStart, double timeScale,
                                                     int plotWidth, double sampleRate) const
{
    ColumnScan scan;
    const WaveformChannel* ch = channel(id);
    if (!ch || ch->samples.isEmpty() || plotWidth <= 0 || !(timeScale > 0.0))
        return scan;

    const QVector<WaveformSample>& s = ch->samples;
    const qsizetype n = s.size();
    const qsizetype first = lowerBound(s, viewStart);
    scan.firstIndex = first;
    scan.endIndex = first;
    if (first > 0) {
        scan.hasLeadIn = true;
        scan.leadIn = s[first - 1];
    }
    scan.columns.resize(plotWidth);
    if (first >= n)
        return scan;

    // Ten sample periods past the right edge, so the line leaves the plot
    // towards the next sample instead of stopping short.
    const double rate = effectiveRate(sampleRate);
    const qint64 viewEnd =
        saturatedAdd(viewStart, saturatedInt64(double(plotWidth) * timeScale + 10000000000.0 / rate));
    const qsizetype end =
        std::upper_bound(s.cbegin() + first, s.cend(), viewEnd,
                         [](qint64 v, const WaveformSample& x) { return v < x.timestamp; }) -
        s.cbegin();
    scan.endIndex = end;

    // Column of a sample = (t - viewStart) / timeScale, truncated; compared
    // as doubles so huge offsets never overflow an integer.
    auto offsetOf = [&](qsizetype i) { return differenceAsDouble(s[i].timestamp, viewStart) / timeScale; };
    const double width = double(plotWidth);
    ColumnBucket* buckets = scan.columns.data();

    qsizetype i = first;
    qsizetype hint = 0;
    while (i < end) {
        const double d = offsetOf(i);
        if (d >= width) {
            for (; i < end && scan.overflow.size() < kMaxOverflowSamples; ++i)
                scan.overflow.append(s[i]);
            break;
        }
        const qint64 c = qint64(d);
        const double next = double(c + 1);
        auto inColumn = [&](const WaveformSample& x) {
            return differenceAsDouble(x.timestamp, viewStart) / timeScale < next;
        };
        // Find the column's end. Columns usually hold about as many samples
        // as the previous one: check that guess and its neighbour, then
        // gallop away from it and finish with a binary search, so a good
        // guess costs two probes and a poor one a few more.
        qsizetype lo = i + 1; // everything before lo is in column c
        qsizetype hi = end;   // everything from hi on is past column c
        if (hint > 1) {
            const qsizetype k = std::min(i + hint - 1, end - 1);
            if (inColumn(s[k])) {
                lo = k + 1;
                for (qsizetype step = 1; lo < end && inColumn(s[lo]); step *= 2) {
                    lo = lo + 1;
                    const qsizetype probe = std::min(lo + step, end);
                    if (probe >= end || !inColumn(s[probe])) {
                        hi = probe;
                        break;
                    }
                    lo = probe + 1;
                }
                if (lo >= end || !inColumn(s[lo]))
                    hi = std::min(hi, lo);
            } else {
                hi = k;
                for (qsizetype step = 1; hi - step > lo; step *= 2) {
                    if (inColumn(s[hi - step])) {
                        lo = hi - step + 1;
                        break;
                    }
                    hi -= step;
                }
            }
        } else {
            qsizetype step = 1;
            hi = lo;
            while (hi < end && inColumn(s[hi])) {
                lo = hi + 1;
                hi = lo + step;
                step *= 2;
            }
            if (hi > end)
                hi = end;
        }
        const qsizetype j = std::partition_point(s.cbegin() + lo, s.cbegin() + hi, inColumn) - s.cbegin();
        hint = j - i;
        // The next columns' samples and summary blocks lie tens of
        // kilobytes ahead when zoomed out; ask for them now so that their
        // cache misses overlap this column's work.
        if (hint > 64) {
            const qsizetype ahead = std::min(j + 2 * hint, n - 1);
            // The probes and the single samples at the column's edge: the
            // 16-sample block around it, a cache line per 4 samples.
            const qsizetype from = std::max<qsizetype>(0, (ahead & ~qsizetype(15)) - 16);
            const qsizetype to = std::min(n - 1, from + 48);
            for (qsizetype k = from; k <= to; k += 4)
                __builtin_prefetch(&s[k]);
            ch->summary.prefetch(ahead);
        }

        ColumnBucket& b = buckets[c];
        b.hasData = true;
        b.count = j - i;
        b.last = s[j - 1].value;
        if (b.count == 1) {
            b.min = b.max = b.last;
        } else {
            ch->summary.rangeMinMax(s.constData(), i, j, b.min, b.max);
        }
        ++scan.columnsWithData;
        i = j;
    }
    return scan;
}

WaveformStore::RangeStats WaveformStore::rangeStatistics(int id, qint64 t1, qint64 t2) const
{
    RangeStats stats;
    const WaveformChannel* ch = channel(id);
    if (!ch)
        return stats;
    const qsizetype first = lowerBound(ch->samples, std::min(t1, t2));
    const qsizetype end = upperBound(ch->samples, std::max(t1, t2));
    double sum = 0.0;
    if (first >= end ||
        !ch->summary.rangeStats(ch->samples.constData(), first, end, stats.minimum, stats.maximum, sum))
        return stats;
    stats.count = end - first;
    stats.average = sum / double(stats.count);
    stats.peakToPeak = stats.maximum - stats.minimum;
    return stats;
}

WaveformStore::ZoomLimits WaveformStore::zoomLimits() const
{
    ZoomLimits limits;
    limits.finest = std::trunc(1e9 / effectiveSampleRate() / kMaxZoomPixelsPerSample);
    // Computed in double: the span of a recording may not fit in 64 bits.
    const double span = double(m_lastTime) - double(m_firstTime);
    if (m_plotWidth > 0 && m_hasData && span > 0.0)
        limits.coarsest = std::max(1e9, 10.0 * span / double(m_plotWidth));
    else
        limits.coarsest = 1e15;
    return limits;
}

bool WaveformStore::wheelZoom(int x, bool zoomIn)
{
    if (m_channels.isEmpty() || m_channels.cbegin()->samples.isEmpty())
        return false;
    const ZoomLimits limits = zoomLimits();
    const double old = m_timeScale;
    double next = zoomIn ? old / kWheelZoomFactor : old * kWheelZoomFactor;
    // The last notch in lands exactly on the finest scale instead of being
    // refused a little short of it.
    if (zoomIn && next <= limits.finest && old > limits.finest)
        next = limits.finest;
    bool changed = false;
    if (next >= limits.finest && next < limits.coarsest && next != old) {
        const int px = x - m_labelColumnWidth;
        const qint64 anchor = saturatedAdd(saturatedInt64(double(px) * old), m_viewStart);
        m_viewStart = saturatedSub(anchor, saturatedInt64(double(px) * next));
        m_timeScale = next;
        changed = true;
    }
    if (m_timeScale < limits.finest && limits.finest > 0.0) {
        m_timeScale = limits.finest;
        changed = true;
    }
    clampView();
    return changed;
}

bool WaveformStore::verticalZoom(int id, double value, bool zoomIn)
{
    WaveformChannel* ch = channel(id);
    if (!ch || !std::isfinite(value))
        return false;
    const double f = zoomIn ? kVerticalZoomIn : kVerticalZoomOut;
    const double hi = (ch->displayMax - value) * f + value;
    const double lo = value - (value - ch->displayMin) * f;
    const double span = hi - lo;
    const double dataRange = ch->dataMax - ch->dataMin;
    if (!std::isfinite(span) || span < kMinValueSpan)
        return false;
    if (dataRange > 0.0 && span > kMaxValueSpanFactor * dataRange)
        return false;
    ch->displayMin = lo;
    ch->displayMax = hi;
    ch->autoRange = false;
    return true;
}

void WaveformStore::panByPixels(double dx)
{
    m_viewStart = saturatedSub(m_viewStart, saturatedInt64(dx * m_timeScale));
    clampView();
}

void WaveformStore::scrollBands(int angleDelta)
{
    // The stack may scroll until its end sits at the bottom of the plot.
    const int limit = std::max(0, m_contentHeight - m_viewportHeight);
    m_scrollOffset = std::clamp(m_scrollOffset - angleDelta, 0, limit);
    clampView();
}

bool WaveformStore::fitView()
{
    if (!m_hasData || m_plotWidth <= 0)
        return false;
    const double span = double(m_lastTime) - double(m_firstTime);
    if (span > 0.0)
        m_timeScale = span / double(m_plotWidth);
    m_viewStart = m_firstTime;
    clampView();
    return true;
}

bool WaveformStore::resizeAllChannelsToMatch(int id)
{
    const WaveformChannel* ch = channel(id);
    if (!ch || ch->height <= kMinBandHeight)
        return false;
    const int height = ch->height;
    const int oldContent = m_contentHeight;
    for (WaveformChannel& c : m_channels)
        c.height = height;
    recomputeContentHeight();
    if (m_contentHeight < oldContent)
        m_scrollOffset = std::max(0, m_scrollOffset - (oldContent - m_contentHeight));
    clampView();
    return true;
}

void WaveformStore::restoreAllAutoRanges()
{
    for (int id : m_channels.keys())
        restoreAutoRange(id);
}

qsizetype WaveformStore::memoryBytes() const
{
    qsizetype bytes = 0;
    for (const WaveformChannel& ch : m_channels)
        bytes += ch.samples.capacity() * qsizetype(sizeof(WaveformSample)) + ch.summary.memoryBytes();
    return bytes;
}
