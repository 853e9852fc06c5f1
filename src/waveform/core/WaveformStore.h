#pragma once

#include "WaveformChannel.h"
#include "WaveformSample.h"

#include <QColor>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QString>
#include <QVector>

// All sample data of the plot and the view arithmetic that does not need a
// window: channels, time bounds, recording and follow mode, view clamping and
// the scroll-bar figures, snapping, value/time <-> pixel mapping and the
// per-column picture used to draw a waveform. GUI thread only, no locking.
class WaveformStore
{
public:
    static constexpr int kDefaultLabelColumnWidth = 50;
    static constexpr int kMinLabelColumnWidth = 50;
    static constexpr int kMaxLabelColumnWidth = 300;
    static constexpr int kHeaderHeight = 35;
    static constexpr int kChannelSpacing = 2;
    static constexpr int kScrollBarThickness = 8;
    static constexpr int kDefaultChannelHeight = 100;
    static constexpr double kDefaultTimeScale = 10000.0; // ns per pixel
    static constexpr double kDefaultSampleRate = 1000000.0;
    // Follow mode starts moving the view this far before the right edge.
    static constexpr qint64 kFollowLead = 100000000; // 0.1 s
    // At most this many samples past the right edge are handed to the drawing;
    // later ones are off-screen anyway.
    static constexpr int kMaxOverflowSamples = 16;

    struct HorizontalBar
    {
        bool visible = false;
        qint64 min = 0;
        qint64 max = 0;
        qint64 page = 0;
        qint64 value = 0;
    };

    struct VerticalBar
    {
        bool visible = false;
        int min = 0;
        int max = 0;
        int page = 0;
        int value = 0;
    };

    // The picture of one pixel column: every sample whose timestamp falls in
    // [viewStart + c * timeScale, viewStart + (c + 1) * timeScale).
    struct ColumnBucket
    {
        bool hasData = false;
        double min = 0.0;
        double max = 0.0;
        double last = 0.0;   // value of the column's last sample
        qsizetype count = 0; // samples in the column
    };

    struct ColumnScan
    {
        QVector<ColumnBucket> columns; // plotWidth entries (empty when nothing to draw)
        bool hasLeadIn = false;
        WaveformSample leadIn;            // the sample just before the view start
        QVector<WaveformSample> overflow; // samples past the right edge, up to the view end
        qsizetype firstIndex = 0;         // first sample with timestamp >= view start
        qsizetype endIndex = 0;           // first sample with timestamp > view end
        int columnsWithData = 0;
    };

    // Navigation limits.
    static constexpr int kMinBandHeight = 50; // a resized band must be taller
    static constexpr double kMaxZoomPixelsPerSample = 50.0;
    static constexpr double kWheelZoomFactor = 1.4;
    static constexpr double kVerticalZoomIn = 0.8;
    static constexpr double kVerticalZoomOut = 1.25;
    static constexpr double kMinValueSpan = 1e-9;
    static constexpr double kMaxValueSpanFactor = 10000.0;

    struct ZoomLimits
    {
        double finest = 0.0;   // ns per pixel
        double coarsest = 0.0; // ns per pixel, never reached
    };

    // Statistics of the samples of one channel in a closed time range.
    struct RangeStats
    {
        double minimum = 0.0;
        double maximum = 0.0;
        double average = 0.0;
        double peakToPeak = 0.0;
        qint64 count = 0;
    };

    WaveformStore();

    // The 8 channel colours; channel id gets paletteColor(id % 8).
    static QColor paletteColor(int index);

    // Channels ----------------------------------------------------------
    int addChannel(const QString& name);
    // Unknown id: the samples are dropped. Otherwise appends (non-finite values
    // become 0, a timestamp earlier than the channel's last one is raised to
    // it), updates ranges, time bounds and follow mode, then clamps the view.
    void appendChannelData(int id, const QVector<WaveformSample>& samples);
    // Returns true when the flag really changed.
    bool setChannelVisible(int id, bool visible);
    // Stores the height (ignored when < 1) and recomputes the content height.
    bool setChannelHeight(int id, int height);
    bool setChannelName(int id, const QString& name);
    // Auto range on, data and display range recomputed from all samples.
    bool restoreAutoRange(int id);

