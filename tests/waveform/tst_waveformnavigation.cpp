#include "PanInertia.h"
#include "TimeAxis.h"
#include "WaveformStore.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <limits>

// View arithmetic behind the plot's navigation: zoom limits, pan, fling,
// vertical zoom, layout operations and range statistics, without a window.
class TestWaveformNavigation : public QObject
{
    Q_OBJECT

private:
    static constexpr int kPlotWidth = 1000;

    // One channel of `count` samples, `period` ns apart, from t = 0.
    static void fill(WaveformStore& store, int count, qint64 period, double rate)
    {
        store.setPlotSize(kPlotWidth, 600);
        store.setSampleRate(rate);
        const int id = store.channelCount() ? 0 : store.addChannel(QStringLiteral("a"));
        QVector<WaveformSample> samples;
        for (int k = 0; k < count; ++k)
            samples.append({k * period, std::sin(k * 0.1)});
        store.appendChannelData(id, samples);
    }

private Q_SLOTS:
    void wheelZoomInStopsAtFiftyPixelsPerSample()
    {
        WaveformStore store;
        fill(store, 5000, 1000000, 1000.0); // 1000 samples/s
        for (int i = 0; i < 60; ++i)
            store.wheelZoom(300, true);
        QCOMPARE(store.timeScale(), 20000.0);
        QVERIFY(!store.wheelZoom(300, true));
        QCOMPARE(store.timeScale(), 20000.0);
    }

    void wheelZoomOutStopsBeforeCoarsestLimit()
    {
        WaveformStore store;
        fill(store, 5000, 1000000, 1000.0); // 4.999 s of data
        const double coarsest = std::max(1e9, 10.0 * 4.999e9 / kPlotWidth);
        for (int i = 0; i < 200; ++i)
            store.wheelZoom(300, false);
        QVERIFY(store.timeScale() < coarsest);
        QVERIFY(store.timeScale() * WaveformStore::kWheelZoomFactor >= coarsest);
    }

    void wheelZoomKeepsTimeUnderPointer()
    {
        WaveformStore store;
        fill(store, 100000, 1000, 1e6);
        store.setTimeScale(10000.0);
        store.setViewStart(20000000);
        store.clampView();
        const int x = 450;
        const qint64 before = store.xToTime(x);
        QVERIFY(store.wheelZoom(x, true));
        QVERIFY(qAbs(store.xToTime(x) - before) <= qint64(store.timeScale()));
        QVERIFY(store.wheelZoom(x, false));
        QVERIFY(qAbs(store.xToTime(x) - before) <= qint64(store.timeScale()) + 1);
    }

    void wheelZoomNeedsDataInFirstChannel()
    {
        WaveformStore store;
        store.setPlotSize(kPlotWidth, 600);
        store.addChannel(QStringLiteral("a"));
        const int b = store.addChannel(QStringLiteral("b"));
        store.appendChannelData(b, {{0, 1.0}, {1000000, 2.0}});
        QVERIFY(!store.wheelZoom(300, true));
        QCOMPARE(store.timeScale(), WaveformStore::kDefaultTimeScale);
    }

