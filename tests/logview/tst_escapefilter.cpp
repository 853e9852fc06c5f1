#include "EscapeFilter.h"

#include <QtTest>

// Terminal control sequences leave the log text, also when a chunk boundary
// cuts one in two; what is not such a sequence stays.
class TestEscapeFilter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stream_data()
    {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("expected");
        QTest::newRow("clear and home")
            << QStringList{QStringLiteral("\x1b[2J\x1b[Hprompt")} << QStringLiteral("prompt");
        QTest::newRow("private mode, reset")
            << QStringList{QStringLiteral("a\x1b[?25lb\x1b[mc")} << QStringLiteral("abc");
        QTest::newRow("colour cut in two")
            << QStringList{QStringLiteral("x\x1b[1;3"), QStringLiteral("1my")} << QStringLiteral("xy");
        QTest::newRow("ESC alone at the end")
            << QStringList{QStringLiteral("x\x1b"), QStringLiteral("[0my")} << QStringLiteral("xy");
        QTest::newRow("title with BEL")
            << QStringList{QStringLiteral("\x1b]0;my title\x07ok")} << QStringLiteral("ok");
        QTest::newRow("title with ST, cut")
            << QStringList{QStringLiteral("a\x1b]2;t"), QStringLiteral("itle\x1b"), QStringLiteral("\\b")}
            << QStringLiteral("ab");
        // Not CSI or OSC, or broken off: shown as it came.
        QTest::newRow("other escape")
            << QStringList{QStringLiteral("a\x1b(Bb")} << QStringLiteral("a\x1b(Bb");
        QTest::newRow("bad final") << QStringList{QStringLiteral("a\x1b[1\nb")}
                                   << QStringLiteral("a\x1b[1\nb");
        QTest::newRow("title across a line end")
            << QStringList{QStringLiteral("a\x1b]0;x\ny")} << QStringLiteral("a\x1b]0;x\ny");
        QTest::newRow("no text lost")
            << QStringList{QStringLiteral("plain "), QStringLiteral("text")} << QStringLiteral("plain text");
    }

    void stream()
    {
        QFETCH(QStringList, pieces);
        QFETCH(QString, expected);
        EscapeFilter filter;
        QString out;
        for (const QString& piece : pieces)
            out += filter.filter(piece);
        QCOMPARE(out, expected);
        QVERIFY(!filter.hasHeld());
    }

    void unfinishedSequenceIsHeldOnlySoLong()
    {
        EscapeFilter filter;
        QCOMPARE(filter.filter(QStringLiteral("a\x1b]0;")), QStringLiteral("a"));
        QVERIFY(filter.hasHeld());
        // Far longer than any title: it was none, and comes through whole.
        const QString rest(EscapeFilter::kMaxHeld, QLatin1Char('z'));
        QCOMPARE(filter.filter(rest), QStringLiteral("\x1b]0;") + rest);
        QVERIFY(!filter.hasHeld());
        // The one-shot form keeps an unfinished tail.
        QCOMPARE(EscapeFilter::strip(QStringLiteral("\x1b[0mok\x1b[3")), QStringLiteral("ok\x1b[3"));
    }
};

QTEST_APPLESS_MAIN(TestEscapeFilter)
#include "tst_escapefilter.moc"