    bool hasChannel(int id) const { return m_channels.contains(id); }
    WaveformChannel* channel(int id);
    const WaveformChannel* channel(int id) const;
    const QMap<int, WaveformChannel>& channels() const { return m_channels; }
    QList<int> channelIds() const { return m_channels.keys(); }
    int channelCount() const { return int(m_channels.size()); }

    // Recording ---------------------------------------------------------
    void startRecording(); // no-op when recording; else clears all data
    void stopRecording();
    bool isRecording() const { return m_recording; }
    // Milliseconds since recording started (0 when never started).
    qint64 recordingElapsedMs() const;

    // Samples lost, display and data ranges back to 0..1, view start and the
    // time bounds 0, no data. Auto range flags stay.
    void clearData();

    void setSampleRate(double rate) { m_sampleRate = rate; }
    double sampleRate() const { return m_sampleRate; }
    // The rate the drawing arithmetic divides by: rate <= 0 counts as 1.
    double effectiveSampleRate() const { return effectiveRate(m_sampleRate); }
    static double effectiveRate(double rate) { return rate > 0.0 ? rate : 1.0; }

    // Time bounds over all channels.
    bool hasData() const { return m_hasData; }
    qint64 firstTime() const { return m_firstTime; }
    qint64 lastTime() const { return m_lastTime; }

    // View state --------------------------------------------------------
    qint64 viewStart() const { return m_viewStart; }
    void setViewStart(qint64 t) { m_viewStart = t; } // no clamping; call clampView()
    double timeScale() const { return m_timeScale; }
    // Non-positive or non-finite scales are ignored (returns false).
    bool setTimeScale(double nsPerPixel);

    // Sizes: either the widget size (plot width and viewport height derived
    // from the margins) or the two figures directly.
    void setWidgetSize(int width, int height);
    void setPlotSize(int plotWidth, int viewportHeight);
    // What a resize of the widget does: new sizes, content height
    // recomputed, view clamped, and the band stack scrolled to the top when
    // the first channel is visible.
    void handleResize(int width, int height);
    int plotWidth() const { return m_plotWidth; }           // W = width - 8 - label column
    int viewportHeight() const { return m_viewportHeight; } // H = height - 8 - header

    int labelColumnWidth() const { return m_labelColumnWidth; }
    // Clamped to 50..300; re-derives the plot width when the widget size is known.
    void setLabelColumnWidth(int width);
    int headerHeight() const { return kHeaderHeight; }
    int channelSpacing() const { return kChannelSpacing; }
    int scrollBarThickness() const { return kScrollBarThickness; }

    int scrollOffset() const { return m_scrollOffset; }
    void setScrollOffset(int offset) { m_scrollOffset = offset; }
    int contentHeight() const { return m_contentHeight; }
    // Sum over visible channels of (height + spacing), minus one spacing
    // when a visible channel exists (never negative).
    void recomputeContentHeight();
    int maxScrollOffset() const;

    // Band geometry in content coordinates (0 = top of the first band):
    // the offset of a visible channel's band, -1 for hidden/unknown ids.
    int bandOffset(int id) const;
    // The visible channel whose band contains widget y (header and scroll
    // offset taken into account), -1 when none; spacing belongs to no band.
    int channelAtY(int y) const;

    // Clamps the view start and the scroll offset and recomputes both bars.
    void clampView();
    const HorizontalBar& horizontalBar() const { return m_hBar; }
    const VerticalBar& verticalBar() const { return m_vBar; }

    // Searches -----------------------------------------------------------
    // Snaps t to a sample of the channel (the earlier one on a tie); t
    // unchanged for unknown, hidden or empty channels.
    qint64 snapTime(int id, qint64 t) const;
    // Index of the sample with exactly this timestamp, -1 if none.
    qsizetype findSample(int id, qint64 t) const;
    // First index with timestamp >= t / > t.
    static qsizetype lowerBound(const QVector<WaveformSample>& samples, qint64 t);
    static qsizetype upperBound(const QVector<WaveformSample>& samples, qint64 t);
    // Min/max of the channel's values over [first, end) via the block summaries.
    bool rangeMinMax(int id, qsizetype first, qsizetype end, double& min, double& max) const;