    // A recording from the first to the last representable nanosecond: zoom
    // fully out, then pan to both ends; the view, the axis and the column
    // scan stay ordered and inside the data (a wrap-around would not).
    void wholeSixtyFourBitRange()
    {
        constexpr qint64 lo = std::numeric_limits<qint64>::min();
        constexpr qint64 hi = std::numeric_limits<qint64>::max();
        WaveformStore store;
        store.setPlotSize(kPlotWidth, 600);
        store.setSampleRate(1.0);
        const int id = store.addChannel(QStringLiteral("a"));
        store.appendChannelData(id, {{lo, -1.0}, {lo / 2, 0.0}, {0, 1.0}, {hi / 2, 0.0}, {hi, -1.0}});
        QCOMPARE(store.firstTime(), lo);
        QCOMPARE(store.lastTime(), hi);

        int notches = 0;
        while (store.wheelZoom(500, false) && notches < 500)
            ++notches;
        QVERIFY(notches < 500);
        QVERIFY(store.timeScale() > 1e15);

        auto fm = [](const QString& text) { return int(text.size()) * 7; };
        for (double dx : {1e9, -1e9, 1e9, 5.0, -5.0}) {
            store.panByPixels(dx);
            const qint64 v = store.viewStart();
            QVERIFY(store.horizontalBar().visible);
            // Never beyond the slack of 90 % of a view in front of the data.
            QVERIFY(v >= lo);
            const TimeAxis::Layout axis = TimeAxis::layout(v, store.timeScale(), 50, kPlotWidth, 35, 14, fm);
            QVERIFY(axis.valid);
            QVERIFY(axis.viewEnd >= axis.viewStart);
            QVERIFY(axis.majorLabels.size() < 200);
            for (int i = 1; i < axis.majorLabels.size(); ++i) {
                QVERIFY(axis.majorLabels[i].time > axis.majorLabels[i - 1].time);
                QVERIFY(axis.majorLabels[i].x >= axis.majorLabels[i - 1].x);
            }
            for (int i = 1; i < axis.minorLineX.size(); ++i)
                QVERIFY(axis.minorLineX[i] >= axis.minorLineX[i - 1]);
            const WaveformStore::ColumnScan scan = store.scanColumns(id);
            QVERIFY(scan.endIndex >= scan.firstIndex);
            QVERIFY(store.timeToX(lo) <= store.timeToX(0));
            QVERIFY(store.timeToX(0) <= store.timeToX(hi));
        }
        // Panned right to the end: the last sample is on screen. A pan moves
        // by at most the whole range, so it takes a few.
        for (int i = 0; i < 3; ++i)
            store.panByPixels(-1e12);
        QVERIFY(store.timeToX(hi) <= 50 + kPlotWidth);
        QVERIFY(store.timeToX(hi) >= 50);
        for (int i = 0; i < 3; ++i)
            store.panByPixels(1e12);
        QVERIFY(store.timeToX(lo) >= 50);
        QVERIFY(store.timeToX(lo) <= 50 + kPlotWidth);

        // Follow mode while recording at the very end of the range.
        store.startRecording();
        store.appendChannelData(id, {{hi - 10, 1.0}, {hi, 2.0}});
        QVERIFY(store.viewStart() <= hi);
        QCOMPARE(store.snapTime(id, 0), hi - 10);
    }

    void verticalZoom_data()
    {
        QTest::addColumn<double>("dataLo");
        QTest::addColumn<double>("dataHi");
        QTest::addColumn<bool>("zoomIn");
        QTest::addColumn<int>("notches");
        QTest::addColumn<bool>("lastAccepted");
        // 10 000 x the data range caps zooming out ...
        QTest::newRow("out, capped") << 0.0 << 1.0 << false << 60 << false;
        // ... but constant data has no data range, so no cap.
        QTest::newRow("out, constant data") << 5.0 << 5.0 << false << 60 << true;
        // Zooming in stops at a span of 1e-9.
        QTest::newRow("in, floor") << 0.0 << 1.0 << true << 120 << false;
    }
    void verticalZoom()
    {
        QFETCH(double, dataLo);
        QFETCH(double, dataHi);
        QFETCH(bool, zoomIn);
        QFETCH(int, notches);
        QFETCH(bool, lastAccepted);
        WaveformStore store;
        store.setPlotSize(kPlotWidth, 600);
        const int id = store.addChannel(QStringLiteral("a"));
        store.appendChannelData(id, {{0, dataLo}, {1000, dataHi}});
        bool accepted = true;
        for (int i = 0; i < notches; ++i)
            accepted = store.verticalZoom(id, (dataLo + dataHi) / 2, zoomIn);
        QCOMPARE(accepted, lastAccepted);
        const WaveformChannel* ch = store.channel(id);
        QVERIFY(!ch->autoRange);
        const double span = ch->displayMax - ch->displayMin;
        QVERIFY(span >= WaveformStore::kMinValueSpan);
        if (dataHi > dataLo)
            QVERIFY(span <= 10000.0 * (dataHi - dataLo));
        // The fit button's job: back to the data plus margin.
        QVERIFY(store.restoreAutoRange(id));
        QVERIFY(ch->autoRange);
    }

    void fitAndLayoutOperations()
    {
        WaveformStore store;
        fill(store, 1001, 1000000, 1000.0); // 0 .. 1 s
        for (int i = 0; i < 7; ++i)
            store.addChannel(QStringLiteral("x"));
        QVERIFY(store.fitView());
        QCOMPARE(store.timeScale(), 1e9 / kPlotWidth);
        QCOMPARE(store.viewStart(), qint64(0));

        QVERIFY(!store.setChannelHeight(99, 80));
        store.setChannelHeight(2, 50);
        QVERIFY(!store.resizeAllChannelsToMatch(2)); // 50 is not above the floor
        store.setChannelHeight(2, 70);
        QVERIFY(store.resizeAllChannelsToMatch(2));
        for (const WaveformChannel& ch : store.channels())
            QCOMPARE(ch.height, 70);
        QCOMPARE(store.contentHeight(), 8 * 70 + 7 * 2);
        store.setPlotSize(kPlotWidth, 300);

        // Band scrolling stops at both ends of the stack.
        store.scrollBands(-100000);
        QCOMPARE(store.scrollOffset(), store.contentHeight() - store.viewportHeight());
        store.scrollBands(120000);
        QCOMPARE(store.scrollOffset(), 0);
    }

