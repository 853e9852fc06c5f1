#include "LinePrefixer.h"

#include <QtTest>

class TestLinePrefixer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void prefixesEveryLine()
    {
        LinePrefixer p;
        QCOMPARE(p.apply(QStringLiteral("a\nb\n"), QStringLiteral("P ")), QStringLiteral("P a\nP b\n"));
        QVERIFY(p.atLineStart());
    }

    void lineSplitOverPiecesGetsOnePrefix()
    {
        LinePrefixer p;
        QCOMPARE(p.apply(QStringLiteral("hel"), QStringLiteral("1 ")), QStringLiteral("1 hel"));
        QVERIFY(!p.atLineStart());
        QCOMPARE(p.apply(QStringLiteral("lo"), QStringLiteral("2 ")), QStringLiteral("lo"));
        QCOMPARE(p.apply(QStringLiteral("\nnext"), QStringLiteral("3 ")), QStringLiteral("\n3 next"));
        QVERIFY(!p.atLineStart());
    }

    void crLfBecomesOneLineEnd()
    {
        LinePrefixer p;
        QCOMPARE(p.apply(QStringLiteral("one\r\ntwo\r\n"), QStringLiteral("P ")),
                 QStringLiteral("P one\nP two\n"));
        QVERIFY(p.atLineStart());
    }

    void crLfSplitBetweenPieces()
    {
        LinePrefixer p;
        QCOMPARE(p.apply(QStringLiteral("one\r"), QStringLiteral("P ")), QStringLiteral("P one"));
        QVERIFY(p.hasPendingCr());
        QCOMPARE(p.apply(QStringLiteral("\ntwo\n"), QStringLiteral("P ")), QStringLiteral("\nP two\n"));
        QVERIFY(!p.hasPendingCr());
        QVERIFY(p.atLineStart());
    }

    void bareCrStartsAStampedLine_data()
    {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("expected");
        QTest::newRow("progress") << QStringList{QStringLiteral("progress 10%\rprogress 50%\n")}
                                  << QStringLiteral("P progress 10%\nP progress 50%\n");
        // Not followed by "\n": the held-back "\r" ends the line after all.
        QTest::newRow("split") << QStringList{QStringLiteral("a\r"), QStringLiteral("b\n")}
                               << QStringLiteral("P a\nP b\n");
        QTest::newRow("cr then cr") << QStringList{QStringLiteral("a\r"), QStringLiteral("\rb")}
                                    << QStringLiteral("P a\nP \nP b");
        QTest::newRow("paragraph separator")
            << QStringList{QStringLiteral("x\u2029y\u2028z")} << QStringLiteral("P x\nP y\nP z");
        QTest::newRow("frame marker")
            << QStringList{QStringLiteral("x\ufdd0y\n")} << QStringLiteral("P x\ufffdy\n");
    }

    void bareCrStartsAStampedLine()
    {
        QFETCH(QStringList, pieces);
        QFETCH(QString, expected);
        LinePrefixer p;
        QString out;
        for (const QString& piece : pieces)
            out += p.apply(piece, QStringLiteral("P "));
        QCOMPARE(out, expected);
    }

    void onlyCrGivesNothingYet()
    {
        LinePrefixer p;
        QVERIFY(p.apply(QStringLiteral("\r"), QStringLiteral("P ")).isEmpty());
        QCOMPARE(p.apply(QStringLiteral("\n"), QStringLiteral("P ")), QStringLiteral("P \n"));
    }

    void emptyPrefixStillTracksLineStart()
    {
        LinePrefixer p;
        QCOMPARE(p.apply(QStringLiteral("abc"), QString()), QStringLiteral("abc"));
        QVERIFY(!p.atLineStart());
        QCOMPARE(p.apply(QStringLiteral("def"), QStringLiteral("P ")), QStringLiteral("def"));
        QCOMPARE(p.apply(QStringLiteral("\n"), QString()), QStringLiteral("\n"));
        QCOMPARE(p.apply(QStringLiteral("g"), QStringLiteral("P ")), QStringLiteral("P g"));
    }

    void emptyTextChangesNothing()
    {
        LinePrefixer p;
        p.apply(QStringLiteral("x"), QStringLiteral("P "));
        QVERIFY(p.apply(QString(), QStringLiteral("P ")).isEmpty());
        QVERIFY(!p.atLineStart());
    }

    void resetStartsALine()
    {
        LinePrefixer p;
        p.apply(QStringLiteral("half\r"), QStringLiteral("P "));
        p.reset();
        QVERIFY(p.atLineStart());
        QVERIFY(!p.hasPendingCr());
        QCOMPARE(p.apply(QStringLiteral("\nz"), QStringLiteral("P ")), QStringLiteral("P \nP z"));
    }

    void manyLinesKeepTheirText()
    {
        LinePrefixer p;
        QString in;
        QString expected;
        for (int i = 0; i < 1000; ++i) {
            in += QString::number(i) + QLatin1Char('\n');
            expected += QStringLiteral("[x]") + QString::number(i) + QLatin1Char('\n');
        }
        QCOMPARE(p.apply(in, QStringLiteral("[x]")), expected);
    }
};

QTEST_APPLESS_MAIN(TestLinePrefixer)
#include "tst_lineprefixer.moc"
