// Lines per second coloured by the one-pass scanner and by the rules' regular
// expressions, on the same realistic log. Usage: bench_highlight [lines]
//   bench_highlight 200000
#include "CSyntaxHighlighter.h"
#include "HighlightRuleSet.h"
#include "LogLineScanner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <cstdio>

namespace {

QStringList corpus(int count)
{
    QFile f(QStringLiteral(CORPUS_FILE));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList base = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList out;
    out.reserve(count);
    while (out.size() < count)
        out.append(base.at(out.size() % base.size()));
    return out;
}

double linesPerSecond(const QStringList& lines,
                      const std::function<void(QStringView, const FormatSink&)>& run, qint64* spans)
{
    qint64 count = 0;
    const FormatSink sink = [&count](int, int len, const QTextCharFormat&) { count += len; };
    QElapsedTimer t;
    t.start();
    for (const QString& line : lines)
        run(line, sink);
    const double s = t.nsecsElapsed() / 1e9;
    *spans = count;
    return lines.size() / s;
}

// The whole highlighter path over a document: block text, colouring, formats.
double documentLinesPerSecond(const QStringList& lines, bool scanner)
{
    QTextDocument doc;
    CSyntaxHighlighter h;
    if (!h.loadRuleFile(QStringLiteral(RULES_FILE)))
        return 0;
    if (!scanner) {
        // Same rules, but one pattern text changed so that the role analysis
        // fails and the regular expressions run.
        QFile f(QStringLiteral(RULES_FILE));
        f.open(QIODevice::ReadOnly);
        QByteArray json = f.readAll();
        json.replace("\"(Send|send|TX|Tx)\"", "\"(Send|send|Tx|TX)\"");
        HighlightRuleSet set;
        HighlightRuleSet::parse(json, set);
        QFile tmp(QStringLiteral("/tmp/bench_highlight_rules.json"));
        tmp.open(QIODevice::WriteOnly);
        tmp.write(json);
        tmp.close();
        h.loadRuleFile(tmp.fileName());
    }
    if (h.scannerEnabled() != scanner)
        std::fprintf(stderr, "rule set did not select the intended path\n");
    QTextCursor(&doc).insertText(lines.join(QLatin1Char('\n')));
    // On demand, as in the log view: attaching colours nothing, then every
    // line is coloured, as scrolling through all of them would.
    h.setOnDemand(true);
    h.attachDocument(&doc);
    QCoreApplication::processEvents();
    if (!doc.firstBlock().layout()->formats().isEmpty())
        std::fprintf(stderr, "attaching coloured the document\n");
    QElapsedTimer t;
    t.start();
    h.colourBlocks(doc.firstBlock(), doc.lastBlock());
    if (doc.firstBlock().layout()->formats().isEmpty())
        std::fprintf(stderr, "document was not highlighted\n");
    return lines.size() / (t.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 200000;
    const QStringList lines = corpus(count);
    if (lines.isEmpty()) {
        std::fprintf(stderr, "no corpus\n");
        return 1;
    }
    HighlightRuleSet rules;
    QString error;
    if (!HighlightRuleSet::loadFile(QStringLiteral(RULES_FILE), rules, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    LogLineScanner scanner;
    if (!scanner.configure(rules.rules())) {
        std::fprintf(stderr, "rule file does not enable the scanner\n");
        return 1;
    }
    qint64 bytes = 0;
    for (const QString& l : lines)
        bytes += l.size() + 1;

    qint64 spansA = 0, spansB = 0;
    // Warm-up, then measure.
    linesPerSecond(
        lines.mid(0, 2000), [&](QStringView l, const FormatSink& s) { scanner.scan(l, s); }, &spansA);
    const double scan = linesPerSecond(
        lines, [&](QStringView l, const FormatSink& s) { scanner.scan(l, s); }, &spansA);
    const double regex = linesPerSecond(
        lines, [&](QStringView l, const FormatSink& s) { rules.applyRules(l, s); }, &spansB);
    const double docScan = documentLinesPerSecond(lines.mid(0, qMin(count, 50000)), true);
    const double docRegex = documentLinesPerSecond(lines.mid(0, qMin(count, 50000)), false);

    std::printf("lines: %d (%.1f MB of text, avg %.0f chars/line)\n", count, bytes / 1e6,
                double(bytes) / count);
    std::printf("colouring only:   scanner %10.0f lines/s   regex %10.0f lines/s   ratio %.1fx\n", scan,
                regex, scan / regex);
    std::printf("document + highlighter: scanner %8.0f lines/s   regex %8.0f lines/s   ratio %.1fx\n",
                docScan, docRegex, docScan / docRegex);
    return 0;
}
