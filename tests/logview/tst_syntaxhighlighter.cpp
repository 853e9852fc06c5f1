#include "CSyntaxHighlighter.h"
#include "HighlightRuleSet.h"
#include "LogLineScanner.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

namespace {

using Colors = QList<QColor>;

// The colour each character ends up with (invalid = not coloured); later
// spans override earlier ones, as in the document.
Colors paint(QStringView line, const std::function<void(const FormatSink&)>& run)
{
    Colors colors(line.size());
    run([&](int start, int len, const QTextCharFormat& format) {
        QVERIFY2(start >= 0 && len > 0 && start + len <= line.size(), "span outside the line");
        for (int i = start; i < start + len; ++i)
            colors[i] = format.foreground().color();
    });
    return colors;
}

Colors byScanner(const LogLineScanner& scanner, QStringView line)
{
    return paint(line, [&](const FormatSink& sink) { scanner.scan(line, sink); });
}

Colors byRules(const HighlightRuleSet& rules, QStringView line)
{
    return paint(line, [&](const FormatSink& sink) { rules.applyRules(line, sink); });
}

QString describe(QStringView line, const Colors& a, const Colors& b)
{
    for (int i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return QStringLiteral("column %1 ('%2'): scanner %3, rules %4 in: %5")
                .arg(i)
                .arg(line.at(i))
                .arg(a[i].isValid() ? a[i].name() : QStringLiteral("none"),
                     b[i].isValid() ? b[i].name() : QStringLiteral("none"))
                .arg(line.toString());
    }
    return QString();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// The shipped rule file with a different colour for every rule, so that no
// two roles can be confused in a comparison.
QByteArray distinctColours(const QByteArray& json)
{
    QJsonObject root = QJsonDocument::fromJson(json).object();
    QJsonArray rules = root.value(QStringLiteral("rules")).toArray();
    for (int i = 0; i < rules.size(); ++i) {
        QJsonObject rule = rules[i].toObject();
        rule.insert(QStringLiteral("color"), QColor::fromHsv((i * 27) % 360, 200, 100 + i * 10).name());
        rules[i] = rule;
    }
    root.insert(QStringLiteral("rules"), rules);
    return QJsonDocument(root).toJson();
}

QString writeTemp(QTemporaryDir& dir, const QString& name, const QByteArray& data)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(data);
    return path;
}

const QString kStamp = QStringLiteral("[2024-03-18 09:12:44.031]");

// The colour of every character of a block as the document holds it.
Colors documentColours(const QTextBlock& block)
{
    Colors colors(block.length() - 1);
    for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
        for (int i = r.start; i < r.start + r.length && i < colors.size(); ++i)
            colors[i] = r.format.foreground().color();
    }
    return colors;
}

QString numberedLog(int count)
{
    QString out;
    for (int i = 0; i < count; ++i)
        out += kStamp + QStringLiteral("R value %1 -opt OK [W] x\n").arg(i);
    return out;
}

// A document as the text area has it: without a layout it reports no changes.
struct LogDocument : QTextDocument
{
    LogDocument() { setDocumentLayout(new QPlainTextDocumentLayout(this)); }
};

int colouredCount(const QTextDocument& doc)
{
    int n = 0;
    for (QTextBlock b = doc.firstBlock(); b.isValid(); b = b.next())
        n += CSyntaxHighlighter::isColoured(b) ? 1 : 0;
    return n;
}

} // namespace

