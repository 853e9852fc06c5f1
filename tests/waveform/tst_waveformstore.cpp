#include "WaveformStore.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

QVector<WaveformSample> series(qint64 t0, qint64 dt, const QVector<double>& values)
{
    QVector<WaveformSample> out;
    for (int i = 0; i < values.size(); ++i)
        out.append(WaveformSample{t0 + i * dt, values[i]});
    return out;
}

// The drawing's column walk done the plain way: every sample in view,
// visited one by one (a stride of 1), merged into its pixel column.
WaveformStore::ColumnScan referenceScan(const QVector<WaveformSample>& s, qint64 viewStart, double timeScale,
                                        int width, double sampleRate)
{
    WaveformStore::ColumnScan scan;
    scan.columns.resize(width);
    qsizetype first = 0;
    while (first < s.size() && s[first].timestamp < viewStart)
        ++first;
    scan.firstIndex = first;
    if (first > 0) {
        scan.hasLeadIn = true;
        scan.leadIn = s[first - 1];
    }
    const double rate = sampleRate > 0 ? sampleRate : 1.0;
    const double viewEnd = double(viewStart) + width * timeScale + 1e10 / rate;
    for (qsizetype i = first; i < s.size() && double(s[i].timestamp) <= viewEnd; ++i) {
        const double d = double(s[i].timestamp - viewStart) / timeScale;
        if (d >= width) {
            scan.overflow.append(s[i]);
            continue;
        }
        WaveformStore::ColumnBucket& b = scan.columns[qsizetype(d)];
        if (!b.hasData) {
            b.hasData = true;
            b.min = b.max = s[i].value;
            b.count = 1;
        } else {
            b.min = std::min(b.min, s[i].value);
            b.max = std::max(b.max, s[i].value);
            ++b.count;
        }
        b.last = s[i].value;
    }
    return scan;
}

void compareScans(const WaveformStore::ColumnScan& got, const WaveformStore::ColumnScan& want)
{
    QCOMPARE(got.columns.size(), want.columns.size());
    QCOMPARE(got.hasLeadIn, want.hasLeadIn);
    if (want.hasLeadIn) {
        QCOMPARE(got.leadIn.timestamp, want.leadIn.timestamp);
        QCOMPARE(got.leadIn.value, want.leadIn.value);
    }
    QCOMPARE(got.firstIndex, want.firstIndex);
    for (int c = 0; c < want.columns.size(); ++c) {
        const auto& g = got.columns[c];
        const auto& w = want.columns[c];
        QVERIFY2(g.hasData == w.hasData, qPrintable(QStringLiteral("column %1").arg(c)));
        if (!w.hasData)
            continue;
        QCOMPARE(g.count, w.count);
        QCOMPARE(g.last, w.last);
        QCOMPARE(g.min, w.min);
        QCOMPARE(g.max, w.max);
    }
    // Only the first few samples past the edge are handed on; they must be
    // the reference's first ones.
    const qsizetype n = std::min<qsizetype>(want.overflow.size(), WaveformStore::kMaxOverflowSamples);
    QCOMPARE(got.overflow.size(), n);
    for (qsizetype i = 0; i < n; ++i) {
        QCOMPARE(got.overflow[i].timestamp, want.overflow[i].timestamp);
        QCOMPARE(got.overflow[i].value, want.overflow[i].value);
    }
}

} // namespace

class TestWaveformStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void channelsGetIdsAndPalette()
    {
        WaveformStore store;
        for (int i = 0; i < 16; ++i)
            QCOMPARE(store.addChannel(QStringLiteral("Channel %1").arg(i)), i);
        QCOMPARE(store.channelIds().size(), 16);
        QCOMPARE(store.channel(0)->color, QColor(212, 212, 212));
        QCOMPARE(store.channel(6)->color, QColor(83, 169, 253));
        QCOMPARE(store.channel(7)->color, QColor(175, 146, 251));
        QCOMPARE(store.channel(8)->color, QColor(212, 212, 212));
        QCOMPARE(store.channel(13)->color, QColor(88, 198, 103));
        const WaveformChannel* ch = store.channel(3);
        QCOMPARE(ch->name, QStringLiteral("Channel 3"));
        QCOMPARE(ch->height, 100);
        QVERIFY(ch->visible);
        QVERIFY(ch->autoRange);
        QCOMPARE(ch->displayMin, 0.0);
        QCOMPARE(ch->displayMax, 1.0);
        QCOMPARE(ch->dataMin, 0.0);
        QCOMPARE(ch->dataMax, 1.0);
        QVERIFY(store.channel(16) == nullptr);
        QVERIFY(store.channel(-1) == nullptr);
    }

    void unknownIdsAreIgnored()
    {
        WaveformStore store;
        store.addChannel("a");
        store.appendChannelData(5, series(0, 1, {1, 2, 3}));
        QVERIFY(!store.hasData());
        QVERIFY(!store.setChannelVisible(5, false));
        QVERIFY(!store.setChannelHeight(5, 80));
        QVERIFY(!store.restoreAutoRange(5));
        QCOMPARE(store.snapTime(5, 123), 123);
        QVERIFY(store.scanColumns(5, 0, 1.0, 100, 1000).columns.isEmpty());
    }

    void singleSampleDisplayRange()
    {
        WaveformStore store;
        store.addChannel("a");
        store.appendChannelData(0, series(0, 1, {5}));
        const WaveformChannel* ch = store.channel(0);
        QCOMPARE(ch->dataMin, 5.0);
        QCOMPARE(ch->dataMax, 5.0);
        QCOMPARE(ch->displayMin, 4.9);
        QCOMPARE(ch->displayMax, 5.1);
    }

    void twoValuesDisplayRange()
    {
        WaveformStore store;
        store.addChannel("a");
        store.appendChannelData(0, series(0, 1, {0}));
        store.appendChannelData(0, series(1, 1, {10}));
        QCOMPARE(store.channel(0)->displayMin, -1.0);
        QCOMPARE(store.channel(0)->displayMax, 11.0);
    }

    void coincidingBoundsAreWidened()
    {
        WaveformStore store;
        store.addChannel("a");
        // 1e17 +- 0.1 rounds back to 1e17: the range would be empty.
        store.appendChannelData(0, series(0, 1, {1e17}));
        const WaveformChannel* ch = store.channel(0);
        QVERIFY(ch->displayMin < ch->displayMax);
        QVERIFY(ch->displayMin <= 1e17 && 1e17 <= ch->displayMax);
        QCOMPARE(WaveformStore::valueToY(1e17, 0, 100, ch->displayMin, ch->displayMax), 50);
    }

    void frozenDataRangeWithAutoRangeOff()
    {
        WaveformStore store;
        store.addChannel("a");
        store.appendChannelData(0, series(0, 1, {0, 10}));
        WaveformChannel* ch = store.channel(0);
        ch->autoRange = false;
        ch->displayMin = 2;
        ch->displayMax = 3;
        store.appendChannelData(0, series(2, 1, {100}));
        QCOMPARE(ch->dataMax, 10.0);
        QCOMPARE(ch->displayMin, -1.0);
        QCOMPARE(ch->displayMax, 11.0);
        QVERIFY(store.restoreAutoRange(0));
        QVERIFY(ch->autoRange);
        QCOMPARE(ch->dataMax, 100.0);
        QCOMPARE(ch->dataMin, 0.0);
        QCOMPARE(ch->displayMax, 110.0);
    }

    void restoreAutoRangeOnEmptyChannel()
    {
        WaveformStore store;
        store.addChannel("a");
        WaveformChannel* ch = store.channel(0);
        ch->autoRange = false;
        ch->displayMin = -7;
        QVERIFY(store.restoreAutoRange(0));
        QCOMPARE(ch->displayMin, 0.0);
        QCOMPARE(ch->displayMax, 1.0);
        QCOMPARE(ch->dataMax, 1.0);
    }

    void timeBoundsAcrossChannels()
    {
        WaveformStore store;
        store.addChannel("a");
        store.addChannel("b");
        QVERIFY(!store.hasData());
        store.appendChannelData(1, series(500, 10, {1, 2}));
        store.appendChannelData(0, series(100, 10, {1}));
        store.appendChannelData(0, QVector<WaveformSample>());
        QVERIFY(store.hasData());
        QCOMPARE(store.firstTime(), 100);
        QCOMPARE(store.lastTime(), 510);
    }

    void backwardTimestampsAreClamped()
    {
        WaveformStore store;
        store.addChannel("a");
        store.appendChannelData(0, {{100, 1}, {50, 2}, {200, 3}});
        store.appendChannelData(0, {{150, 4}});
        const QVector<WaveformSample>& s = store.channel(0)->samples;
        QCOMPARE(s.size(), 4);
        QCOMPARE(s[1].timestamp, 100);
        QCOMPARE(s[1].value, 2.0);
        QCOMPARE(s[3].timestamp, 200);
        for (int i = 1; i < s.size(); ++i)
            QVERIFY(s[i - 1].timestamp <= s[i].timestamp);
        QCOMPARE(store.firstTime(), 100);
    }

    void nonFiniteValuesBecomeZero()
    {
        WaveformStore store;
        store.addChannel("a");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        store.appendChannelData(0, {{0, 4}, {1, nan}, {2, inf}, {3, -inf}, {4, 8}});
        const WaveformChannel* ch = store.channel(0);
        QCOMPARE(ch->samples[1].value, 0.0);
        QCOMPARE(ch->samples[2].value, 0.0);
        QCOMPARE(ch->dataMin, 0.0);
        QCOMPARE(ch->dataMax, 8.0);
        QVERIFY(std::isfinite(ch->displayMin) && std::isfinite(ch->displayMax));
        double lo, hi;
        QVERIFY(store.rangeMinMax(0, 0, 5, lo, hi));
        QCOMPARE(lo, 0.0);
        QCOMPARE(hi, 8.0);
    }

    void followModeKeepsNewestAtRightEdge()
    {
        WaveformStore store;
        store.addChannel("a");
        store.setWidgetSize(1200, 1000); // W = 1142 px, span 11.42 ms at 10 000 ns/px
        QCOMPARE(store.plotWidth(), 1142);
        QCOMPARE(store.timeScale(), 10000.0);
        store.startRecording();
        const qint64 span = 11420000;
        qint64 t = 0;
        // 1000 samples/s, drained 100 at a time.
        for (int tick = 0; tick < 30; ++tick) {
            QVector<WaveformSample> batch;
            for (int i = 0; i < 100; ++i, t += 1000000)
                batch.append({t, double(i)});
            store.appendChannelData(0, batch);
            const qint64 last = store.lastTime();
            if (last <= span)
                QCOMPARE(store.viewStart(), 0);
            else
                QCOMPARE(store.viewStart(), last - span);
            QCOMPARE(store.timeToX(last) <= store.labelColumnWidth() + store.plotWidth(), true);
        }
        QVERIFY(store.viewStart() > 0);

        // Small steps: stays at 0 until the data passes the edge.
        store.stopRecording();
        store.startRecording();
        QVERIFY(!store.hasData());
        QCOMPARE(store.viewStart(), 0);
        store.appendChannelData(0, {{0, 1}, {5000000, 1}, {11420000, 1}});
        QCOMPARE(store.viewStart(), 0);
        store.appendChannelData(0, {{11430000, 1}});
        QCOMPARE(store.viewStart(), 10000);
    }

    void noFollowWhenNotRecording()
    {
        WaveformStore store;
        store.addChannel("a");
        store.setWidgetSize(1200, 1000);
        store.appendChannelData(0, series(0, 1000000, QVector<double>(100, 1.0)));
        QCOMPARE(store.viewStart(), 0);
    }

    void clampingSlack()
    {
        WaveformStore store;
        store.addChannel("a");
        store.setPlotSize(1000, 500);
        store.appendChannelData(0, series(1000000, 1000, QVector<double>(10001, 1.0))); // 1 ms .. 11 ms
        const qint64 span = 10000000;                                                   // 1000 px x 10 000 ns
        const qint64 slack = 9000000;
        store.setViewStart(std::numeric_limits<qint64>::max() / 2);
        store.clampView();
        QCOMPARE(store.viewStart(), store.lastTime() - span + slack);
        store.setViewStart(-std::numeric_limits<qint64>::max() / 2);
        store.clampView();
        QCOMPARE(store.viewStart(), store.firstTime() - slack);
        const WaveformStore::HorizontalBar& bar = store.horizontalBar();
        QVERIFY(bar.visible);
        QCOMPARE(bar.min, store.firstTime());
        QCOMPARE(bar.max, std::max(store.firstTime(), store.lastTime() - span));
        QCOMPARE(bar.page, span);
        QCOMPARE(bar.value, store.viewStart());

        // While recording the data bounds hold exactly.
        store.startRecording();
        store.appendChannelData(0, series(0, 1000, QVector<double>(30001, 1.0))); // 0 .. 30 ms
        store.setViewStart(-5);
        store.clampView();
        QCOMPARE(store.viewStart(), 0);
        store.setViewStart(1000000000);
        store.clampView();
        QCOMPARE(store.viewStart(), 30000000 - span);
    }

    void clampWithoutDataOrWidth()
    {
        WaveformStore store;
        store.addChannel("a");
        store.setViewStart(12345);
        store.clampView();
        QVERIFY(!store.horizontalBar().visible);
        QCOMPARE(store.horizontalBar().max, 0);
        store.setPlotSize(0, 100);
        store.appendChannelData(0, series(0, 1, {1, 2}));
        QVERIFY(!store.horizontalBar().visible);
    }

    void contentHeightAndHiddenChannels()
    {
        WaveformStore store;
        QCOMPARE(store.contentHeight(), 0);
        for (int i = 0; i < 16; ++i) {
            store.addChannel(QString::number(i));
            store.setChannelVisible(i, false);
        }
        QCOMPARE(store.contentHeight(), 0);
        QVERIFY(store.setChannelVisible(3, true));
        QVERIFY(!store.setChannelVisible(3, true));
        QCOMPARE(store.contentHeight(), 100);
        QVERIFY(store.setChannelVisible(7, true));
        QCOMPARE(store.contentHeight(), 202);
        QVERIFY(store.setChannelHeight(7, 60));
        QCOMPARE(store.contentHeight(), 162);
        QCOMPARE(store.bandOffset(3), 0);
        QCOMPARE(store.bandOffset(7), 102);
        QCOMPARE(store.bandOffset(5), -1);
        // Hidden channels take no space in the y lookup either.
        QCOMPARE(store.channelAtY(35), 3);
        QCOMPARE(store.channelAtY(35 + 99), 3);
        QCOMPARE(store.channelAtY(35 + 100), -1); // spacing
        QCOMPARE(store.channelAtY(35 + 102), 7);
        QCOMPARE(store.channelAtY(35 + 161), 7);
        QCOMPARE(store.channelAtY(35 + 162), -1);
        QCOMPARE(store.channelAtY(10), -1);
    }

    void visibilityScrollRules()
    {
        WaveformStore store;
        for (int i = 0; i < 6; ++i)
            store.addChannel(QString::number(i));
        store.setPlotSize(500, 250);
        store.clampView();
        QCOMPARE(store.contentHeight(), 6 * 102 - 2);
        QCOMPARE(store.maxScrollOffset(), 610 - 250);

        // Hidden then shown again: its band is scrolled to the top.
        QVERIFY(store.setChannelVisible(2, false));
        QCOMPARE(store.scrollOffset(), 0);
        QVERIFY(store.setChannelVisible(2, true));
        QCOMPARE(store.scrollOffset(), 204);
        // The last band can only come as far as the largest offset.
        QVERIFY(store.setChannelVisible(5, false));
        QCOMPARE(store.scrollOffset(), 204 - 102);
        QVERIFY(store.setChannelVisible(5, true));
        QCOMPARE(store.scrollOffset(), 360);
        // Hiding reduces the offset by what disappeared, not below 0.
        QVERIFY(store.setChannelVisible(0, false));
        QCOMPARE(store.scrollOffset(), 258);
        store.setScrollOffset(50);
        QVERIFY(store.setChannelVisible(1, false));
        QCOMPARE(store.scrollOffset(), 0);
    }

    void verticalBar()
    {
        WaveformStore store;
        for (int i = 0; i < 4; ++i)
            store.addChannel(QString::number(i));
        store.setWidgetSize(800, 8 + 35 + 200); // viewport 200
        QCOMPARE(store.viewportHeight(), 200);
        store.setScrollOffset(1000);
        store.clampView();
        const WaveformStore::VerticalBar& bar = store.verticalBar();
        QVERIFY(bar.visible);
        QCOMPARE(bar.max, 406 - 200);
        QCOMPARE(bar.page, 200);
        QCOMPARE(store.scrollOffset(), 206);
        QCOMPARE(bar.value, 206);

        store.setWidgetSize(800, 1000);
        store.clampView();
        QVERIFY(!store.verticalBar().visible);
        QCOMPARE(store.scrollOffset(), 0);

        store.setWidgetSize(800, 243);
        store.setScrollOffset(100);
        store.handleResize(800, 243);
        QCOMPARE(store.scrollOffset(), 0); // first channel visible: back to the top
    }

    void labelColumnWidthLimits()
    {
        WaveformStore store;
        store.setWidgetSize(1000, 500);
        QCOMPARE(store.plotWidth(), 1000 - 8 - 50);
        store.setLabelColumnWidth(10);
        QCOMPARE(store.labelColumnWidth(), 50);
        store.setLabelColumnWidth(1000);
        QCOMPARE(store.labelColumnWidth(), 300);
        QCOMPARE(store.plotWidth(), 1000 - 8 - 300);
    }

    void snapping()
    {
        WaveformStore store;
        store.addChannel("a");
        QCOMPARE(store.snapTime(0, 77), 77); // empty
        store.appendChannelData(0, {{100, 1}});
        QCOMPARE(store.snapTime(0, 5000), 100); // one sample
        store.appendChannelData(0, {{200, 2}, {300, 3}, {301, 4}});
        QCOMPARE(store.snapTime(0, 150), 100); // halfway: the earlier
        QCOMPARE(store.snapTime(0, 151), 200);
        QCOMPARE(store.snapTime(0, 149), 100);
        QCOMPARE(store.snapTime(0, 200), 200);
        QCOMPARE(store.snapTime(0, 10), 100);
        QCOMPARE(store.snapTime(0, 9999), 301);
        QCOMPARE(store.snapTime(0, 300), 300);
        store.setChannelVisible(0, false);
        QCOMPARE(store.snapTime(0, 151), 151); // hidden
        QCOMPARE(store.findSample(0, 300), 2);
        QCOMPARE(store.findSample(0, 299), -1);
    }

    void valueMapping()
    {
        QCOMPARE(WaveformStore::valueToY(0.0, 100, 50, 0.0, 1.0), 150);
        QCOMPARE(WaveformStore::valueToY(1.0, 100, 50, 0.0, 1.0), 100);
        QCOMPARE(WaveformStore::valueToY(0.5, 100, 50, 0.0, 1.0), 125);
        QCOMPARE(WaveformStore::valueToY(0.33, 0, 100, 0.0, 1.0), 67); // truncated
        QCOMPARE(WaveformStore::valueToY(3.0, 10, 51, 2.0, 2.0), 35);  // empty range: middle
        QCOMPARE(WaveformStore::valueToY(3.0, 10, 51, 2.0, 1.0), 35);
        // Far outside the range stays a sane pixel value.
        QVERIFY(WaveformStore::valueToY(1e300, 0, 100, 0.0, 1.0) < -1000000);
        QCOMPARE(WaveformStore::yToValue(125, 100, 50, 0.0, 1.0), 0.5);
        QCOMPARE(WaveformStore::yToValue(100, 100, 50, -2.0, 2.0), 2.0);
        QCOMPARE(WaveformStore::yToValue(130, 100, 50, 4.0, 4.0), 4.0);
    }

    void valueLabels()
    {
        QCOMPARE(WaveformStore::valueLabelText(1.5), QStringLiteral("1.50"));
        QCOMPARE(WaveformStore::valueLabelText(-1.234), QStringLiteral("-1.23"));
        QCOMPARE(WaveformStore::valueLabelText(-0.004), QStringLiteral("0.00"));
        QCOMPARE(WaveformStore::valueLabelText(-0.005), QStringLiteral("-0.01"));
        QCOMPARE(WaveformStore::valueLabelText(-100.0), QStringLiteral("-100.00"));
        QCOMPARE(WaveformStore::valueLabelText(-0.0), QStringLiteral("0.00"));
        // The middle of five grid lines over -1.2 .. 1.2.
        const double lo = -1.2, step = (1.2 - lo) / 4;
        QCOMPARE(WaveformStore::valueLabelText(lo + 2 * step), QStringLiteral("0.00"));
    }

    void timeMapping()
    {
        WaveformStore store;
        store.setViewStart(1000000);
        QCOMPARE(store.timeToX(1000000), 50);
        QCOMPARE(store.timeToX(1000000 + 15000), 51); // truncated
        QCOMPARE(store.timeToX(1000000 - 25000), 48);
        QCOMPARE(store.xToTime(50), 1000000);
        QCOMPARE(store.xToTime(60.7), 1000000 + 100000);
        QVERIFY(!store.setTimeScale(0));
        QVERIFY(!store.setTimeScale(-3));
        QVERIFY(!store.setTimeScale(std::numeric_limits<double>::quiet_NaN()));
        QCOMPARE(store.timeScale(), 10000.0);
        QVERIFY(store.setTimeScale(2.5));
        QCOMPARE(store.xToTime(54), 1000010);
    }

    void recordingClearsAndKeepsAutoRangeFlags()
    {
        WaveformStore store;
        store.addChannel("a");
        store.appendChannelData(0, series(0, 1, {3, 4}));
        store.channel(0)->autoRange = false;
        store.startRecording();
        QVERIFY(store.isRecording());
        QVERIFY(!store.hasData());
        QVERIFY(store.channel(0)->samples.isEmpty());
        QCOMPARE(store.channel(0)->summary.sampleCount(), 0);
        QCOMPARE(store.channel(0)->displayMax, 1.0);
        QVERIFY(!store.channel(0)->autoRange);
        store.appendChannelData(0, series(0, 1, {3}));
        store.startRecording(); // already recording: keeps the data
        QVERIFY(store.hasData());
        store.stopRecording();
        QVERIFY(!store.isRecording());
        QVERIFY(store.hasData());
    }

    void sampleRateZeroIsSafe()
    {
        WaveformStore store;
        store.addChannel("a");
        store.setSampleRate(0);
        QCOMPARE(store.effectiveSampleRate(), 1.0);
        store.setPlotSize(100, 100);
        store.appendChannelData(0, series(0, 1000, {1, 2, 3}));
        store.appendChannelData(0, {{5000000000LL, 4}, {20000000000LL, 5}});
        store.setViewStart(0);
        // 1 sample/s: ten periods (10 s) past the right edge reach the sample at 5 s.
        WaveformStore::ColumnScan scan = store.scanColumns(0);
        QCOMPARE(scan.columns.size(), 100);
        QVERIFY(scan.columns[0].hasData);
        QCOMPARE(scan.columns[0].count, 3);
        QCOMPARE(scan.overflow.size(), 1);
        QCOMPARE(scan.overflow[0].value, 4.0);
        store.setSampleRate(-5);
        scan = store.scanColumns(0);
        QCOMPARE(scan.columnsWithData, 1);
        QCOMPARE(scan.overflow.size(), 1);
        store.setSampleRate(1000);
        QCOMPARE(store.scanColumns(0).overflow.size(), 0);
    }

    void blockSummaryMatchesBruteForce()
    {
        QRandomGenerator rng(42);
        WaveformBlockSummary summary;
        QVector<WaveformSample> samples;
        for (int i = 0; i < 200000; ++i) {
            const double v = rng.bounded(1000.0) - 500.0;
            samples.append({i, v});
            summary.append(v);
        }
        QCOMPARE(summary.sampleCount(), samples.size());
        QVERIFY(summary.levelCount() >= 4);
        for (int q = 0; q < 3000; ++q) {
            qsizetype a = rng.bounded(int(samples.size()));
            qsizetype b = rng.bounded(int(samples.size()) + 1);
            if (q % 3 == 0)
                b = std::min<qsizetype>(samples.size(), a + rng.bounded(40));
            if (a > b)
                std::swap(a, b);
            double lo = 0, hi = 0;
            const bool ok = summary.rangeMinMax(samples.constData(), a, b, lo, hi);
            QCOMPARE(ok, a < b);
            if (!ok)
                continue;
            double wantLo = samples[a].value, wantHi = samples[a].value;
            for (qsizetype i = a; i < b; ++i) {
                wantLo = std::min(wantLo, samples[i].value);
                wantHi = std::max(wantHi, samples[i].value);
            }
            QCOMPARE(lo, wantLo);
            QCOMPARE(hi, wantHi);
        }
        double lo, hi;
        QVERIFY(!summary.rangeMinMax(samples.constData(), -1, 5, lo, hi));
        QVERIFY(!summary.rangeMinMax(samples.constData(), 0, samples.size() + 1, lo, hi));
        WaveformBlockSummary rebuilt;
        rebuilt.rebuild(samples);
        QVERIFY(rebuilt.rangeMinMax(samples.constData(), 17, 190000, lo, hi));
        double lo2, hi2;
        summary.rangeMinMax(samples.constData(), 17, 190000, lo2, hi2);
        QCOMPARE(lo, lo2);
        QCOMPARE(hi, hi2);
    }

    void columnScanMatchesReference_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("width");
        QTest::addColumn<double>("scale");
        QTest::addColumn<qint64>("viewStart");
        QTest::addColumn<int>("jitter"); // 1: irregular timestamps and repeats, 2: bursts and pauses
        QTest::newRow("dense, 1000 px") << 300000 << 1000 << 1000.0 << qint64(12345678) << 0;
        QTest::newRow("sparse") << 2000 << 1000 << 1000.0 << qint64(0) << 0;
        QTest::newRow("zoomed in") << 5000 << 800 << 37.5 << qint64(3000000) << 0;
        QTest::newRow("irregular") << 200000 << 640 << 4321.7 << qint64(-5000) << 1;
        QTest::newRow("everything in view") << 100000 << 333 << 1e6 << qint64(-1000) << 1;
        QTest::newRow("view after the data") << 1000 << 100 << 10.0 << qint64(1e12) << 0;
        QTest::newRow("fractional scale") << 50000 << 1142 << 0.7 << qint64(123) << 1;
        // Columns alternate between thousands of samples and none, so the
        // guess from the previous column is wrong both ways.
        QTest::newRow("bursts") << 300000 << 900 << 20000.0 << qint64(-777) << 2;
    }

    void columnScanMatchesReference()
    {
        QFETCH(int, samples);
        QFETCH(int, width);
        QFETCH(double, scale);
        QFETCH(qint64, viewStart);
        QFETCH(int, jitter);

        QRandomGenerator rng(uint(samples + width));
        WaveformStore store;
        store.addChannel("a");
        QVector<WaveformSample> data;
        qint64 t = 0;
        double v = 0;
        for (int i = 0; i < samples; ++i) {
            data.append({t, v});
            v += rng.bounded(2.0) - 1.0;
            if (rng.bounded(500) == 0)
                v += rng.bounded(200.0) - 100.0; // spikes
            if (jitter == 2)
                t += (i / 3000) % 2 ? 1 : (i % 3000 == 0 ? 2000000 : 700);
            else
                t += jitter ? qint64(rng.bounded(3)) * qint64(rng.bounded(1500)) : 1000;
        }
        // Delivered in drain-sized pieces.
        for (int at = 0; at < data.size(); at += 1777)
            store.appendChannelData(0, data.mid(at, 1777));
        QCOMPARE(store.channel(0)->samples.size(), data.size());

        for (double rate : {1000.0, 1.0, 0.0}) {
            const WaveformStore::ColumnScan got = store.scanColumns(0, viewStart, scale, width, rate);
            const WaveformStore::ColumnScan want = referenceScan(data, viewStart, scale, width, rate);
            compareScans(got, want);
            if (QTest::currentTestFailed())
                return;
        }
        // Random views over the same data.
        for (int k = 0; k < 40; ++k) {
            const qint64 start = qint64(rng.bounded(double(t + 2000))) - 1000;
            const double sc = 0.5 + rng.bounded(5000.0);
            const int w = int(rng.bounded(1, 1500));
            compareScans(store.scanColumns(0, start, sc, w, 1000.0),
                         referenceScan(data, start, sc, w, 1000.0));
            if (QTest::currentTestFailed())
                return;
        }
    }

    void millionSamplesOnThousandColumns()
    {
        // 1 000 000 samples in view on 1000 px: a thousand per column, each
        // column's extremes and last value exact (no stride approximation).
        WaveformStore store;
        store.addChannel("a");
        QVector<WaveformSample> data;
        data.reserve(1000000);
        for (int i = 0; i < 1000000; ++i)
            data.append(
                {qint64(i) * 1000, double((qint64(i) * 7919) % 10007) - (i % 1000 == 999 ? 0.5 : 0.0)});
        store.appendChannelData(0, data);
        const WaveformStore::ColumnScan scan = store.scanColumns(0, 0, 1000000.0, 1000, 1000000.0);
        QCOMPARE(scan.columnsWithData, 1000);
        for (int c = 0; c < 1000; c += 37) {
            const WaveformStore::ColumnBucket& b = scan.columns[c];
            QCOMPARE(b.count, 1000);
            double lo = data[c * 1000].value, hi = lo;
            for (int i = c * 1000; i < (c + 1) * 1000; ++i) {
                lo = std::min(lo, data[i].value);
                hi = std::max(hi, data[i].value);
            }
            QCOMPARE(b.min, lo);
            QCOMPARE(b.max, hi);
            QCOMPARE(b.last, data[c * 1000 + 999].value);
        }
    }

    void columnScanLeadInAndOverflow()
    {
        WaveformStore store;
        store.addChannel("a");
        store.appendChannelData(0, series(0, 100, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
        // Columns of 100 ns, 3 columns from t = 250: samples 300, 400, 500
        // inside, 200 is the lead-in, the rest within ten periods (1000 ns)
        // past the edge.
        const WaveformStore::ColumnScan scan = store.scanColumns(0, 250, 100.0, 3, 1e7);
        QVERIFY(scan.hasLeadIn);
        QCOMPARE(scan.leadIn.timestamp, 200);
        QCOMPARE(scan.firstIndex, 3);
        QCOMPARE(scan.columnsWithData, 3);
        QCOMPARE(scan.columns[0].last, 3.0);
        QCOMPARE(scan.columns[2].last, 5.0);
        QCOMPARE(scan.overflow.size(), 4);
        QCOMPARE(scan.overflow.first().timestamp, 600);
        QCOMPARE(scan.endIndex, 10);
        // A higher rate reaches less far: 100 ns past the edge.
        QCOMPARE(store.scanColumns(0, 250, 100.0, 3, 1e8).overflow.size(), 1);

        // Past the end of the data: only the lead-in remains.
        const WaveformStore::ColumnScan after = store.scanColumns(0, 5000, 100.0, 3, 1e8);
        QVERIFY(after.hasLeadIn);
        QCOMPARE(after.leadIn.value, 9.0);
        QCOMPARE(after.columnsWithData, 0);
        QVERIFY(store.scanColumns(0, 0, 100.0, 0, 1e8).columns.isEmpty());
        QVERIFY(store.scanColumns(0, 0, 0.0, 10, 1e8).columns.isEmpty());
    }

    void appendGrowsGeometrically()
    {
        // Drain-sized batches must not reallocate the whole recording each time.
        WaveformStore store;
        store.addChannel("a");
        int reallocations = 0;
        const WaveformSample* data = nullptr;
        for (int tick = 0; tick < 5000; ++tick) {
            store.appendChannelData(0, series(qint64(tick) * 100, 1, QVector<double>(100, 1.0)));
            if (store.channel(0)->samples.constData() != data) {
                data = store.channel(0)->samples.constData();
                ++reallocations;
            }
        }
        QVERIFY2(reallocations < 40, qPrintable(QString::number(reallocations)));
        QVERIFY(store.memoryBytes() >= 500000 * qsizetype(sizeof(WaveformSample)));
    }
};

QTEST_GUILESS_MAIN(TestWaveformStore)
#include "tst_waveformstore.moc"
