#include "TimeAxis.h"

#include <QtTest>

namespace {

// A monospaced stand-in for font metrics: 7 px per character.
int sevenPerChar(const QString& text)
{
    return int(text.size()) * 7;
}

} // namespace

class TestTimeAxis : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void majorStep_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<qint64>("step");
        QTest::newRow("default zoom: 6 ms -> 10 ms") << 10000.0 << qint64(10000000);
        QTest::newRow("exactly a power of ten") << 1000.0 / 600.0 << qint64(1000);
        QTest::newRow("just above 1 -> 2") << 1.2 * 1000.0 / 600.0 << qint64(2000);
        QTest::newRow("exactly 2") << 2000.0 / 600.0 << qint64(2000);
        QTest::newRow("2.5 -> 10") << 2500.0 / 600.0 << qint64(10000);
        QTest::newRow("9.9 -> 10") << 9900.0 / 600.0 << qint64(10000);
        QTest::newRow("one second per 600 px") << 1e9 / 600.0 << qint64(1000000000);
        QTest::newRow("tiny scale is at least 10 ns") << 0.001 << qint64(10);
        QTest::newRow("1 ns per px: 600 -> 1000") << 1.0 << qint64(1000);
        QTest::newRow("coarse") << 1e12 << qint64(1000000000000000LL);
    }

    void majorStep()
    {
        QFETCH(double, scale);
        QFETCH(qint64, step);
        QCOMPARE(TimeAxis::majorStep(scale), step);
    }

    void enlargeStep()
    {
        QCOMPARE(TimeAxis::enlargeStep(10), 20);
        QCOMPARE(TimeAxis::enlargeStep(20), 50);
        QCOMPARE(TimeAxis::enlargeStep(50), 100);
        QCOMPARE(TimeAxis::enlargeStep(30), 50); // 3 < 3.5
        QCOMPARE(TimeAxis::enlargeStep(4000), 10000);
        QCOMPARE(TimeAxis::enlargeStep(10000000), 20000000);
        QCOMPARE(TimeAxis::enlargeStep(40000000), 100000000);
        QCOMPARE(TimeAxis::enlargeStep(1000000000000LL), 2000000000000LL);
    }

    void unitClasses()
    {
        QCOMPARE(TimeAxis::unitFor(999), TimeAxis::Nanoseconds);
        QCOMPARE(TimeAxis::unitFor(1000), TimeAxis::Microseconds);
        QCOMPARE(TimeAxis::unitFor(999999), TimeAxis::Microseconds);
        QCOMPARE(TimeAxis::unitFor(1000000), TimeAxis::Milliseconds);
        QCOMPARE(TimeAxis::unitFor(10000000), TimeAxis::Milliseconds);
        QCOMPARE(TimeAxis::unitFor(1000000000), TimeAxis::Seconds);
        QCOMPARE(TimeAxis::unitFor(1000000000000LL), TimeAxis::Kiloseconds);
        QCOMPARE(TimeAxis::unitText(TimeAxis::Microseconds), QStringLiteral(" \u03bcs"));
        QCOMPARE(TimeAxis::offsetUnitText(TimeAxis::Nanoseconds), QStringLiteral("ns"));
        QCOMPARE(TimeAxis::offsetUnitText(TimeAxis::Seconds), QStringLiteral(" s"));
    }

    void majorLabels_data()
    {
        QTest::addColumn<qint64>("t");
        QTest::addColumn<qint64>("step");
        QTest::addColumn<QString>("text");
        const qint64 us = 1000, ms = 1000000, s = 1000000000;
        QTest::newRow("zero in ms") << qint64(0) << 10 * ms << QStringLiteral("0 ms");
        QTest::newRow("20 ms") << 20 * ms << 10 * ms << QStringLiteral("20 ms");
        QTest::newRow("negative ms") << -20 * ms << 10 * ms << QStringLiteral("-20 ms");
        QTest::newRow("ns") << qint64(500) << qint64(100) << QStringLiteral("500 ns");
        QTest::newRow("us below 1 ms") << 500 * us << 100 * us << QStringLiteral("500 \u03bcs");
        QTest::newRow("us class at 1 ms") << 1 * ms << 100 * us << QStringLiteral("1 ms");
        QTest::newRow("us class 1.5 ms") << 1 * ms + 500 * us << 500 * us << QStringLiteral("1 ms : 500 us");
        QTest::newRow("us class 2.02 ms") << 2 * ms + 20 * us << 10 * us << QStringLiteral("2 ms : 020 us");
        QTest::newRow("seconds") << 2 * s << s << QStringLiteral("2 s");
        QTest::newRow("negative seconds") << -3 * s << s << QStringLiteral("-3 s");
        QTest::newRow("ms class whole second") << 2 * s << 500 * ms << QStringLiteral("2 s");
        QTest::newRow("ms class with ms") << 2 * s + 500 * ms << 500 * ms << QStringLiteral("2 s : 500 ms");
        QTest::newRow("ms class with us")
            << 2 * s + 5 * ms + 500 * us << 5 * ms << QStringLiteral("2 s : 005 ms : 500 us");
        QTest::newRow("fine, us step") << 1 * s + 1 * ms + 2 * us << 2 * us << QStringLiteral("1s:001ms:2us");
        QTest::newRow("fine, 100 ns step")
            << 1 * s + 1 * ms + 2 * us + 500 << qint64(100) << QStringLiteral("1s:001ms:2.5us");
        QTest::newRow("fine, 10 ns step")
            << 3 * s + 120 * us + 30 << qint64(10) << QStringLiteral("3s:000ms:120.03us");
        QTest::newRow("fine, whole second") << 4 * s << qint64(500) << QStringLiteral("4s");
        QTest::newRow("fine, ms only") << 4 * s + 7 * ms << 10 * us << QStringLiteral("4s:007ms");
        QTest::newRow("ks") << 3000 * s << 1000 * s << QStringLiteral("3 ks");
        QTest::newRow("ks below 1 s") << qint64(0) << 1000 * s << QStringLiteral("0 ks");
    }

    void majorLabels()
    {
        QFETCH(qint64, t);
        QFETCH(qint64, step);
        QFETCH(QString, text);
        QCOMPARE(TimeAxis::majorLabel(t, TimeAxis::unitFor(step), step), text);
    }

    void offsetLabels()
    {
        const qint64 ms = 1000000;
        QCOMPARE(TimeAxis::offsetLabel(21 * ms, 1 * ms, TimeAxis::Milliseconds, 10 * ms),
                 QStringLiteral("+1 ms"));
        QCOMPARE(TimeAxis::offsetLabel(2 * ms + 200000, 200000, TimeAxis::Milliseconds, 2 * ms),
                 QStringLiteral("+0.2 ms"));
        QCOMPARE(TimeAxis::offsetLabel(4500, 500, TimeAxis::Microseconds, 5000),
                 QStringLiteral("+0.5 \u03bcs"));
        QCOMPARE(TimeAxis::offsetLabel(13, 3, TimeAxis::Nanoseconds, 10), QStringLiteral("+3ns"));
        // A negative labelled time shows its absolute value with "-".
        QCOMPARE(TimeAxis::offsetLabel(-9 * ms, 1 * ms, TimeAxis::Milliseconds, 10 * ms),
                 QStringLiteral("-9 ms"));
        QCOMPARE(TimeAxis::decimalsFor(1000, 1000), 0);
        QCOMPARE(TimeAxis::decimalsFor(100, 1000), 1);
        QCOMPARE(TimeAxis::decimalsFor(10, 1000), 2);
        QCOMPARE(TimeAxis::decimalsFor(1, 1000), 3);
        QCOMPARE(TimeAxis::decimalsFor(1, 1000000), 3);
    }

    void fitCheckEnlargesAtMostThreeTimes()
    {
        const qint64 start = 0, end = 11420000;
        // Narrow labels fit at once.
        QCOMPARE(TimeAxis::fittedStep(start, end, 10000.0, sevenPerChar), 10000000);
        // Labels this wide never fit: three enlargements, then stop.
        auto huge = [](const QString&) { return 100000; };
        QCOMPARE(TimeAxis::fittedStep(start, end, 10000.0, huge), 100000000);
        // 1200 px labels need the 20 ms step of 2000 px, the second try.
        auto wide = [](const QString&) { return 1200; };
        QCOMPARE(TimeAxis::fittedStep(start, end, 10000.0, wide), 20000000);
        // Only the label that is too wide matters.
        auto one = [](const QString& text) { return text == QStringLiteral("10 ms") ? 995 : 10; };
        QCOMPARE(TimeAxis::fittedStep(start, end, 10000.0, one), 20000000);
    }

    void layoutAtDefaultZoom()
    {
        const TimeAxis::Layout l = TimeAxis::layout(0, 10000.0, 50, 1142, 35, 15, sevenPerChar);
        QVERIFY(l.valid);
        QCOMPARE(l.viewEnd, 11420000);
        QCOMPARE(l.step, 10000000);
        QCOMPARE(l.unit, TimeAxis::Milliseconds);
        QCOMPARE(l.minorStep, 1000000);
        QCOMPARE(l.majorRowTop, 2);   // 35 - 30 - 4 = 1, limited to 2
        QCOMPARE(l.offsetRowTop, 18); // 35 - 15 - 2
        QCOMPARE(l.majorLabels.size(), 2);
        QCOMPARE(l.majorLabels[0].text, QStringLiteral("0 ms"));
        QCOMPARE(l.majorLabels[0].x, 50);
        QCOMPARE(l.majorLabels[1].text, QStringLiteral("10 ms"));
        QCOMPARE(l.majorLabels[1].x, 1050);
        QCOMPARE(l.majorLabels[1].box, QRect(1050 - 17, 2, 35, 15));
        QCOMPARE(l.majorLineX, QVector<int>({50, 1050}));
        // Minor lines every 100 px, skipping the major ones, inside the plot.
        QVector<int> minor;
        for (int x = 150; x <= 1192; x += 100)
            if (x != 1050)
                minor.append(x);
        QCOMPARE(l.minorLineX, minor);
        // Offset labels +1 ms .. +9 ms after each tick; they are 100 px apart
        // and 35 px wide, so none collides.
        QVERIFY(!l.offsetLabels.isEmpty());
        // Around the tick before the first: -9 ms is negative, so absolute.
        QCOMPARE(l.offsetLabels.first().text, QStringLiteral("-9 ms"));
        bool sawPlusFive = false;
        for (const TimeAxis::Label& label : l.offsetLabels) {
            QCOMPARE(label.box.top(), 18);
            if (label.time == 15000000) {
                QCOMPARE(label.text, QStringLiteral("+5 ms"));
                QCOMPARE(label.x, 50 + 1500);
                sawPlusFive = true;
            }
        }
        QVERIFY(sawPlusFive);
        QCOMPARE(l.offsetLabels.size(), 4 * 9);
    }

    void offsetLabelsNeverOverlap()
    {
        // Wide labels: 100 px apart but 150 px wide, so every other one goes.
        auto wide = [](const QString&) { return 150; };
        const TimeAxis::Layout l = TimeAxis::layout(0, 10000.0, 50, 1142, 35, 15, wide);
        QVERIFY(!l.offsetLabels.isEmpty());
        for (int i = 0; i < l.offsetLabels.size(); ++i) {
            const QRect a = l.offsetLabels[i].box.adjusted(-3, 0, 3, 0);
            for (int j = 0; j < l.offsetLabels.size(); ++j)
                if (i != j)
                    QVERIFY(!a.intersects(l.offsetLabels[j].box));
            for (const TimeAxis::Label& major : l.majorLabels)
                QVERIFY(!a.intersects(major.box));
        }
        QVERIFY(l.offsetLabels.size() < 4 * 9);
        QVERIFY(l.offsetLabels.size() >= 4 * 9 / 3);
    }

    void offsetLabelsAroundInvisibleTicks()
    {
        // 1 ns per px on a 100 px plot: the 1000 ns step has no tick in view.
        const TimeAxis::Layout l = TimeAxis::layout(1100, 1.0, 50, 100, 35, 15, sevenPerChar);
        QVERIFY(l.valid);
        QVERIFY(l.majorLabels.isEmpty());
        QCOMPARE(l.firstMajor, 1000);
        QVERIFY(!l.offsetLabels.isEmpty());
        QCOMPARE(l.offsetLabels.first().time, 100);
    }

    void negativeViewStart()
    {
        const TimeAxis::Layout l = TimeAxis::layout(-15000000, 10000.0, 50, 1142, 35, 15, sevenPerChar);
        QVERIFY(l.valid);
        QCOMPARE(l.majorLabels.first().text, QStringLiteral("-10 ms"));
        QCOMPARE(l.majorLabels.first().x, 50 + 500);
        QCOMPARE(l.majorLabels.size(), 1); // the view ends at -3.58 ms
        QCOMPARE(l.viewEnd, -3580000);
    }

    void nothingWithoutScaleOrWidth()
    {
        QVERIFY(!TimeAxis::layout(0, 0.0, 50, 1000, 35, 15, sevenPerChar).valid);
        QVERIFY(!TimeAxis::layout(0, -1.0, 50, 1000, 35, 15, sevenPerChar).valid);
        QVERIFY(!TimeAxis::layout(0, 10000.0, 50, 0, 35, 15, sevenPerChar).valid);
        QVERIFY(TimeAxis::layout(0, 10000.0, 50, 0, 35, 15, sevenPerChar).majorLabels.isEmpty());
    }

    void extremeScalesStayBounded()
    {
        for (double scale : {1e-6, 0.01, 1.0, 1e3, 1e6, 1e9, 1e12, 1e15}) {
            const TimeAxis::Layout l = TimeAxis::layout(123456789, scale, 50, 1500, 35, 15, sevenPerChar);
            QVERIFY(l.valid);
            QVERIFY(l.minorLineX.size() <= 200);
            QVERIFY(l.majorLabels.size() <= 20);
        }
    }
};

QTEST_GUILESS_MAIN(TestTimeAxis)
#include "tst_timeaxis.moc"
