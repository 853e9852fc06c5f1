// The colour-code parser: SGR forms, other sequences removed, state across
// chunk boundaries, malformed and unterminated input, bounded memory.
#include "AnsiSgrParser.h"
#include "DemoDevice.h"

#include <QTest>

namespace {

const QString E = QStringLiteral("\x1b");

// "start+length:fRRGGBB bRRGGBB B" per run, space separated by '|'.
QString describe(const QList<AnsiSpan>& spans)
{
    QStringList parts;
    for (const AnsiSpan& s : spans) {
        QString d = QStringLiteral("%1+%2:").arg(s.start).arg(s.length);
        if (s.style.flags & AnsiStyle::HasForeground)
            d += QStringLiteral("f%1").arg(s.style.foreground & 0xffffff, 6, 16, QLatin1Char('0'));
        if (s.style.flags & AnsiStyle::HasBackground)
            d += QStringLiteral("b%1").arg(s.style.background & 0xffffff, 6, 16, QLatin1Char('0'));
        if (s.style.flags & AnsiStyle::Bold)
            d += QLatin1Char('B');
        parts << d;
    }
    return parts.join(QLatin1Char('|'));
}

// Runs are merged across feeds the way one feed would merge them.
void mergeInto(QList<AnsiSpan>* all, const QList<AnsiSpan>& more, qsizetype offset)
{
    for (AnsiSpan s : more) {
        s.start += offset;
        if (!all->isEmpty() && all->last().start + all->last().length == s.start &&
            all->last().style == s.style)
            all->last().length += s.length;
        else
            all->append(s);
    }
}

} // namespace

