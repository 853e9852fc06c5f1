#include "TraceColumnSpans.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

// Per-column extents of a trace polyline, the form the plot draws from.
class TestTraceColumnSpans : public QObject
{
    Q_OBJECT

private:
    static bool isEmptyAt(const QVector<float>& s, int k)
    {
        return TraceColumnSpans::isEmpty(s[2 * k], s[2 * k + 1]);
    }

    // Dense sampling of every segment: the extent of the points that fall in
    // each column (a column's edges included, as a line drawn through them
    // reaches them).
    static QVector<float> reference(const QVector<float>& xy, int left, int width)
    {
        QVector<float> out(2 * width);
        for (int k = 0; k < width; ++k) {
            out[2 * k] = TraceColumnSpans::kNoTop;
            out[2 * k + 1] = TraceColumnSpans::kNoBottom;
        }
        auto put = [&](double x, double y) {
            for (const double edge : {0.0, 1.0}) {
                // A point on a column edge belongs to both columns.
                const double k = (edge == 0.0) ? std::floor(x) - left : std::ceil(x) - 1 - left;
                if (k < 0 || k >= width)
                    continue;
                float& top = out[2 * int(k)];
                float& bottom = out[2 * int(k) + 1];
                top = std::min(top, float(y));
                bottom = std::max(bottom, float(y));
            }
        };
        const int points = int(xy.size() / 2);
        for (int i = 0; i + 1 < points; ++i) {
            const double xa = xy[2 * i], ya = xy[2 * i + 1], xb = xy[2 * i + 2], yb = xy[2 * i + 3];
            // Sample at every column edge the segment crosses and at both ends.
            put(xa, ya);
            put(xb, yb);
            const double lo = std::min(xa, xb), hi = std::max(xa, xb);
            for (double e = std::ceil(lo); e <= hi; e += 1.0)
                put(e, ya + (yb - ya) * (e - xa) / (xb - xa));
        }
        return out;
    }

private Q_SLOTS:
    void verticalRunsStayInTheirColumn()
    {
        // Last, min and max of one column at x = 10.5, then the next column.
        const QVector<float> xy = {10.5f, 40.5f, 10.5f, 20.5f, 10.5f, 70.5f, 11.5f, 30.5f};
        const QVector<float> s = TraceColumnSpans::compute(xy, 0, 20);
        QCOMPARE(s[20], 20.5f);
        QCOMPARE(s[21], 70.5f);
        // The step from 70.5 to 30.5 is shared at the column edge x = 11.
        QCOMPARE(s[22], 30.5f);
        QCOMPARE(s[23], 50.5f);
        for (int k : {0, 9, 12, 19})
            QVERIFY(isEmptyAt(s, k));
    }

    void shallowSegmentIsInterpolatedPerColumn()
    {
        // From (0.5, 0) to (10.5, 10): one pixel down per column.
        const QVector<float> xy = {0.5f, 0.0f, 10.5f, 10.0f};
        const QVector<float> s = TraceColumnSpans::compute(xy, 0, 12);
        QCOMPARE(s[0], 0.0f);
        QCOMPARE(s[1], 0.5f);
        for (int k = 1; k < 10; ++k) {
            QCOMPARE(s[2 * k], float(k) - 0.5f);
            QCOMPARE(s[2 * k + 1], float(k) + 0.5f);
        }
        QCOMPARE(s[20], 9.5f);
        QCOMPARE(s[21], 10.0f);
        QVERIFY(isEmptyAt(s, 11));
    }