    // Statistics over min(t1, t2) <= timestamp <= max(t1, t2); all zero when
    // no sample lies there. Min/max and the sum come from the block
    // summaries, so the cost does not grow with the number of samples.
    RangeStats rangeStatistics(int id, qint64 t1, qint64 t2) const;

    // Navigation ------------------------------------------------------------
    // Finest: a sample period spans at most 50 pixels; coarsest: ten times the
    // data span per plot width, at least 1 s per pixel (10^15 without data).
    ZoomLimits zoomLimits() const;
    // Wheel over the plot at widget x (zoomIn = wheel up): the time under the
    // pointer stays put. Needs data in the first channel; zooming in stops at
    // the finest limit, zooming out before the coarsest. True when changed.
    bool wheelZoom(int x, bool zoomIn);
    // Ctrl+wheel: scales the display range of a channel about `value`. Refused
    // below a span of 1e-9 or above 10 000 x a positive data range; accepted
    // zooms turn auto range off.
    bool verticalZoom(int id, double value, bool zoomIn);
    // Moves the view by dx pixels (content follows the pointer) and clamps.
    void panByPixels(double dx);
    // Scrolls the band stack by wheel units (120 per notch, as pixels).
    void scrollBands(int angleDelta);
    // Whole recording across the plot.
    bool fitView();
    // Every channel gets the height of `id` when it exceeds 50 px.
    bool resizeAllChannelsToMatch(int id);
    // Auto range on and ranges recomputed, for every channel.
    void restoreAllAutoRanges();

    // Mapping -------------------------------------------------------------
    // y = y0 + h * (1 - (v - lo) / (hi - lo)), truncated; y0 + h / 2 for an empty range.
    static int valueToY(double v, int y0, int h, double lo, double hi);
    // A value grid label: two decimals. A grid line at zero computed as
    // lo + i * step lands a rounding error off it; that reads "0.00", never
    // "-0.00".
    static QString valueLabelText(double v);
    // Inverse: value at widget y inside the band starting at y0.
    static double yToValue(double y, int y0, int h, double lo, double hi);
    // x = label column + (t - view start) / time scale, truncated.
    int timeToX(qint64 t) const;
    // t = (int)(x - label column) * time scale + view start.
    qint64 xToTime(double x) const;

    // Drawing support --------------------------------------------------------
    // The per-column picture of the channel for a plot of plotWidth columns.
    // Cost depends on the plot width and the number of non-empty columns, not
    // on the number of samples in view. Empty result for unknown ids, empty
    // channels or plotWidth <= 0; rate <= 0 counts as 1.
    ColumnScan scanColumns(int id, qint64 viewStart, double timeScale, int plotWidth,
                           double sampleRate) const;
    // Same with the store's own view, plot width and sample rate.
    ColumnScan scanColumns(int id) const;

    // Bytes held for samples and summaries (allocated capacity).
    qsizetype memoryBytes() const;

private:
    void updateDisplayRange(WaveformChannel& ch);

    QMap<int, WaveformChannel> m_channels;
    int m_nextId = 0;

    int m_labelColumnWidth = kDefaultLabelColumnWidth;
    int m_widgetWidth = -1;
    int m_widgetHeight = -1;
    int m_plotWidth = 0;
    int m_viewportHeight = 0;
    qint64 m_viewStart = 0;
    double m_timeScale = kDefaultTimeScale;
    int m_scrollOffset = 0;
    int m_contentHeight = 0;

    bool m_recording = false;
    QElapsedTimer m_recordingClock;
    bool m_hasData = false;
    qint64 m_firstTime = 0;
    qint64 m_lastTime = 0;
    double m_sampleRate = kDefaultSampleRate;

    HorizontalBar m_hBar;
    VerticalBar m_vBar;
};