class TestAnsiSgrParser : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("spans");
        QTest::newRow("basic fg, reset") << E + "[31mred" + E + "[0m plain"
                                         << "red plain"
                                         << "0+3:fcd0000";
        QTest::newRow("empty reset") << E + "[32mok" + E + "[m."
                                     << "ok."
                                     << "0+2:f00cd00";
        QTest::newRow("bright fg, bg") << E + "[91;44mX"
                                       << "X"
                                       << "0+1:fff0000b0000ee";
        QTest::newRow("bold then 22") << E + "[1mB" + E + "[22mn"
                                      << "Bn"
                                      << "0+1:B";
        QTest::newRow("39 and 49") << E + "[33;41ma" + E + "[39mb" + E + "[49mc"
                                   << "abc"
                                   << "0+1:fcdcd00bcd0000|1+1:bcd0000";
        QTest::newRow("256 cube") << E + "[38;5;196mr"
                                  << "r"
                                  << "0+1:fff0000";
        QTest::newRow("256 grey") << E + "[48;5;232mg"
                                  << "g"
                                  << "0+1:b080808";
        QTest::newRow("256 colon") << E + "[38:5:21mb"
                                   << "b"
                                   << "0+1:f0000ff";
        QTest::newRow("truecolour") << E + "[38;2;1;2;3mt"
                                    << "t"
                                    << "0+1:f010203";
        QTest::newRow("truecolour colon") << E + "[48:2:10:20:30mt"
                                          << "t"
                                          << "0+1:b0a141e";
        QTest::newRow("truecolour colon id") << E + "[38:2::10:20:30mt"
                                             << "t"
                                             << "0+1:f0a141e";
        QTest::newRow("codes after truecolour") << E + "[38;2;1;2;3;1mt"
                                                << "t"
                                                << "0+1:f010203B";
        QTest::newRow("out of range 256") << E + "[38;5;300mx"
                                          << "x"
                                          << "";
        QTest::newRow("short truecolour") << E + "[38;2;1;2mx"
                                          << "x"
                                          << "";
        QTest::newRow("cursor moves removed") << "a" + E + "[2J" + E + "[Hb" + E + "[?25lc"
                                              << "abc"
                                              << "";
        QTest::newRow("private m ignored") << E + "[>4;2mx"
                                           << "x"
                                           << "";
        QTest::newRow("title removed") << E + "]0;title\x07" + "x" + E + "]2;t" + E + "\\y"
                                       << "xy"
                                       << "";
        QTest::newRow("charset escape removed") << E + "(B" + E + "7x"
                                                << "x"
                                                << "";
        QTest::newRow("broken CSI shown") << E + "[31\nx"
                                          << "[31\nx"
                                          << "";
        QTest::newRow("lone ESC before control") << E + "\nx"
                                                 << "\nx"
                                                 << "";
        QTest::newRow("style spans lines") << E + "[31ma\nb"
                                           << "a\nb"
                                           << "0+3:fcd0000";
        QTest::newRow("huge parameter") << E + "[99999999999999999999;31mx"
                                        << "x"
                                        << "0+1:fcd0000";
    }
    void parse()
    {
        QFETCH(QString, input);
        QFETCH(QString, text);
        QFETCH(QString, spans);
        AnsiSgrParser parser;
        QList<AnsiSpan> out;
        QCOMPARE(parser.feed(input, &out), text);
        QCOMPARE(describe(out), spans);
        QVERIFY(!parser.hasHeld());
    }

    // Cut anywhere, the stream gives the same text and runs as in one piece.
    void everyCutPoint()
    {
        const QString input = "a" + E + "[1;38;2;200;100;50mbc" + E + "]0;t\x07" + "d\n" + E + "[0;44me" + E +
                              "[38:5:82mf" + E + "[mg" + E + "[2Kh";
        AnsiSgrParser whole;
        QList<AnsiSpan> wholeSpans;
        const QString wholeText = whole.feed(input, &wholeSpans);
        for (qsizetype cut1 = 0; cut1 <= input.size(); ++cut1) {
            for (qsizetype cut2 = cut1; cut2 <= input.size(); cut2 += 3) {
                AnsiSgrParser p;
                QString text;
                QList<AnsiSpan> spans;
                for (const QStringView piece :
                     {QStringView(input).left(cut1), QStringView(input).mid(cut1, cut2 - cut1),
                      QStringView(input).mid(cut2)}) {
                    QList<AnsiSpan> more;
                    const QString part = p.feed(piece, &more);
                    mergeInto(&spans, more, text.size());
                    text += part;
                }
                QCOMPARE(text, wholeText);
                QCOMPARE(describe(spans), describe(wholeSpans));
            }
        }
    }

    void unterminatedIsHeldThenCompleted()
    {
        AnsiSgrParser p;
        QList<AnsiSpan> spans;
        QCOMPARE(p.feed(QString("ok" + E + "[3"), &spans), QStringLiteral("ok"));
        QVERIFY(p.hasHeld());
        QCOMPARE(p.feed(u"1mred", &spans), QStringLiteral("red"));
        QCOMPARE(describe(spans), QStringLiteral("0+3:fcd0000"));
    }

    // A sequence that never ends is let through once it is too long for one;
    // what is held never grows past the bound.
    void neverEndingSequenceIsBounded()
    {
        AnsiSgrParser p;
        QString shown = p.feed(QString(E + "]0;"), nullptr);
        const QString chunk(1000, QLatin1Char('x'));
        for (int i = 0; i < 20; ++i)
            shown += p.feed(chunk, nullptr);
        QVERIFY(!p.hasHeld());
        QCOMPARE(shown.count(QLatin1Char('x')), 20000);
    }

    void manyParametersAreCapped()
    {
        AnsiSgrParser p;
        QString params;
        for (int i = 0; i < 5000; ++i)
            params += QStringLiteral("1;");
        QList<AnsiSpan> spans;
        QCOMPARE(p.feed(QString(E + "[" + params + "31mx"), &spans), QStringLiteral("x"));
        QCOMPARE(describe(spans), QStringLiteral("0+1:B")); // the 31 was past the cap
    }

    // The demo device's test card uses every form; nothing of it is left as
    // code, and each form gives its colour.
    void demoTestCardParsesClean()
    {
        AnsiSgrParser p;
        QList<AnsiSpan> spans;
        const QString text = p.feed(QString::fromLatin1(DemoDevice::ansiTestCard()), &spans);
        QVERIFY(!text.contains(E));
        QVERIFY(!text.contains(QStringLiteral("[3")));
        QVERIFY(!p.hasHeld());
        QVERIFY(p.style().isPlain());
        const QString d = describe(spans);
        for (const char* want : {"fcd0000", "fff0000", "b0000ee", "b080808",
                                 "b"
                                 "ff0080",
                                 "B", "fff8c00"})
            QVERIFY2(d.contains(QLatin1String(want)), want);
    }

    void resetForgetsStyleAndHeld()
    {
        AnsiSgrParser p;
        QList<AnsiSpan> spans;
        p.feed(QString(E + "[31mx" + E + "["), &spans);
        p.reset();
        spans.clear();
        QCOMPARE(p.feed(u"y", &spans), QStringLiteral("y"));
        QVERIFY(spans.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAnsiSgrParser)
#include "tst_ansisgrparser.moc"