    void farAwayVerticesAreClippedNotWalked()
    {
        // A lead-in sample a billion pixels to the left (a long pause): the
        // columns in view get the line's height there, at once.
        const QVector<float> xy = {-1e9f, 0.0f, 100.5f, 100.0f, 3e9f, 100.0f};
        const QVector<float> s = TraceColumnSpans::compute(xy, 50, 200);
        // Left of x = 100.5 the line rises 1e-7 pixel per pixel: flat at ~100.
        QVERIFY(std::abs(s[0] - 100.0f) < 1e-3f);
        QVERIFY(std::abs(s[1] - 100.0f) < 1e-3f);
        for (int k = 0; k < 200; ++k) {
            QVERIFY(!isEmptyAt(s, k));
            QVERIFY(std::abs(s[2 * k + 1] - 100.0f) < 1e-3f);
        }
    }

    void degenerateInput()
    {
        QVector<float> s = TraceColumnSpans::compute({}, 0, 4);
        QCOMPARE(s.size(), 8);
        for (int k = 0; k < 4; ++k)
            QVERIFY(isEmptyAt(s, k));
        // A single vertex marks its own column.
        s = TraceColumnSpans::compute({2.5f, 7.5f}, 0, 4);
        QCOMPARE(s[4], 7.5f);
        QCOMPARE(s[5], 7.5f);
        QVERIFY(isEmptyAt(s, 1));
        // A single vertex outside the columns marks nothing.
        s = TraceColumnSpans::compute({9.5f, 7.5f}, 0, 4);
        for (int k = 0; k < 4; ++k)
            QVERIFY(isEmptyAt(s, k));
        // Segments with a non-finite end are left out; the rest is drawn.
        s = TraceColumnSpans::compute({0.5f, 1.0f, NAN, 5.0f, 2.5f, 3.0f, 3.5f, 3.0f}, 0, 4);
        QVERIFY(isEmptyAt(s, 0));
        QCOMPARE(s[4], 3.0f);
        QCOMPARE(s[7], 3.0f);
        // No columns, no writes.
        QVERIFY(TraceColumnSpans::compute({0.5f, 1.0f, 2.5f, 2.0f}, 0, 0).isEmpty());
    }

    void reversedSegmentsGiveTheSameSpans()
    {
        const QVector<float> forward = {1.5f, 10.0f, 6.5f, 30.0f, 9.25f, 5.0f};
        const QVector<float> backward = {9.25f, 5.0f, 6.5f, 30.0f, 1.5f, 10.0f};
        QCOMPARE(TraceColumnSpans::compute(forward, 0, 12), TraceColumnSpans::compute(backward, 0, 12));
    }

    void randomPolylinesMatchDenseSampling()
    {
        QRandomGenerator rng(7);
        for (int round = 0; round < 200; ++round) {
            const int left = rng.bounded(0, 80);
            const int width = rng.bounded(1, 300);
            QVector<float> xy;
            double x = left - rng.bounded(20.0);
            const int points = rng.bounded(1, 60);
            for (int i = 0; i < points; ++i) {
                xy.append(float(x));
                xy.append(float(rng.bounded(200.0) - 50.0));
                // Mostly small steps, sometimes none (vertical runs), sometimes long.
                const int kind = rng.bounded(4);
                x += kind == 0 ? 0.0 : kind == 3 ? rng.bounded(40.0) : rng.bounded(2.0);
            }
            const QVector<float> got = TraceColumnSpans::compute(xy, left, width);
            const QVector<float> want = reference(xy, left, width);
            for (int k = 0; k < width; ++k) {
                QCOMPARE(isEmptyAt(got, k), isEmptyAt(want, k));
                if (isEmptyAt(got, k))
                    continue;
                QVERIFY2(std::abs(got[2 * k] - want[2 * k]) < 1e-3f &&
                             std::abs(got[2 * k + 1] - want[2 * k + 1]) < 1e-3f,
                         qPrintable(QStringLiteral("round %1 column %2: %3..%4, want %5..%6")
                                        .arg(round)
                                        .arg(k)
                                        .arg(got[2 * k])
                                        .arg(got[2 * k + 1])
                                        .arg(want[2 * k])
                                        .arg(want[2 * k + 1])));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestTraceColumnSpans)
#include "tst_tracecolumnspans.moc"
