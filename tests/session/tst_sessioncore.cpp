// The session's data path without a window: chunking, stamps, send conversion.
#include "LogStamper.h"
#include "RxChunker.h"
#include "SendConverter.h"

#include <QSignalSpy>
#include <QtTest>

class TestSessionCore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void stoppedChunkerPassesBytesOnAtOnce()
    {
        RxChunker chunker;
        QSignalSpy spy(&chunker, &RxChunker::chunkReady);
        chunker.append("ab");
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toByteArray(), QByteArray("ab"));
    }

    void tickJoinsBurstAndPauseStartsHexLine()
    {
        RxChunker chunker;
        chunker.start();
        QSignalSpy spy(&chunker, &RxChunker::chunkReady);
        chunker.append("12");
        chunker.append("34");
        QVERIFY(spy.wait(1000));
        QCOMPARE(spy.at(0).at(0).toByteArray(), QByteArray("1234"));
        QCOMPARE(spy.at(0).at(1).toBool(), false);
        // Longer than the gap: the next bytes start a fresh hex line.
        QTest::qWait(RxChunker::kGapMs * 4);
        chunker.append("56");
        QVERIFY(spy.wait(1000));
        QCOMPARE(spy.at(1).at(0).toByteArray(), QByteArray("56"));
        QCOMPARE(spy.at(1).at(1).toBool(), true);
        // Discarded bytes never leave.
        chunker.append("78");
        chunker.discard();
        QVERIFY(!spy.wait(RxChunker::kTickMs * 3));
        QCOMPARE(spy.count(), 2);
    }

    void stampsAndNotices()
    {
        const QDateTime when(QDate(2026, 1, 2), QTime(3, 4, 5, 6));
        LogStamper stamper;
        QCOMPARE(stamper.stamp(QStringLiteral("a\r"), Rx, true, when),
                 QStringLiteral("[2026-01-02 03:04:05.006]R a"));
        // The held-back CR ends the line: a notice does not need its own break...
        QCOMPARE(stamper.stamp(QStringLiteral("\nb"), Tx, true, when),
                 QStringLiteral("\n[2026-01-02 03:04:05.006]T b"));
        // ...but mid-line it does, and what follows starts a fresh line.
        QCOMPARE(stamper.notice(QStringLiteral("gone")), QStringLiteral("\ngone\n"));
        QCOMPARE(stamper.notice(QStringLiteral("back")), QStringLiteral("back\n"));
        QCOMPARE(stamper.stamp(QStringLiteral("c"), Rx, false, when), QStringLiteral("c"));
    }

    void sendConversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hex");
        QTest::addColumn<QString>("lineEnd");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("echo");
        QTest::newRow("text+crlf") << "hi" << false << "\r\n" << QByteArray("hi\r\n") << "hi\r\n";
        QTest::newRow("text, no ending") << "hi" << false << QString() << QByteArray("hi") << "hi\n";
        QTest::newRow("hex") << "0a ff" << true << "\r\n" << QByteArray("\x0a\xff", 2) << "0A FF \n";
        QTest::newRow("no hex at all") << "  " << true << QString() << QByteArray() << QString();
    }
    void sendConversion()
    {
        QFETCH(QString, text);
        QFETCH(bool, hex);
        QFETCH(QString, lineEnd);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, echo);
        const SendConverter::Output out = SendConverter::convert(text, hex, lineEnd);
        QCOMPARE(out.bytes, bytes);
        QCOMPARE(SendConverter::echoLine(out.shown, false), echo);
    }

    void badGroupsAreShortenedAndCapped()
    {
        const QStringList bad = {QString(30, QLatin1Char('x')), "g", "h", "i", "j", "k"};
        const QString text = SendConverter::describeBadGroups(bad);
        QVERIFY(text.startsWith(QLatin1Char('"') + QString(24, QLatin1Char('x')) + QChar(0x2026)));
        QVERIFY(!text.contains(QLatin1String("\"k\"")));
        QVERIFY(text.endsWith(QChar(0x2026)));
    }
};

QTEST_GUILESS_MAIN(TestSessionCore)
#include "tst_sessioncore.moc"
