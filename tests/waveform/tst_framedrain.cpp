#include "CsvProtocolParser.h"
#include "FrameDrain.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cstdio>

class TestFrameDrain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void timestampsFollowTheSampleRate()
    {
        CsvProtocolParser parser;
        parser.handleData("{1}{2}{3}");
        qint64 ts = 0;
        const FrameDrain::ChannelSamples out = FrameDrain::drain(parser, 1000, ts);
        QCOMPARE(out[0].size(), 3);
        QCOMPARE(out[0][0].timestamp, 0);
        QCOMPARE(out[0][1].timestamp, 1000000);
        QCOMPARE(out[0][2].timestamp, 2000000);
        QCOMPARE(out[0][2].value, 3.0);
        QCOMPARE(ts, 3000000);
        for (int j = 1; j < FrameDrain::kChannelCount; ++j)
            QVERIFY(out[j].isEmpty());

        // The running time carries over to the next tick.
        parser.handleData("{4}");
        const FrameDrain::ChannelSamples next = FrameDrain::drain(parser, 1000, ts);
        QCOMPARE(next[0].size(), 1);
        QCOMPARE(next[0][0].timestamp, 3000000);
        QCOMPARE(ts, 4000000);
    }

    void fieldsOfOneFrameShareATimestamp()
    {
        CsvProtocolParser parser;
        parser.handleData("{1,2,3}{4,5}");
        qint64 ts = 500;
        const FrameDrain::ChannelSamples out = FrameDrain::drain(parser, 100, ts);
        QCOMPARE(out[0].size(), 2);
        QCOMPARE(out[1].size(), 2);
        QCOMPARE(out[2].size(), 1);
        QCOMPARE(out[2][0].timestamp, 500);
        QCOMPARE(out[0][1].timestamp, 500 + 10000000);
        QCOMPARE(out[1][1].value, 5.0);
        QCOMPARE(ts, 500 + 2 * 10000000);
    }

    void timeStepIsTruncated()
    {
        QCOMPARE(FrameDrain::timeStep(1000), 1000000);
        QCOMPARE(FrameDrain::timeStep(3), 333333333);
        QCOMPARE(FrameDrain::timeStep(1000000000), 1);
        QCOMPARE(FrameDrain::timeStep(2000000000), 0);
    }

    void zeroOrNegativeRateCountsAsOne()
    {
        QCOMPARE(FrameDrain::timeStep(0), 1000000000);
        QCOMPARE(FrameDrain::timeStep(-5), 1000000000);
        CsvProtocolParser parser;
        parser.handleData("{1}{2}");
        qint64 ts = 0;
        const FrameDrain::ChannelSamples out = FrameDrain::drain(parser, 0, ts);
        QCOMPARE(out[0].size(), 2);
        QCOMPARE(out[0][1].timestamp, 1000000000);
        QCOMPARE(ts, 2000000000);
    }

    void emptyFieldsStillProduceSamples()
    {
        CsvProtocolParser parser;
        parser.handleData("{1,,3}{,}");
        qint64 ts = 0;
        const FrameDrain::ChannelSamples out = FrameDrain::drain(parser, 1000, ts);
        QCOMPARE(out[0].size(), 2);
        QCOMPARE(out[1].size(), 2);
        QCOMPARE(out[2].size(), 1);
        QCOMPARE(out[1][0].value, 0.0);
        QCOMPARE(out[2][0].value, 3.0);
        QCOMPARE(out[0][1].value, 0.0);
        QCOMPARE(out[1][1].value, 0.0);
    }

    void nestedStartGivesZero()
    {
        CsvProtocolParser parser;
        parser.handleData("{1,{2,3}");
        qint64 ts = 0;
        const FrameDrain::ChannelSamples out = FrameDrain::drain(parser, 1000, ts);
        QCOMPARE(out[0].value(0).value, 1.0);
        QCOMPARE(out[1].value(0).value, 0.0);
        QCOMPARE(out[2].value(0).value, 3.0);
    }

    void singlePrecisionWidened()
    {
        CsvProtocolParser parser;
        parser.handleData("{3.14159265}");
        qint64 ts = 0;
        const FrameDrain::ChannelSamples out = FrameDrain::drain(parser, 1000, ts);
        QCOMPARE(out[0].size(), 1);
        QCOMPARE(out[0][0].value, double(3.14159265f));
        QVERIFY(out[0][0].value != 3.14159265);
    }

    void fieldsBeyondSixteenAreIgnored()
    {
        QByteArray frame = "{";
        for (int j = 0; j < 20; ++j)
            frame += QByteArray::number(j) + (j < 19 ? "," : "}");
        CsvProtocolParser parser;
        parser.handleData(frame);
        qint64 ts = 0;
        const FrameDrain::ChannelSamples out = FrameDrain::drain(parser, 1000, ts);
        for (int j = 0; j < FrameDrain::kChannelCount; ++j) {
            QCOMPARE(out[j].size(), 1);
            QCOMPARE(out[j][0].value, double(j));
        }
        QCOMPARE(ts, 1000000);
    }

    void hundredThousandFields()
    {
        QByteArray frame = "{";
        for (int j = 0; j < 100000; ++j)
            frame += "1,";
        frame += "1}";
        CsvProtocolParser parser;
        parser.handleData(frame.left(CsvProtocolParser::kMaxFrameLength - 10) + "}");
        qint64 ts = 0;
        const FrameDrain::ChannelSamples out = FrameDrain::drain(parser, 1000, ts);
        for (int j = 0; j < FrameDrain::kChannelCount; ++j)
            QCOMPARE(out[j].size(), 1);
        // Straight into the drain too, past the parser's length limit.
        FrameDrain::ChannelSamples direct;
        ts = 0;
        FrameDrain::appendFrames({frame.mid(1, frame.size() - 2)}, 1000, ts, direct);
        for (int j = 0; j < FrameDrain::kChannelCount; ++j)
            QCOMPARE(direct[j].size(), 1);
    }

    void budgetTakesEverythingQueued()
    {
        CsvProtocolParser parser;
        QByteArray many;
        for (int i = 0; i < 250; ++i)
            many += "{" + QByteArray::number(i) + "}";
        parser.handleData(many);
        qint64 ts = 0;
        FrameDrain::ChannelSamples out = FrameDrain::drain(parser, 1000, ts);
        QCOMPARE(out[0].size(), 250);
        QCOMPARE(out[0].last().value, 249.0);
        QVERIFY(!parser.hasFrames());

        parser.handleData("{1}{2}{3}");
        out = FrameDrain::drain(parser, 1000, ts);
        QCOMPARE(out[0].size(), 3);
        QCOMPARE(ts, 253000000);

        // Nothing queued: sixteen empty lists, time unchanged.
        out = FrameDrain::drain(parser, 1000, ts);
        for (const auto& list : out)
            QVERIFY(list.isEmpty());
        QCOMPARE(ts, 253000000);
    }

    void parseField_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << QByteArray("20") << 20.0;
        QTest::newRow("negative") << QByteArray("-3") << -3.0;
        QTest::newRow("plus sign") << QByteArray("+2.5") << 2.5;
        QTest::newRow("fraction") << QByteArray("1.5") << 1.5;
        QTest::newRow("leading point") << QByteArray(".25") << 0.25;
        QTest::newRow("negative leading point") << QByteArray("-.5") << -0.5;
        QTest::newRow("trailing point") << QByteArray("5.") << 5.0;
        QTest::newRow("exponent") << QByteArray("1e3") << 1000.0;
        QTest::newRow("upper exponent") << QByteArray("2.5E-2") << double(0.025f);
        QTest::newRow("signed exponent") << QByteArray("+4e+1") << 40.0;
        QTest::newRow("float max") << QByteArray("3.4028234e38") << double(3.4028234e38f);
        QTest::newRow("empty") << QByteArray() << 0.0;
        QTest::newRow("text") << QByteArray("abc") << 0.0;
        QTest::newRow("hex") << QByteArray("0x10") << 0.0;
        QTest::newRow("trailing text") << QByteArray("12V") << 0.0;
        QTest::newRow("two points") << QByteArray("1.5.2") << 0.0;
        QTest::newRow("bare exponent") << QByteArray("1e") << 0.0;
        QTest::newRow("exponent only") << QByteArray("e5") << 0.0;
        QTest::newRow("sign only") << QByteArray("-") << 0.0;
        QTest::newRow("plus only") << QByteArray("+") << 0.0;
        QTest::newRow("point only") << QByteArray(".") << 0.0;
        QTest::newRow("double sign") << QByteArray("+-1") << 0.0;
        QTest::newRow("double minus") << QByteArray("--1") << 0.0;
        QTest::newRow("nan") << QByteArray("nan") << 0.0;
        QTest::newRow("NaN") << QByteArray("NaN") << 0.0;
        QTest::newRow("inf") << QByteArray("inf") << 0.0;
        QTest::newRow("-inf") << QByteArray("-inf") << 0.0;
        QTest::newRow("+infinity") << QByteArray("+infinity") << 0.0;
        QTest::newRow("overflow") << QByteArray("1e39") << 0.0;
        QTest::newRow("negative overflow") << QByteArray("-1e39") << 0.0;
        QTest::newRow("underflow") << QByteArray("1e-60") << 0.0;
        QTest::newRow("nested start") << QByteArray("{2") << 0.0;
        QTest::newRow("comma decimal") << QByteArray("1;5") << 0.0;
    }

    void parseField()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        const double got = FrameDrain::parseField(text);
        QVERIFY2(got == value, qPrintable(QString::number(got, 'g', 17)));
    }

    void parseFieldRoundTripsEveryFloat()
    {
        // Nine significant digits identify a float exactly, so the parsed
        // value must be the very float that was printed.
        QRandomGenerator rng(7);
        char text[64];
        for (int i = 0; i < 200000; ++i) {
            quint32 bits = rng.generate();
            float f;
            std::memcpy(&f, &bits, sizeof f);
            if (!std::isfinite(f))
                continue;
            const int len = std::snprintf(text, sizeof text, (i & 1) ? "%.9g" : "%.9e", double(f));
            const double got = FrameDrain::parseField(text, text + len);
            if (f != 0.0f && std::fabs(f) < 1.17549435e-38f) {
                // Subnormals: either the exact float or 0 is acceptable.
                QVERIFY(got == double(f) || got == 0.0);
                continue;
            }
            QVERIFY2(got == double(f), text);
        }
    }
};

QTEST_GUILESS_MAIN(TestFrameDrain)
#include "tst_framedrain.moc"