class TestSyntaxHighlighter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    HighlightRuleSet m_standard;
    LogLineScanner m_scanner;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QString error;
        QVERIFY2(HighlightRuleSet::parse(distinctColours(readFile(QStringLiteral(RULES_DIR "/buildin.json"))),
                                         m_standard, &error),
                 qPrintable(error));
        QVERIFY(m_scanner.configure(m_standard.rules()));
    }

    void shippedFilesEnableTheScanner_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("dark") << QStringLiteral(RULES_DIR "/buildin.json");
        QTest::newRow("light") << QStringLiteral(RULES_DIR "/buildin-light.json");
    }
    void shippedFilesEnableTheScanner()
    {
        QFETCH(QString, file);
        CSyntaxHighlighter h;
        QString error;
        QVERIFY2(h.loadRuleFile(file, &error), qPrintable(error));
        QVERIFY(h.hasLoadedRules());
        QVERIFY(h.scannerEnabled());
        QCOMPARE(h.scanner().warningForm(), 1);
        QVERIFY(!h.activeRules().blockCommentEnabled());
    }

    void defaultsNeverEnableTheScanner()
    {
        CSyntaxHighlighter h;
        QVERIFY(!h.hasLoadedRules());
        QVERIFY(!h.scannerEnabled());
        QCOMPARE(h.activeRules().rules().size(), 14);
        LogLineScanner s;
        QVERIFY(!s.configure(HighlightRuleSet::defaults().rules()));
        // Some roles are there, but not all of them.
        QVERIFY(s.hasRole(LogLineScanner::Number));
        QVERIFY(!s.hasRole(LogLineScanner::Timestamp));
    }

    void loadErrors()
    {
        CSyntaxHighlighter h;
        QString error;
        QVERIFY(!h.loadRuleFile(m_dir.filePath(QStringLiteral("missing.json")), &error));
        QVERIFY2(error.startsWith(QStringLiteral("Cannot open rule file: ")), qPrintable(error));
        QVERIFY(error.size() > QStringLiteral("Cannot open rule file: ").size());

        error.clear();
        const QString notJson = writeTemp(m_dir, QStringLiteral("bad.json"), "{ rules: [ oops");
        QVERIFY(!h.loadRuleFile(notJson, &error));
        QVERIFY2(error.startsWith(QStringLiteral("JSON parse error: ")), qPrintable(error));

        error.clear();
        const QString badPattern = writeTemp(m_dir, QStringLiteral("pattern.json"),
                                             "{\"rules\":[{\"pattern\":\"(abc\",\"color\":\"#fff\"}]}");
        QVERIFY(!h.loadRuleFile(badPattern, &error));
        QCOMPARE(error, QStringLiteral("Invalid pattern '(abc'"));
        // Nothing asked for the text: still false, and no crash.
        QVERIFY(!h.loadRuleFile(badPattern));
        QVERIFY(!h.hasLoadedRules());
    }

    void thirdRuleWithBadColourKeepsTheOldRules()
    {
        CSyntaxHighlighter h;
        QVERIFY(h.loadRuleFile(QStringLiteral(RULES_DIR "/buildin.json")));
        QVERIFY(h.scannerEnabled());
        const QColor tsBefore = h.scanner().format(LogLineScanner::Timestamp).foreground().color();
        const int countBefore = h.activeRules().rules().size();

        const QString path = writeTemp(m_dir, QStringLiteral("third.json"),
                                       "{\"rules\":[\n"
                                       "            {\"pattern\":\"a\",\"color\":\"#111\"},\n"
                                       "            {\"pattern\":\"b\",\"color\":\"#222\"},\n"
                                       "            {\"pattern\":\"c\",\"color\":\"notacolour\"},\n"
                                       "            {\"pattern\":\"d\",\"color\":\"#444\"}]}");
        QString error;
        QVERIFY(!h.loadRuleFile(path, &error));
        QCOMPARE(error, QStringLiteral("Invalid color 'notacolour'"));
        QCOMPARE(h.activeRules().rules().size(), countBefore);
        QVERIFY(h.scannerEnabled());
        QCOMPARE(h.scanner().format(LogLineScanner::Timestamp).foreground().color(), tsBefore);
    }

    void wrongTypesAndEmptyRulesAreSkipped()
    {
        CSyntaxHighlighter h;
        const QString path = writeTemp(m_dir, QStringLiteral("types.json"),
                                       "{\"rules\":[\n"
                                       "            {\"pattern\":\"\",\"color\":\"#111\"},\n"
                                       "            {\"pattern\":\"x\",\"color\":\"\"},\n"
                                       "            {\"pattern\":42,\"color\":\"#111\"},\n"
                                       "            \"not an object\",\n"
                                       "            {\"color\":\"#222\"},\n"
                                       "            {\"pattern\":\"keep\",\"color\":\"#333\"}],\n"
                                       "            \"blockComment\": {\"begin\": 5}}");
        QString error;
        QVERIFY2(h.loadRuleFile(path, &error), qPrintable(error));
        QCOMPARE(h.activeRules().rules().size(), 1);
        QCOMPARE(h.activeRules().rules().first().pattern.pattern(), QStringLiteral("keep"));
        QVERIFY(!h.scannerEnabled());
        QVERIFY(!h.activeRules().blockCommentEnabled());

        // "rules" of the wrong type: an empty, valid rule list.
        const QString noArray = writeTemp(m_dir, QStringLiteral("norules.json"), "{\"rules\":\"x\"}");
        QVERIFY(h.loadRuleFile(noArray));
        QCOMPARE(h.activeRules().rules().size(), 0);
    }

    void timestampedLineUnderTheScanner()
    {
        const QString line = kStamp + QStringLiteral("R hello 42");
        const Colors c = byScanner(m_scanner, line);
        const QColor ts = m_scanner.format(LogLineScanner::Timestamp).foreground().color();
        const QColor rx = m_scanner.format(LogLineScanner::ReceiveMark).foreground().color();
        for (int i = 0; i < 25; ++i)
            QCOMPARE(c[i], ts);
        QCOMPARE(c[25], rx);
        QVERIFY(rx != ts);
        // Scanning goes on at 26: the space is a symbol run, 42 a number.
        QCOMPARE(c[26], m_scanner.format(LogLineScanner::SymbolRun).foreground().color());
        QCOMPARE(c[line.size() - 1], m_scanner.format(LogLineScanner::Number).foreground().color());

        const QString tx = kStamp + QStringLiteral("T AT");
        QCOMPARE(byScanner(m_scanner, tx)[25],
                 m_scanner.format(LogLineScanner::TransmitMark).foreground().color());
    }

    void informationWordsUnderBothPaths_data()
    {
        QTest::addColumn<QString>("word");
        QTest::newRow("connected") << QStringLiteral("connected");
        QTest::newRow("CONNECTION") << QStringLiteral("CONNECTION");
    }
    void informationWordsUnderBothPaths()
    {
        QFETCH(QString, word);
        const QString line = QStringLiteral("link ") + word + QStringLiteral(" now");
        // Scanner.
        const QColor info = m_scanner.format(LogLineScanner::InfoWord).foreground().color();
        const Colors s = byScanner(m_scanner, line);
        for (int i = 5; i < 5 + word.size(); ++i)
            QCOMPARE(s[i], info);
        QVERIFY(s[4] != info && s[5 + word.size()] != info);
        // Regular expressions of the compiled-in set.
        const Colors r = byRules(HighlightRuleSet::defaults(), line);
        for (int i = 5; i < 5 + word.size(); ++i)
            QCOMPARE(r[i], QColor(QStringLiteral("#3771e6")));
        // And of the shipped file.
        QCOMPARE(byRules(m_standard, line), s);
    }

    void singleDigitAfterALetter()
    {
        const QColor number = m_scanner.format(LogLineScanner::Number).foreground().color();
        const QString line = QStringLiteral("a1 b22 7 x9y");
        const Colors c = byScanner(m_scanner, line);
        QVERIFY(c[1] != number); // a1
        QCOMPARE(c[4], number);  // b22
        QCOMPARE(c[5], number);
        QCOMPARE(c[7], number);   // lone 7
        QVERIFY(c[10] != number); // x9y
        QCOMPARE(byRules(m_standard, line), c);
    }

    void errorAndWarningLinesAndStampsWin()
    {
        const QString line = QStringLiteral("x [E] oops ") + kStamp + QStringLiteral(" [W] late");
        const Colors c = byScanner(m_scanner, line);
        const QColor err = m_scanner.format(LogLineScanner::ErrorLine).foreground().color();
        const QColor warn = m_scanner.format(LogLineScanner::WarningLine).foreground().color();
        const QColor ts = m_scanner.format(LogLineScanner::Timestamp).foreground().color();
        QCOMPARE(c[2], err);
        QCOMPARE(c[11], ts);
        QCOMPARE(c[line.size() - 1], warn);
        QCOMPARE(byRules(m_standard, line), c);
    }

    void scannerAndRulesAgreeOnTheCorpus()
    {
        QFile file(QStringLiteral(CORPUS_FILE));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        QVERIFY(lines.size() > 50);
        int coloured = 0;
        for (const QString& line : lines) {
            const Colors s = byScanner(m_scanner, line);
            const Colors r = byRules(m_standard, line);
            QVERIFY2(s == r, qPrintable(describe(line, s, r)));
            coloured += std::count_if(s.cbegin(), s.cend(), [](const QColor& c) { return c.isValid(); });
        }
        QVERIFY(coloured > 1000);
    }

    void shortAndOddLinesStayInBounds_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("empty") << QString();
        QTest::newRow("bracket at end") << QStringLiteral("abc [");
        QTest::newRow("dash at end") << QStringLiteral("abc -");
        QTest::newRow("space dash at end") << QStringLiteral(" -");
        QTest::newRow("tag without close") << QStringLiteral("[ERR");
        QTest::newRow("stamp cut short") << kStamp.left(20);
        QTest::newRow("stamp alone") << kStamp;
        QTest::newRow("stamp and mark") << kStamp + QStringLiteral("R");
        QTest::newRow("stamp without close") << QStringLiteral("[2024-03-18 09:12:44.031    ");
        QTest::newRow("punctuation") << QStringLiteral("._,._,");
        QTest::newRow("only whitespace") << QStringLiteral(" \t \t ");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800));
        QTest::newRow("send at end") << QStringLiteral("xTx");
    }
    void shortAndOddLinesStayInBounds()
    {
        QFETCH(QString, line);
        // paint() fails on any span past the end; the scanner must also finish.
        const Colors s = byScanner(m_scanner, line);
        const Colors r = byRules(m_standard, line);
        QCOMPARE(s.size(), line.size());
        QCOMPARE(r.size(), line.size());
    }

    void symbolClassParsing()
    {
        std::array<bool, 256> t{};
        QVERIFY(LogLineScanner::parseSymbolClass(QStringLiteral("[^A-Za-z0-9\\.,_]+"), t));
        QVERIFY(t['A'] && t['z'] && t['5'] && t['.'] && t[','] && t['_']);
        QVERIFY(!t[' '] && !t['['] && !t['-'] && !t['\\']);
        QVERIFY(!LogLineScanner::parseSymbolClass(QStringLiteral("[^z-a]+"), t));
        QVERIFY(!LogLineScanner::parseSymbolClass(QStringLiteral("[^a-\u0400]+"), t));
        QVERIFY(!LogLineScanner::parseSymbolClass(QStringLiteral("[^abc\\]+"), t));
        QVERIFY(!LogLineScanner::parseSymbolClass(QStringLiteral("[abc]+"), t));
        QVERIFY(LogLineScanner::parseSymbolClass(QStringLiteral("[^-a]+"), t));
        QVERIFY(t['-'] && t['a'] && !t['b']);
    }

    void timestampRecogniser()
    {
        QCOMPARE(LogLineScanner::timestampLength(kStamp, 0), 25);
        QCOMPARE(LogLineScanner::timestampLength(QStringLiteral("[2024-03-18 09:12:44.1]"), 0), 23);
        QCOMPARE(LogLineScanner::timestampLength(QStringLiteral("[2024-03-18 09:12:44.123  ]x"), 0), 27);
        QCOMPARE(LogLineScanner::timestampLength(QStringLiteral("[2024-03-18 39:12:44.123]"), 0), 0);
        QCOMPARE(LogLineScanner::timestampLength(QStringLiteral("[2024-03-18 09:62:44.123]"), 0), 0);
        QCOMPARE(LogLineScanner::timestampLength(QStringLiteral("[2024-03-18 09:12:44.]xxxx"), 0), 0);
        QCOMPARE(LogLineScanner::timestampLength(QStringLiteral("[2024-03-18 09:12:44.12345678"), 0), 0);
    }

    void blockCommentsSpanLines()
    {
        const QString path = writeTemp(
            m_dir, QStringLiteral("comment.json"),
            "{\n"
            "            \"rules\":[{\"pattern\":\"x\",\"color\":\"#010101\"}],\n"
            "            \"blockComment\":{\"begin\":\"/\\\\*\",\"end\":\"\\\\*/\",\"color\":\"#020202\"}}");
        QPlainTextEdit edit;
        CSyntaxHighlighter h;
        QVERIFY(h.loadRuleFile(path));
        QVERIFY(h.activeRules().blockCommentEnabled());
        h.setDocument(edit.document());
        edit.setPlainText(QStringLiteral("a /* b\nc\n\nd */ e\nf"));
        const QColor span(QStringLiteral("#020202"));
        auto colourAt = [&](int blockNo, int col) {
            const QTextBlock block = edit.document()->findBlockByNumber(blockNo);
            for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
                if (col >= r.start && col < r.start + r.length)
                    return r.format.foreground().color();
            }
            return QColor();
        };
        QVERIFY(colourAt(0, 0) != span);
        QCOMPARE(colourAt(0, 2), span);
        QCOMPARE(colourAt(1, 0), span);
        QCOMPARE(edit.document()->findBlockByNumber(2).userState(), 1);
        QCOMPARE(colourAt(3, 3), span);
        QVERIFY(colourAt(3, 5) != span);
        QVERIFY(colourAt(4, 0) != span);
    }

    void emptyMatchingCommentExpressionsDoNotHang()
    {
        const QString path = writeTemp(
            m_dir, QStringLiteral("empty.json"),
            "{\n"
            "            \"rules\":[{\"pattern\":\"x*\",\"color\":\"#010101\"}],\n"
            "            \"blockComment\":{\"begin\":\"a*\",\"end\":\"b*\",\"color\":\"#020202\"}}");
        QPlainTextEdit edit;
        CSyntaxHighlighter h;
        QVERIFY(h.loadRuleFile(path));
        h.setDocument(edit.document());
        edit.setPlainText(QStringLiteral("xyz abc\nqqq\n"));
        QCOMPARE(edit.document()->blockCount(), 3);
    }

    void catastrophicPatternFinishes()
    {
        const QString path = writeTemp(m_dir, QStringLiteral("slow.json"),
                                       "{\"rules\":[{\"pattern\":\"(a+)+$\",\"color\":\"#010101\"}]}");
        CSyntaxHighlighter h;
        QVERIFY(h.loadRuleFile(path));
        const QString line = QString(40, QLatin1Char('a')) + QLatin1Char('!');
        // The engine's match limit ends the search; the line simply stays plain.
        const Colors c = paint(line, [&](const FormatSink& sink) { h.highlightLine(line, sink); });
        QCOMPARE(c.size(), line.size());
    }

    void longLinesAreColouredOnlyAtTheHead()
    {
        CSyntaxHighlighter h;
        QVERIFY(h.loadRuleFile(QStringLiteral(RULES_DIR "/buildin.json")));
        const QString line = QString(3 * CSyntaxHighlighter::kMaxHighlightChars, QLatin1Char('#'));
        int furthest = 0;
        h.highlightLine(line, [&](int start, int len, const QTextCharFormat&) {
            furthest = qMax(furthest, start + len);
        });
        QCOMPARE(furthest, CSyntaxHighlighter::kMaxHighlightChars);
    }

    void onDemandColoursOnlyWhatIsAskedFor()
    {
        const QString text = numberedLog(500);
        LogDocument eagerDoc;
        CSyntaxHighlighter eager;
        QVERIFY(eager.loadRuleFile(QStringLiteral(RULES_DIR "/buildin.json")));
        eager.setDocument(&eagerDoc);
        QTextCursor(&eagerDoc).insertText(text);
        QCOMPARE(colouredCount(eagerDoc), eagerDoc.blockCount());

        LogDocument doc;
        QTextCursor(&doc).insertText(text);
        CSyntaxHighlighter h;
        QVERIFY(h.loadRuleFile(QStringLiteral(RULES_DIR "/buildin.json")));
        h.setOnDemand(true);
        h.attachDocument(&doc);
        QCOMPARE(h.document(), &doc);
        // Nothing now and nothing on the next turns of the event loop.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(colouredCount(doc), 0);
        QVERIFY(doc.findBlockByNumber(0).layout()->formats().isEmpty());

        h.colourBlocks(doc.findBlockByNumber(100), doc.findBlockByNumber(120));
        QCOMPARE(colouredCount(doc), 21);
        QVERIFY(!CSyntaxHighlighter::isColoured(doc.findBlockByNumber(99)));
        QVERIFY(!CSyntaxHighlighter::isColoured(doc.findBlockByNumber(121)));
        for (int i = 100; i <= 120; ++i) {
            QCOMPARE(documentColours(doc.findBlockByNumber(i)),
                     documentColours(eagerDoc.findBlockByNumber(i)));
            // The very ranges QSyntaxHighlighter makes, not just the colours.
            QVERIFY(doc.findBlockByNumber(i).layout()->formats() ==
                    eagerDoc.findBlockByNumber(i).layout()->formats());
        }
        // Asking again changes nothing.
        h.colourBlocks(doc.findBlockByNumber(100), doc.findBlockByNumber(120));
        QCOMPARE(colouredCount(doc), 21);
    }

    void onDemandChangedLinesBecomeDue()
    {
        LogDocument doc;
        CSyntaxHighlighter h;
        QVERIFY(h.loadRuleFile(QStringLiteral(RULES_DIR "/buildin.json")));
        h.setOnDemand(true);
        h.attachDocument(&doc);
        QTextCursor cursor(&doc);
        cursor.insertText(numberedLog(100) + QStringLiteral("half a li"));
        h.colourBlocks(doc.firstBlock(), doc.lastBlock());
        QCOMPARE(colouredCount(doc), 101);

        // Appending: the half line and the new lines are due, the rest stays.
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("ne 42 OK\n") + numberedLog(3));
        QCOMPARE(doc.blockCount(), 105);
        QVERIFY(CSyntaxHighlighter::isColoured(doc.findBlockByNumber(99)));
        for (int i = 100; i < 105; ++i)
            QVERIFY2(!CSyntaxHighlighter::isColoured(doc.findBlockByNumber(i)),
                     qPrintable(QString::number(i)));
        h.colourBlocks(doc.findBlockByNumber(100), doc.lastBlock());
        const QTextBlock grown = doc.findBlockByNumber(100);
        QCOMPARE(grown.text(), QStringLiteral("half a line 42 OK"));
        Colors want(grown.text().size());
        h.highlightLine(grown.text(), [&](int start, int len, const QTextCharFormat& f) {
            for (int i = start; i < start + len; ++i)
                want[i] = f.foreground().color();
        });
        QCOMPARE(documentColours(grown), want);

        // Cutting the head, then adding lines where the cut ones were stored:
        // the new lines are due, whatever storage they reuse.
        cursor.setPosition(0);
        cursor.setPosition(doc.findBlockByNumber(60).position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        QCOMPARE(doc.blockCount(), 45);
        const int before = colouredCount(doc);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(numberedLog(60));
        QCOMPARE(doc.blockCount(), 105);
        QVERIFY(colouredCount(doc) <= before);
        for (int i = 45; i < 105; ++i)
            QVERIFY2(!CSyntaxHighlighter::isColoured(doc.findBlockByNumber(i)),
                     qPrintable(QString::number(i)));
    }

    void onDemandBlockCommentsReadBack()
    {
        const QString path = writeTemp(
            m_dir, QStringLiteral("comment2.json"),
            "{\n"
            "            \"rules\":[{\"pattern\":\"x\",\"color\":\"#010101\"}],\n"
            "            \"blockComment\":{\"begin\":\"/\\\\*\",\"end\":\"\\\\*/\",\"color\":\"#020202\"}}");
        QString text = QStringLiteral("a /* open\n");
        for (int i = 0; i < 300; ++i)
            text += (i % 5 == 0) ? QStringLiteral("\n") : QStringLiteral("x inside %1\n").arg(i);
        text += QStringLiteral("done */ x\nx out\n");

        LogDocument eagerDoc;
        CSyntaxHighlighter eager;
        QVERIFY(eager.loadRuleFile(path));
        eager.setDocument(&eagerDoc);
        QTextCursor(&eagerDoc).insertText(text);

        LogDocument doc;
        QTextCursor(&doc).insertText(text);
        CSyntaxHighlighter h;
        QVERIFY(h.loadRuleFile(path));
        h.setOnDemand(true);
        h.attachDocument(&doc);
        const QColor span(QStringLiteral("#020202"));
        // Far into the span first: the lines above are read, not coloured.
        h.colourBlocks(doc.findBlockByNumber(200), doc.findBlockByNumber(210));
        QVERIFY(!CSyntaxHighlighter::isColoured(doc.findBlockByNumber(100)));
        QVERIFY(doc.findBlockByNumber(100).layout()->formats().isEmpty());
        QCOMPARE(colouredCount(doc), 11);
        for (int i = 200; i <= 210; ++i)
            QCOMPARE(documentColours(doc.findBlockByNumber(i)),
                     documentColours(eagerDoc.findBlockByNumber(i)));
        QCOMPARE(documentColours(doc.findBlockByNumber(202)).first(), span);
        // Then the rest, in two goes, up to past the end of the span.
        h.colourBlocks(doc.findBlockByNumber(290), doc.lastBlock());
        h.colourBlocks(doc.firstBlock(), doc.lastBlock());
        QCOMPARE(colouredCount(doc), doc.blockCount());
        for (QTextBlock b = doc.firstBlock(), r = eagerDoc.firstBlock(); b.isValid();
             b = b.next(), r = r.next())
            QVERIFY2(documentColours(b) == documentColours(r), qPrintable(b.text()));
        const QTextBlock after = doc.lastBlock().previous();
        QCOMPARE(after.text(), QStringLiteral("x out"));
        QVERIFY(documentColours(after).first() != span);
    }

    void ruleReloadRecolours()
    {
        // Attached the plain way: everything at once.
        LogDocument doc;
        CSyntaxHighlighter h;
        QVERIFY(h.loadRuleFile(QStringLiteral(RULES_DIR "/buildin.json")));
        h.setDocument(&doc);
        QTextCursor(&doc).insertText(numberedLog(50));
        const QColor dark = documentColours(doc.firstBlock()).first();
        QVERIFY(h.loadRuleFile(QStringLiteral(RULES_DIR "/buildin-light.json")));
        const QColor light = h.scanner().format(LogLineScanner::Timestamp).foreground().color();
        QVERIFY(light != dark);
        QCOMPARE(documentColours(doc.firstBlock()).first(), light);
        QCOMPARE(documentColours(doc.findBlockByNumber(49)).first(), light);

        // On demand: every line due, and a request to colour what is seen.
        h.setOnDemand(true);
        QCOMPARE(colouredCount(doc), 0);
        QSignalSpy spy(&h, &CSyntaxHighlighter::recolourRequested);
        QVERIFY(h.loadRuleFile(QStringLiteral(RULES_DIR "/buildin.json")));
        QCOMPARE(spy.count(), 1);
        h.colourBlocks(doc.firstBlock(), doc.firstBlock());
        QCOMPARE(documentColours(doc.firstBlock()).first(), dark);
        // A failed load changes nothing and asks for nothing.
        QVERIFY(!h.loadRuleFile(m_dir.filePath(QStringLiteral("missing.json"))));
        QCOMPARE(spy.count(), 1);
        QVERIFY(CSyntaxHighlighter::isColoured(doc.firstBlock()));

        // Back to colouring every change: the whole document at once.
        h.setOnDemand(false);
        QTRY_COMPARE(colouredCount(doc), doc.blockCount());
        QCOMPARE(documentColours(doc.findBlockByNumber(49)).first(), dark);
    }

    void documentIsColouredByTheScanner()
    {
        QPlainTextEdit edit;
        CSyntaxHighlighter h;
        QVERIFY(h.loadRuleFile(QStringLiteral(RULES_DIR "/buildin.json")));
        h.setDocument(edit.document());
        edit.setPlainText(kStamp + QStringLiteral("R OK\n"));
        const QTextBlock block = edit.document()->firstBlock();
        bool sawTimestamp = false;
        for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
            if (r.start == 0 && r.length >= 25)
                sawTimestamp = r.format.foreground().color() ==
                               h.scanner().format(LogLineScanner::Timestamp).foreground().color();
        }
        QVERIFY(sawTimestamp);
    }
};

QTEST_MAIN(TestSyntaxHighlighter)
#include "tst_syntaxhighlighter.moc"
