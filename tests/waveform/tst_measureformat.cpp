#include "MeasureFormat.h"

#include <QTest>

#include <limits>

// Texts of the cursor read-out, the timing-marker rows and the range read-out.
class TestMeasureFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void timeText_data()
    {
        QTest::addColumn<qint64>("ns");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0 ns";
        QTest::newRow("999 ns") << qint64(999) << "999 ns";
        QTest::newRow("1 us") << qint64(1000) << "1 us";
        QTest::newRow("1.5 us") << qint64(1500) << "1.5 us";
        QTest::newRow("999.999 us") << qint64(999999) << "999.999 us";
        QTest::newRow("1 ms") << qint64(1000000) << "1 ms";
        QTest::newRow("2 ms") << qint64(2000000) << "2 ms";
        QTest::newRow("1.000001 ms") << qint64(1000001) << "1.000001 ms";
        QTest::newRow("1 s") << qint64(1000000000) << "1 s";
        QTest::newRow("negative") << qint64(-1500) << "-1.5 us";
        // Every nanosecond kept at the ends of the range.
        QTest::newRow("max") << std::numeric_limits<qint64>::max() << "9223372036.854775807 s";
        QTest::newRow("min") << std::numeric_limits<qint64>::min() << "-9223372036.854775808 s";
    }
    void timeText()
    {
        QFETCH(qint64, ns);
        QFETCH(QString, text);
        QCOMPARE(MeasureFormat::timeText(ns), text);
    }

    void readoutFrequency_data()
    {
        QTest::addColumn<qint64>("delta");
        QTest::addColumn<QString>("text");
        QTest::newRow("1 ms") << qint64(1000000) << "1.00 KHz";
        QTest::newRow("1 ns") << qint64(1) << "1.00 GHz";
        QTest::newRow("1 us") << qint64(1000) << "1.00 MHz";
        QTest::newRow("4 ms") << qint64(4000000) << "250.00 Hz";
        QTest::newRow("3 s") << qint64(3000000000) << "0.33 Hz";
    }
    void readoutFrequency()
    {
        QFETCH(qint64, delta);
        QFETCH(QString, text);
        QCOMPARE(MeasureFormat::readoutFrequency(delta), text);
    }

    void cursorReadout()
    {
        QCOMPARE(MeasureFormat::cursorReadout(1000000, 1000000),
                 QStringLiteral("T = 1 ms\n∆t = 1 ms\nFreq = 1.00 KHz"));
        QCOMPARE(MeasureFormat::cursorReadout(2500, 0), QStringLiteral("T = 2.5 us\n\n∆t = 0s"));
    }

    void markerFrequency_data()
    {
        QTest::addColumn<double>("hz");
        QTest::addColumn<QString>("text");
        QTest::newRow("1 kHz") << 1000.0 << "1 KHz";
        QTest::newRow("250 Hz") << 250.0 << "250 Hz";
        QTest::newRow("1/3 Hz") << 1.0 / 3.0 << "0.333333 Hz";
        QTest::newRow("1.5 MHz") << 1.5e6 << "1.5 MHz";
        QTest::newRow("1 GHz") << 1e9 << "1 GHz";
        QTest::newRow("tiny keeps its exponent") << 1e-5 << "1e-05 Hz";
    }
    void markerFrequency()
    {
        QFETCH(double, hz);
        QFETCH(QString, text);
        QCOMPARE(MeasureFormat::markerFrequency(hz), text);
    }

    void markerTitle()
    {
        QCOMPARE(MeasureFormat::markerTitle(0, 0, 1000000), QStringLiteral("P0 -> ∆ = 1 ms (1 KHz)"));
        QCOMPARE(MeasureFormat::markerTitle(3, 500, 500), QStringLiteral("P3 -> ∆ = 0 ns (0Hz)"));
        // Right to left reads the same difference.
        QCOMPARE(MeasureFormat::markerTitle(1, 1000000, 0), QStringLiteral("P1 -> ∆ = 1 ms (1 KHz)"));
        // A difference wider than 64 bits saturates instead of wrapping.
        QVERIFY(MeasureFormat::markerTitle(2, std::numeric_limits<qint64>::min(),
                                           std::numeric_limits<qint64>::max())
                    .startsWith(QStringLiteral("P2 -> ∆ = 9223372036.854775807 s")));
    }

    void rangeReadout()
    {
        const QStringList lines = MeasureFormat::rangeReadout(-1.5, 2.25, 0.125, 3.75, 3);
        QCOMPARE(lines, (QStringList{QStringLiteral("Min: -1.5000  Max: 2.2500  Avg: 0.1250"),
                                     QStringLiteral("Pk-Pk: 3.7500  N: 3")}));
    }
};

QTEST_GUILESS_MAIN(TestMeasureFormat)
#include "tst_measureformat.moc"
