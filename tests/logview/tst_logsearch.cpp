// Log search: line-by-line slices against a brute-force scan of the whole
// text, while the text grows at its end and loses lines at its head.
#include "LogSearch.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {

// Non-overlapping, left to right, line by line, by comparing at every place.
QList<qsizetype> bruteForce(const QString& text, const QString& needle, Qt::CaseSensitivity cs)
{
    QList<qsizetype> out;
    for (qsizetype i = 0; i + needle.size() <= text.size();) {
        const QStringView here = QStringView(text).mid(i, needle.size());
        if (!here.contains(QLatin1Char('\n')) && here.compare(needle, cs) == 0) {
            out << i;
            i += needle.size();
        } else {
            ++i;
        }
    }
    return out;
}

QList<qsizetype> positions(const LogSearch& s)
{
    QList<qsizetype> out;
    for (const LogSearch::Match& m : s.matches())
        out << m.position;
    return out;
}

// Searches the lines of `text` starting at `from` (a line start).
void searchRest(LogSearch& s, const QString& text, qsizetype from)
{
    while (from < text.size()) {
        qsizetype nl = text.indexOf(QLatin1Char('\n'), from);
        if (nl < 0)
            nl = text.size();
        s.searchLine(from, QStringView(text).mid(from, nl - from));
        from = nl + 1;
    }
}

QString randomLog(qsizetype chars, quint32 seed)
{
    static const char* words[] = {"error",   "Error",    "ERR", "ok", "rx",
                                  "temp=21", "errerror", "\n",  "\n", " "};
    QRandomGenerator rng(seed);
    QString s;
    while (s.size() < chars)
        s += QLatin1String(words[rng.bounded(int(sizeof words / sizeof *words))]);
    return s;
}

} // namespace

class TestLogSearch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void plainAgainstBruteForce_data()
    {
        QTest::addColumn<QString>("needle");
        QTest::addColumn<bool>("caseSensitive");
        QTest::newRow("word") << "error" << true;
        QTest::newRow("word, any case") << "error" << false;
        QTest::newRow("self-overlapping") << "rerr" << true;
        QTest::newRow("single char") << "r" << false;
    }
    void plainAgainstBruteForce()
    {
        QFETCH(QString, needle);
        QFETCH(bool, caseSensitive);
        const QString text = randomLog(200000, 7);
        LogSearch s;
        QVERIFY(s.setPattern(needle, false, caseSensitive));
        searchRest(s, text, 0);
        QCOMPARE(positions(s),
                 bruteForce(text, needle, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive));
    }

    void regexAgainstReference()
    {
        const QString text = randomLog(100000, 11);
        LogSearch s;
        QVERIFY(s.setPattern(QStringLiteral("err(or)?|\\d+"), true, true));
        searchRest(s, text, 0);
        // Match after match, each search starting where the last one ended.
        const QRegularExpression re(QStringLiteral("err(or)?|\\d+"));
        qsizetype expected = 0;
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            for (QRegularExpressionMatch m = re.match(line); m.hasMatch();
                 m = re.match(line, m.capturedEnd()))
                ++expected;
        }
        QCOMPARE(s.count(), expected);
        QVERIFY(s.count() > 100);
    }

    void invalidRegexIsReported()
    {
        LogSearch s;
        QString error;
        QVERIFY(!s.setPattern(QStringLiteral("(unclosed"), true, true, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!s.isActive());
        searchRest(s, QStringLiteral("(unclosed\n"), 0);
        QCOMPARE(s.count(), 0);
    }

    void emptyMatchesAreSkipped()
    {
        LogSearch s;
        QVERIFY(s.setPattern(QStringLiteral("x*"), true, true));
        searchRest(s, QStringLiteral("abxxc\nx\n"), 0);
        QCOMPARE(positions(s), (QList<qsizetype>{2, 6}));
    }

    // The log as the view has it: appended in pieces (the last line searched
    // again when it grows), its head cut off now and then. After every step
    // the matches equal a brute-force scan of what is left.
    void streamingLogMatchesBruteForce()
    {
        const QString source = randomLog(400000, 3);
        QRandomGenerator rng(5);
        QString doc;
        qsizetype fed = 0;
        LogSearch s;
        QVERIFY(s.setPattern(QStringLiteral("error"), false, true));
        s.selectNext();
        while (fed < source.size()) {
            const qsizetype piece = qMin<qsizetype>(source.size() - fed, 1 + rng.bounded(9000));
            // The line the piece continues is searched again from its start.
            const qsizetype lastLine = doc.lastIndexOf(QLatin1Char('\n')) + 1;
            doc += QStringView(source).mid(fed, piece);
            fed += piece;
            s.dropFrom(lastLine);
            searchRest(s, doc, lastLine);
            if (doc.size() > 60000) {
                const qsizetype cut = doc.indexOf(QLatin1Char('\n'), doc.size() - 50000) + 1;
                doc.remove(0, cut);
                s.removeHead(cut);
            }
            QCOMPARE(positions(s), bruteForce(doc, QStringLiteral("error"), Qt::CaseSensitive));
        }
    }

    void selectionWrapsAndFollowsTheHead()
    {
        LogSearch s;
        QVERIFY(s.setPattern(QStringLiteral("ab"), false, true));
        searchRest(s, QStringLiteral("ab ab\nab\n"), 0); // 0, 3, 6
        QCOMPARE(s.selectFrom(4, false), 2);
        QCOMPARE(s.selectNext(), 0);
        QCOMPARE(s.selectPrevious(), 2);
        QCOMPARE(s.selectFrom(4, true), 1);
        s.removeHead(6); // the first line goes
        QCOMPARE(s.count(), 1);
        QCOMPARE(s.current(), -1);
        QCOMPARE(s.matches().first().position, 0);
    }

    void matchCountIsBounded()
    {
        LogSearch s;
        QVERIFY(s.setPattern(QStringLiteral("a"), false, true));
        const QString line(LogSearch::kMaxMatches + 10, QLatin1Char('a'));
        s.searchLine(0, line);
        QCOMPARE(s.count(), LogSearch::kMaxMatches);
        QVERIFY(s.isCapped());
    }
};

QTEST_GUILESS_MAIN(TestLogSearch)
#include "tst_logsearch.moc"