    void inertia_data()
    {
        QTest::addColumn<qint64>("restMs");
        QTest::addColumn<double>("pxPerMs");
        QTest::addColumn<bool>("fling");
        QTest::newRow("fling at 1 px/ms") << qint64(0) << 1.0 << true;
        QTest::newRow("rest of 99 ms") << qint64(99) << 1.0 << true;
        QTest::newRow("rest of 100 ms") << qint64(100) << 1.0 << false;
        QTest::newRow("too slow") << qint64(0) << 0.25 << false;
    }
    void inertia()
    {
        QFETCH(qint64, restMs);
        QFETCH(double, pxPerMs);
        QFETCH(bool, fling);
        PanInertia inertia;
        inertia.press(QPointF(100, 50));
        for (qint64 ms = 10; ms <= 300; ms += 10)
            inertia.move(ms, QPointF(100 + pxPerMs * ms, 50));
        // Only the last 100 ms are kept.
        QVERIFY(inertia.samples().constFirst().ms >= 200);
        QCOMPARE(inertia.release(300 + restMs), fling);
        if (!fling) {
            QVERIFY(!inertia.isActive());
            return;
        }
        QCOMPARE(inertia.velocityX(), 16.0);
        double expected = 16.0;
        double dx = 0.0;
        int ticks = 0;
        while (inertia.tick(dx)) {
            QVERIFY(qAbs(dx - expected) < 1e-9);
            expected *= 0.9;
            ++ticks;
        }
        // Stops once below 0.1 px per tick: 16 x 0.9^n < 0.1 from n = 49.
        QCOMPARE(ticks, 49);
        QVERIFY(!inertia.isActive());
    }

    // Statistics from block summaries against a plain scan of random data.
    void rangeStatisticsMatchBruteForce()
    {
        WaveformStore store;
        const int id = store.addChannel(QStringLiteral("a"));
        QRandomGenerator rng(17);
        QVector<WaveformSample> samples;
        qint64 t = 0;
        for (int k = 0; k < 70000; ++k) {
            t += rng.bounded(3); // repeated timestamps included
            samples.append({t, rng.generateDouble() * 200.0 - 100.0});
        }
        store.appendChannelData(id, samples);
        for (int round = 0; round < 300; ++round) {
            qint64 a = rng.bounded(int(t + 20)) - 10;
            qint64 b = rng.bounded(int(t + 20)) - 10;
            if (round % 3 == 0)
                b = a + rng.bounded(40); // short ranges too
            const WaveformStore::RangeStats s = store.rangeStatistics(id, a, b);
            double mn = 0, mx = 0, sum = 0;
            qint64 n = 0;
            for (const WaveformSample& x : samples) {
                if (x.timestamp < qMin(a, b) || x.timestamp > qMax(a, b))
                    continue;
                mn = n ? qMin(mn, x.value) : x.value;
                mx = n ? qMax(mx, x.value) : x.value;
                sum += x.value;
                ++n;
            }
            QCOMPARE(s.count, n);
            if (n == 0) {
                QCOMPARE(s.minimum, 0.0);
                QCOMPARE(s.average, 0.0);
                continue;
            }
            QCOMPARE(s.minimum, mn);
            QCOMPARE(s.maximum, mx);
            QCOMPARE(s.peakToPeak, mx - mn);
            QVERIFY2(qAbs(s.average - sum / double(n)) < 1e-9, qPrintable(QString::number(round)));
        }
    }

    void rangeOfThreeSamples()
    {
        WaveformStore store;
        for (int i = 0; i < 3; ++i)
            store.addChannel(QStringLiteral("c"));
        QVector<WaveformSample> samples;
        for (int k = 0; k < 3000; ++k)
            samples.append({qint64(k) * 1000000, double(k)});
        store.appendChannelData(2, samples);
        const WaveformStore::RangeStats s = store.rangeStatistics(2, 1002000000, 1000000000);
        QCOMPARE(s.count, qint64(3));
        QCOMPARE(s.minimum, 1000.0);
        QCOMPARE(s.maximum, 1002.0);
        QCOMPARE(s.average, 1001.0);
        QCOMPARE(store.rangeStatistics(1, 0, 5000000000).count, qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestWaveformNavigation)
#include "tst_waveformnavigation.moc"
