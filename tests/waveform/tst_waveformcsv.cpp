#include "WaveformCsvExporter.h"
#include "WaveformCsvParser.h"
#include "WaveformCsvReplay.h"
#include "WaveformStore.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using Samples = QVector<WaveformSample>;

static bool operator==(const WaveformSample& a, const WaveformSample& b)
{
    return a.timestamp == b.timestamp && a.value == b.value;
}

class TestWaveformCsv : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    static inline int s_lastProgress = -1;

    QString writeFile(const QByteArray& content)
    {
        static int n = 0;
        const QString name = m_dir.filePath(QStringLiteral("in%1.csv").arg(++n));
        QFile f(name);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(name));
        return name;
    }

    static QByteArray readAll(const QString& name)
    {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static CsvParseResult parse(const QString& name, const CsvReplayHeader& h, double rate = 1e6)
    {
        QFuture<CsvParseResult> f = WaveformCsvParser::start(
            name, h.unitFactor, h.unitsPerSecond, int(h.columnNames.size()), rate, QFileInfo(name).size());
        f.waitForFinished();
        s_lastProgress = f.progressValue();
        return f.resultCount() ? f.result() : CsvParseResult();
    }

    static CsvSaveResult exportStore(const WaveformStore& store, const QString& name)
    {
        QFuture<CsvSaveResult> f = WaveformCsvExporter::start(store.channels(), name);
        f.waitForFinished();
        s_lastProgress = f.progressValue();
        return f.resultCount() ? f.result() : CsvSaveResult{{}, {}, QStringLiteral("no result")};
    }

private slots:
    void exportMergesTimestamps()
    {
        WaveformStore store;
        store.addChannel(QStringLiteral("Channel 0"));
        store.addChannel(QStringLiteral("Channel 1"));
        store.addChannel(QStringLiteral("Hidden"));
        store.setChannelVisible(2, false);
        store.appendChannelData(0, {{0, 1.5}, {10, 2}});
        store.appendChannelData(1, {{10, 3}});
        store.appendChannelData(2, {{5, 7}});
        const QString out = m_dir.filePath(QStringLiteral("merge.csv"));
        const CsvSaveResult r = exportStore(store, out);
        QCOMPARE(r.errorMessage, QString());
        QCOMPARE(readAll(out),
                 QByteArray("Timestamp(ns),Channel 0,Channel 1,Hidden\n0,1.5,,\n5,,,7\n10,2,3,\n"));
    }

    void exportFailureKeepsTargetAndSaysWhy()
    {
        WaveformStore store;
        store.addChannel(QStringLiteral("A"));
        store.appendChannelData(0, {{0, 1}});
        const CsvSaveResult r = exportStore(store, m_dir.filePath(QStringLiteral("missing/dir/x.csv")));
        QVERIFY(!r.errorMessage.isEmpty());
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("missing/dir/x.csv"))));
    }

    void cancelledExportLeavesOldFile()
    {
        WaveformStore store;
        Samples s(500000);
        for (int i = 0; i < s.size(); ++i)
            s[i] = {qint64(i) * 1000, std::sin(i * 0.001)};
        for (int c = 0; c < 4; ++c) {
            store.addChannel(QStringLiteral("C%1").arg(c));
            store.appendChannelData(c, s);
        }
        const QString out = writeFile("old content");
        QFuture<CsvSaveResult> f = WaveformCsvExporter::start(store.channels(), out);
        f.cancel();
        f.waitForFinished();
        QCOMPARE(f.resultCount(), 0);
        QCOMPARE(readAll(out), QByteArray("old content"));
        QCOMPARE(
            QDir(m_dir.path()).entryList(QStringList{QStringLiteral("*.csv.*")}, QDir::Files | QDir::Hidden),
            QStringList());
    }

    void headerRules_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("factor");
        QTest::addColumn<int>("columns");
        QTest::newRow("ours") << QByteArray("Timestamp(ns),Channel 0,Channel 1") << true << 1.0 << 2;
        QTest::newRow("Time(ms)") << QByteArray("Time(ms),A,B") << true << 1e6 << 2;
        QTest::newRow("seconds") << QByteArray("Time(second),A") << true << 1e9 << 1;
        QTest::newRow("bom crlf") << QByteArray("\xEF\xBB\xBFTimestamp(us),A\r") << true << 1e3 << 1;
        QTest::newRow("20 columns") << QByteArray("Timestamp(ns)" + QByteArray(",x").repeated(20)) << true
                                    << 1.0 << 16;
        QTest::newRow("min") << QByteArray("Timestamp(min),A") << false << 0.0 << 0;
        QTest::newRow("empty unit") << QByteArray("Time(),A") << false << 0.0 << 0;
        QTest::newRow("unclosed unit") << QByteArray("Time(ms,A") << false << 0.0 << 0;
        QTest::newRow("no time") << QByteArray("Value,A") << false << 0.0 << 0;
        QTest::newRow("one field") << QByteArray("Timestamp(ns)") << false << 0.0 << 0;
        QTest::newRow("empty") << QByteArray("") << false << 0.0 << 0;
    }

    void headerRules()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, ok);
        const CsvReplayHeader h = WaveformCsvParser::parseHeader(line);
        QCOMPARE(h.ok, ok);
        QCOMPARE(h.errorMessage.isEmpty(), ok); // a refusal always says why
        if (ok) {
            QFETCH(double, factor);
            QFETCH(int, columns);
            QCOMPARE(h.unitFactor, factor);
            QCOMPARE(h.columnNames.size(), columns);
        }
    }

    void replayLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Samples>("col0");
        QTest::addColumn<Samples>("col1");
        QTest::newRow("Time(ms)") << QByteArray("Time(ms),A,B\n1.5,3,\n") << Samples{{1500000, 3}}
                                  << Samples{};
        QTest::newRow("bom crlf") << QByteArray("\xEF\xBB\xBFTimestamp(ns),A,B\r\n5,1,2\r\n\r\n6,,4\r\n")
                                  << Samples{{5, 1}} << Samples{{5, 2}, {6, 4}};
        QTest::newRow("quoted") << QByteArray("\"Time(us)\",\"A, x\",B\n\"2\",\"4.5\", \"-1e3\" \n")
                                << Samples{{2000, 4.5}} << Samples{{2000, -1000}};
        QTest::newRow("garbage") << QByteArray("Timestamp(ns),A,B\nhello,1,1\n7\n;;;\n8,abc,\n9,2,x\n")
                                 << Samples{{8, 0}, {9, 2}} << Samples{{9, 0}};
        QTest::newRow("overflow") << QByteArray("Timestamp(s),A,B\n1e30,1,1\ninf,2,2\nnan,3,3\n-1e30,4,4\n"
                                                "1e400,5,5\n2,6,\n")
                                  << Samples{{2000000000, 6}} << Samples{};
        QTest::newRow("backwards") << QByteArray("Timestamp(ns),A,B\n30,3,\n10,1,\n20,2,7\n")
                                   << Samples{{10, 1}, {20, 2}, {30, 3}} << Samples{{20, 7}};
        QTest::newRow("3 MiB line") << QByteArray("Timestamp(ns),A,B\n1," + QByteArray(3 << 20, 'x') +
                                                  ",9\n2,5,6\n")
                                    << Samples{{1, 0}, {2, 5}} << Samples{{2, 6}};
        QTest::newRow("no final lf") << QByteArray("Timestamp(ns),A,B\n1,2,3") << Samples{{1, 2}}
                                     << Samples{{1, 3}};
    }

    void replayLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(Samples, col0);
        QFETCH(Samples, col1);
        const QString name = writeFile(content);
        const CsvReplayHeader h = WaveformCsvParser::readHeader(name);
        QVERIFY2(h.ok, qPrintable(h.errorMessage));
        const CsvParseResult r = parse(name, h);
        QCOMPARE(r.errorMessage, QString());
        QCOMPARE(r.columns.size(), 2);
        QCOMPARE(r.columns[0], col0);
        QCOMPARE(r.columns[1], col1);
    }

    void twentyColumnsLoadSixteen()
    {
        QByteArray text = "Timestamp(ns)";
        for (int i = 0; i < 20; ++i)
            text += ",c" + QByteArray::number(i);
        text += "\n1";
        for (int i = 0; i < 20; ++i)
            text += "," + QByteArray::number(i);
        const QString name = writeFile(text + "\n");
        const CsvReplayHeader h = WaveformCsvParser::readHeader(name);
        const CsvParseResult r = parse(name, h);
        QCOMPARE(r.columns.size(), 16);
        QCOMPARE(r.columns[15], Samples({{1, 15}}));
        QCOMPARE(h.columnNames.last(), QStringLiteral("c15"));
        QCOMPARE(s_lastProgress, 100);
    }

    void sampleRateIsMedianSpacing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<double>("rate");
        QTest::newRow("ms with a gap") << QByteArray("Time(ms),A\n0,1\n1,1\n2,1\n5,1\n6,1\n") << 1000.0;
        QTest::newRow("unsorted us") << QByteArray("Time(us),A\n30,1\n10,1\n20,1\n0,1\n") << 100000.0;
        QTest::newRow("one time only") << QByteArray("Time(s),A\n1,1\n1,2\n") << 1e6;
        QTest::newRow("no data") << QByteArray("Time(s),A\n") << 1e6;
    }

    void sampleRateIsMedianSpacing()
    {
        QFETCH(QByteArray, content);
        QFETCH(double, rate);
        const QString name = writeFile(content);
        QCOMPARE(parse(name, WaveformCsvParser::readHeader(name), 1e6).sampleRate, rate);
    }

    void cancelledParseGivesNoResult()
    {
        QByteArray text = "Timestamp(ns),A\n";
        for (int i = 0; i < 400000; ++i)
            text += QByteArray::number(i) + ",1.25\n";
        const QString name = writeFile(text);
        QFuture<CsvParseResult> f = WaveformCsvParser::start(name, 1, 1e9, 1, 1e6, text.size());
        f.cancel();
        f.waitForFinished();
        QCOMPARE(f.resultCount(), 0);
    }

    // A recording saved and replayed comes back sample for sample; the
    // replayed file shows exactly its own channels.
    void roundTrip()
    {
        WaveformStore rec;
        rec.addChannel(QStringLiteral("Ch 0"));
        rec.addChannel(QStringLiteral("Ch 1"));
        rec.addChannel(QStringLiteral("volts, \"raw\"\nx"));
        rec.setChannelVisible(1, false);
        const Samples a{{0, 0.1}, {1000, -2.5e-7}, {2000, 1e15}, {3000, 1.0 / 3}};
        const Samples b{{1000, 42}, {5000, -0.1}};
        rec.appendChannelData(0, a);
        rec.appendChannelData(1, b);
        const QString out = m_dir.filePath(QStringLiteral("round.csv"));
        QCOMPARE(exportStore(rec, out).errorMessage, QString());

        WaveformStore view;
        view.setWidgetSize(1200, 1000);
        for (int c = 0; c < 16; ++c)
            view.addChannel(QStringLiteral("CH%1").arg(c));
        view.channel(0)->autoRange = false;
        view.clearData();
        const CsvReplayHeader h = WaveformCsvParser::readHeader(out);
        QVERIFY(h.ok);
        const QVector<int> map = WaveformCsvReplay::mapColumns(view, h);
        QCOMPARE(map, QVector<int>({0, 1, 2}));
        const QList<int> changed = WaveformCsvReplay::apply(view, parse(out, h), map);

        QCOMPARE(changed.size(), 13); // 3..15 hidden
        for (int c = 0; c < 16; ++c)
            QCOMPARE(view.channel(c)->visible, c < 3);
        QCOMPARE(view.channel(1)->name, QStringLiteral("Ch 1"));
        QCOMPARE(view.channel(2)->name, QStringLiteral("volts, \"raw\" x"));
        QCOMPARE(view.sampleRate(), 1e6); // median spacing 1000 ns
        QCOMPARE(view.firstTime(), 0);
        QCOMPARE(view.lastTime(), 5000);
        QVERIFY(!view.channel(0)->autoRange);
        QCOMPARE(view.channel(0)->dataMax, 1e15);
        QVERIFY(view.channel(2)->samples.isEmpty());
        for (int c = 0; c < 2; ++c) {
            const Samples& want = c == 0 ? a : b;
            const Samples& got = view.channel(c)->samples;
            QCOMPARE(got.size(), want.size());
            for (int i = 0; i < want.size(); ++i) {
                QCOMPARE(got[i].timestamp, want[i].timestamp);
                QVERIFY2(std::fabs(got[i].value - want[i].value) <= 1e-9 * std::fabs(want[i].value),
                         qPrintable(QString::number(got[i].value, 'g', 17)));
            }
        }
        QCOMPARE(view.channel(0)->samples[0].value, 0.1); // exact, not 0.1000000001
    }
};

QTEST_GUILESS_MAIN(TestWaveformCsv)
#include "tst_waveformcsv.moc"
