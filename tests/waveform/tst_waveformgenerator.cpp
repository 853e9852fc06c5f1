#include "WaveformGenerator.h"

#include <QTest>

#include <cmath>

// The generator's arithmetic and line format, without a window or a port.
class TestWaveformGenerator : public QObject
{
    Q_OBJECT

private:
    static QList<QByteArray> lines(const QByteArray& block)
    {
        QList<QByteArray> out = block.split('\n');
        if (!out.isEmpty() && out.constLast().isEmpty())
            out.removeLast();
        return out;
    }
    static WaveformGenerator::Wave wave(int kind) { return {kind, WaveformInfo()}; }

private Q_SLOTS:
    void firstLinesWithDefaults_data()
    {
        QTest::addColumn<QList<int>>("kinds");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("cos") << QList<int>{WaveformGenerator::Cos} << QByteArray("{1.0000}")
                             << QByteArray("{0.9980}");
        QTest::newRow("sin") << QList<int>{WaveformGenerator::Sin} << QByteArray("{0.0000}")
                             << QByteArray("{0.0628}");
        QTest::newRow("square+sin") << QList<int>{WaveformGenerator::Square, WaveformGenerator::Sin}
                                    << QByteArray("{0.0000,0.0000}") << QByteArray("{0.4652,0.0628}");
        QTest::newRow("sin decay") << QList<int>{WaveformGenerator::SinDecay} << QByteArray("{1.5000}")
                                   << QByteArray("{1.7509}");
        QTest::newRow("sawtooth+triangle")
            << QList<int>{WaveformGenerator::Sawtooth, WaveformGenerator::Triangle}
            << QByteArray("{-1.0000,-1.0000}") << QByteArray("{-0.9800,-0.9600}");
    }
    void firstLinesWithDefaults()
    {
        QFETCH(QList<int>, kinds);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QList<WaveformGenerator::Wave> waves;
        for (int k : kinds)
            waves.append(wave(k));
        WaveformGenerator gen;
        const QList<QByteArray> out = lines(gen.nextTick(waves));
        QCOMPARE(out.size(), WaveformGenerator::kLinesPerTick);
        QCOMPARE(out.at(0), first);
        QCOMPARE(out.at(1), second);
        QCOMPARE(gen.time(), quint64(100));
    }

    void prefixAndSuffixEmptied()
    {
        WaveformGenerator gen;
        gen.setPrefix(QString());
        gen.setSuffix(QString());
        const QByteArray block = gen.nextTick({wave(WaveformGenerator::Cos), wave(WaveformGenerator::Pwm)});
        QVERIFY(block.startsWith("1.0000,1.0000\n0.9980,1.0000\n"));
        QCOMPARE(block.count('\n'), 10);
    }

    void pwmThresholds()
    {
        WaveformGenerator gen;
        const WaveformInfo info;
        for (quint64 t = 0; t < 1000; t += 10)
            QCOMPARE(gen.value(WaveformGenerator::Pwm, info, t), t <= 490 ? 1.0 : 0.0);
        QCOMPARE(gen.value(WaveformGenerator::Pwm, info, 1000), 1.0);
    }

    void sinDecayShrinksOverTheWholeTime()
    {
        WaveformGenerator gen;
        const WaveformInfo info; // P 1000, D 10000
        QCOMPARE(gen.value(WaveformGenerator::SinDecay, info, 0), 1.5);
        // A crest (p = P/4) at t = 10000 + 250: 4 exp(-1.025) above 1.5.
        QVERIFY(std::fabs(gen.value(WaveformGenerator::SinDecay, info, 10250) -
                          (1.5 + 4 * std::exp(-1.025))) < 1e-9);
        QVERIFY(std::fabs(gen.value(WaveformGenerator::SinDecay, info, 250) - (1.5 + 4 * std::exp(-0.025))) <
                1e-9);
    }

    // Nothing to divide by: the kind holds its resting level and says why.
    void zeroPeriodOrDecayNeverDivides_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("period");
        QTest::addColumn<double>("decay");
        QTest::addColumn<double>("expected");
        for (int k = 0; k < WaveformGenerator::KindCount; ++k) {
            if (!WaveformGenerator::usesPeriod(k))
                continue;
            const bool sine = k == WaveformGenerator::Sin || k == WaveformGenerator::Cos ||
                              k == WaveformGenerator::SinNoise;
            const double rest = sine ? 2.5 : (k == WaveformGenerator::SinDecay ? 1.5 : 0.0);
            QTest::newRow(qPrintable(WaveformGenerator::kindNames().at(k))) << k << 0 << 10000.0 << rest;
        }
        QTest::newRow("decay 0") << int(WaveformGenerator::SinDecay) << 1000 << 0.0 << 1.5;
    }
    void zeroPeriodOrDecayNeverDivides()
    {
        QFETCH(int, kind);
        QFETCH(int, period);
        QFETCH(double, decay);
        QFETCH(double, expected);
        WaveformInfo info;
        info.period = period;
        info.decayConstant = decay;
        info.offset = 2.5;
        WaveformGenerator gen;
        for (quint64 t : {quint64(0), quint64(250), quint64(12340)})
            QCOMPARE(gen.value(kind, info, t), expected);
        QVERIFY(!WaveformGenerator::periodProblem(kind, info).isEmpty() ||
                !WaveformGenerator::decayProblem(kind, info).isEmpty());
        const QByteArray block = gen.nextTick({{kind, info}});
        QVERIFY2(!block.contains("nan") && !block.contains("inf"), block.constData());
    }

    void ecgAndNoiseIgnoreThePeriod()
    {
        WaveformInfo info;
        info.period = 0;
        WaveformGenerator gen;
        QVERIFY(WaveformGenerator::periodProblem(WaveformGenerator::Ecg, info).isEmpty());
        // The R peak of the fixed 5000 us beat at m = 0.45.
        QVERIFY(gen.value(WaveformGenerator::Ecg, info, 2250) > 0.9);
        QCOMPARE(gen.value(WaveformGenerator::Ecg, info, 2250),
                 gen.value(WaveformGenerator::Ecg, info, 7250));
    }

    void noiseSteps_data()
    {
        QTest::addColumn<int>("draw");
        QTest::addColumn<double>("noise");
        QTest::newRow("100") << 100 << -0.10;
        QTest::newRow("109") << 109 << -0.01;
        QTest::newRow("110") << 110 << 0.0;
        QTest::newRow("149") << 149 << 0.39;
        QTest::newRow("254") << 254 << -0.06;
    }
    void noiseSteps()
    {
        QFETCH(int, draw);
        QFETCH(double, noise);
        WaveformGenerator gen;
        gen.setRandomSource([draw] { return draw; });
        QVERIFY(std::fabs(gen.noise() - noise) < 1e-12);
        QVERIFY(std::fabs(gen.value(WaveformGenerator::SinNoise, WaveformInfo(), 250) - (1.0 + noise)) <
                1e-12);
    }

    void realNoiseStaysInRange()
    {
        WaveformGenerator gen;
        for (int i = 0; i < 2000; ++i) {
            const double n = gen.value(WaveformGenerator::Noise, WaveformInfo(), 0);
            QVERIFY(n >= -0.1 - 1e-12 && n <= 0.39 + 1e-12);
        }
    }
};

QTEST_GUILESS_MAIN(TestWaveformGenerator)
#include "tst_waveformgenerator.moc"
