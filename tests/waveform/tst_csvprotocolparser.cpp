#include "CsvProtocolParser.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

namespace {

QList<QByteArray> drainAll(ProtocolParser& parser)
{
    QList<QByteArray> frames;
    while (parser.hasFrames())
        frames.append(parser.takeFrame());
    return frames;
}

} // namespace

class TestCsvProtocolParser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void delimitersFixedAtConstruction()
    {
        CsvProtocolParser parser;
        QCOMPARE(parser.startDelimiter(), QByteArray("{"));
        QCOMPARE(parser.endDelimiter(), QByteArray("}"));
    }

    void textAroundFramesIsDiscarded()
    {
        CsvProtocolParser parser;
        QSignalSpy ready(&parser, &ProtocolParser::frameReady);
        parser.handleData("abc{1,2}def{3}");
        QCOMPARE(parser.pendingFrameCount(), 2);
        QCOMPARE(ready.count(), 2);
        QCOMPARE(ready.at(0).at(0).toByteArray(), QByteArray("1,2"));
        QCOMPARE(ready.at(1).at(0).toByteArray(), QByteArray("3"));
        QCOMPARE(drainAll(parser), QList<QByteArray>({"1,2", "3"}));
        QCOMPARE(parser.bufferedByteCount(), 0);
    }

    void frameSplitAcrossChunks()
    {
        CsvProtocolParser parser;
        parser.handleData("{1,2");
        QVERIFY(!parser.hasFrames());
        QCOMPARE(parser.bufferedByteCount(), 4);
        parser.handleData(",3}");
        QCOMPARE(drainAll(parser), QList<QByteArray>({"1,2,3"}));
        QCOMPARE(parser.bufferedByteCount(), 0);
    }

    void frameSplitByteByByte()
    {
        CsvProtocolParser parser;
        const QByteArray stream = "x{10,-2}y{ 3.5 ,4}{5}zz{6";
        for (char c : stream)
            parser.handleData(QByteArray(1, c));
        QCOMPARE(drainAll(parser), QList<QByteArray>({"10,-2", "3.5,4", "5"}));
        QCOMPARE(parser.bufferedByteCount(), 2); // "{6" waits for its end
    }

    void whiteSpaceIsRemoved_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("spaces inside numbers") << QByteArray("{ 1 . 5 , 2 }") << QByteArray("1.5,2");
        QTest::newRow("tab") << QByteArray("{ 1.5,\t-3 , 20 }") << QByteArray("1.5,-3,20");
        QTest::newRow("all six kinds") << QByteArray("{\t1\n,\v2\f,\r3 }") << QByteArray("1,2,3");
        QTest::newRow("crlf between fields") << QByteArray("{1,\r\n2}") << QByteArray("1,2");
        QTest::newRow("nothing to clean") << QByteArray("{1.25,-7,8e3}") << QByteArray("1.25,-7,8e3");
    }

    void whiteSpaceIsRemoved()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, frame);
        CsvProtocolParser parser;
        parser.handleData(input);
        QCOMPARE(drainAll(parser), QList<QByteArray>({frame}));
    }

    void emptyFrameReportsAndScanContinues()
    {
        CsvProtocolParser parser;
        QSignalSpy errors(&parser, &ProtocolParser::parseError);
        QSignalSpy ready(&parser, &ProtocolParser::frameReady);
        parser.handleData("a{}b{4}");
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Empty CSV frame"));
        QCOMPARE(ready.count(), 1);
        QCOMPARE(drainAll(parser), QList<QByteArray>({"4"}));
        QCOMPARE(parser.bufferedByteCount(), 0);
    }

    void blankFrameCountsAsEmpty()
    {
        // Only white space between the braces: no number, so no frame either.
        CsvProtocolParser parser;
        QSignalSpy errors(&parser, &ProtocolParser::parseError);
        parser.handleData("{ \t\r\n }{7}");
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Empty CSV frame"));
        QCOMPARE(drainAll(parser), QList<QByteArray>({"7"}));
    }

    void nestedStartBelongsToContent()
    {
        CsvProtocolParser parser;
        parser.handleData("{1,{2,3}");
        QCOMPARE(drainAll(parser), QList<QByteArray>({"1,{2,3"}));
        parser.handleData("{{}");
        QCOMPARE(drainAll(parser), QList<QByteArray>({"{"}));
    }

    void strayEndDelimiterIsNoise()
    {
        CsvProtocolParser parser;
        QSignalSpy errors(&parser, &ProtocolParser::parseError);
        parser.handleData("}}1,2}{3}}");
        QCOMPARE(drainAll(parser), QList<QByteArray>({"3"}));
        QCOMPARE(errors.count(), 0);
        QCOMPARE(parser.bufferedByteCount(), 0);
    }

    void textWithoutStartIsDroppedAtOnce()
    {
        CsvProtocolParser parser;
        parser.handleData("hello world, no frames here\r\n");
        QCOMPARE(parser.bufferedByteCount(), 0);
        parser.handleData("junk before {1,2");
        QCOMPARE(parser.bufferedByteCount(), 4); // only the open frame is kept
        parser.handleData("}");
        QCOMPARE(drainAll(parser), QList<QByteArray>({"1,2"}));
    }

    void emptyChunkChangesNothing()
    {
        CsvProtocolParser parser;
        parser.handleData("{1");
        QSignalSpy ready(&parser, &ProtocolParser::frameReady);
        parser.handleData(QByteArray());
        QCOMPARE(parser.bufferedByteCount(), 2);
        QCOMPARE(ready.count(), 0);
    }

    void overlongFrameIsDiscarded()
    {
        CsvProtocolParser parser;
        QSignalSpy errors(&parser, &ProtocolParser::parseError);
        parser.handleData("{" + QByteArray(CsvProtocolParser::kMaxFrameLength + 10, '7'));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("CSV frame too long, discarded"));
        QCOMPARE(parser.bufferedByteCount(), 0);
        QVERIFY(!parser.hasFrames());
        // The stream recovers with the next frame; the stale end is noise.
        parser.handleData("8,9}{1,2}");
        QCOMPARE(drainAll(parser), QList<QByteArray>({"1,2"}));
    }

    void overlongFrameResynchronisesAtLastStart()
    {
        CsvProtocolParser parser;
        QSignalSpy errors(&parser, &ProtocolParser::parseError);
        parser.handleData("{" + QByteArray(40000, 'x'));
        QCOMPARE(errors.count(), 0);
        parser.handleData(QByteArray(40000, 'y') + "{5,6");
        QCOMPARE(errors.count(), 1);
        QCOMPARE(parser.bufferedByteCount(), 4);
        parser.handleData("}");
        QCOMPARE(drainAll(parser), QList<QByteArray>({"5,6"}));
    }

    void longFrameWithinLimitIsKept()
    {
        CsvProtocolParser parser;
        QSignalSpy errors(&parser, &ProtocolParser::parseError);
        QByteArray content;
        while (content.size() < CsvProtocolParser::kMaxFrameLength - 100)
            content += "1.5,";
        // Arrives in pieces; still one frame.
        parser.handleData("{" + content.left(30000));
        parser.handleData(content.mid(30000));
        parser.handleData("2}");
        QCOMPARE(errors.count(), 0);
        QCOMPARE(drainAll(parser), QList<QByteArray>({content + "2"}));
    }

    void hundredMegabytesWithoutStartStayBounded()
    {
        CsvProtocolParser parser;
        QByteArray chunk(1 << 20, 'a');
        for (int i = 0; i < chunk.size(); i += 97)
            chunk[i] = (i % 3) ? '}' : '\n';
        int peak = 0;
        for (int i = 0; i < 100; ++i) {
            parser.handleData(chunk);
            peak = qMax(peak, parser.bufferedByteCount());
        }
        QCOMPARE(peak, 0);
        QVERIFY(!parser.hasFrames());
    }

    void unterminatedStreamStaysBounded()
    {
        CsvProtocolParser parser;
        QSignalSpy errors(&parser, &ProtocolParser::parseError);
        QByteArray chunk(100000, '5');
        chunk[0] = '{';
        chunk[5000] = '{';
        int peak = 0;
        for (int i = 0; i < 200; ++i) {
            parser.handleData(chunk);
            peak = qMax(peak, parser.bufferedByteCount());
        }
        QVERIFY(peak <= CsvProtocolParser::kMaxFrameLength);
        QVERIFY(errors.count() >= 100);
        QVERIFY(!parser.hasFrames());
    }

    void binaryNoiseNeverBreaksTheParser()
    {
        CsvProtocolParser parser;
        QRandomGenerator rng(1234);
        qint64 total = 0;
        for (int round = 0; round < 400; ++round) {
            QByteArray chunk(int(rng.bounded(1, 40000)), Qt::Uninitialized);
            for (char& c : chunk)
                c = char(rng.bounded(256));
            parser.handleData(chunk);
            total += chunk.size();
            QVERIFY(parser.bufferedByteCount() <= CsvProtocolParser::kMaxFrameLength);
            const QList<QByteArray> frames = parser.takeFrames(1 << 30);
            for (const QByteArray& f : frames) {
                QVERIFY(!f.isEmpty());
                QVERIFY(!f.contains('}'));
                for (char ws : {' ', '\t', '\n', '\v', '\f', '\r'})
                    QVERIFY(!f.contains(ws));
            }
        }
        QVERIFY(total > 1000000);
    }

    void chunkingDoesNotChangeTheFrames()
    {
        QRandomGenerator rng(99);
        QByteArray stream;
        QList<QByteArray> expected;
        for (int i = 0; i < 3000; ++i) {
            if (rng.bounded(3) == 0)
                stream += "noise " + QByteArray::number(i) + "\r\n";
            const int fields = int(rng.bounded(1, 20));
            QByteArray frame;
            for (int f = 0; f < fields; ++f) {
                if (f)
                    frame += ',';
                frame += QByteArray::number(rng.bounded(2000.0) - 1000.0, 'g', 6);
            }
            expected.append(frame);
            stream += "{ " + QByteArray(frame).replace(",", " ,\t") + " }";
        }
        for (int trial = 0; trial < 5; ++trial) {
            CsvProtocolParser parser;
            int at = 0;
            while (at < stream.size()) {
                const int len = trial == 0 ? int(stream.size()) : int(rng.bounded(1, 200));
                parser.handleData(stream.mid(at, len));
                at += len;
            }
            QCOMPARE(drainAll(parser), expected);
            QCOMPARE(parser.bufferedByteCount(), 0);
        }
    }

    void resetEmptiesBufferAndQueue()
    {
        CsvProtocolParser parser;
        parser.handleData("{1}{2}{3");
        QCOMPARE(parser.pendingFrameCount(), 2);
        parser.reset();
        QCOMPARE(parser.pendingFrameCount(), 0);
        QCOMPARE(parser.bufferedByteCount(), 0);
        QVERIFY(!parser.hasFrames());
        // The old open frame is gone: its end now closes nothing.
        parser.handleData("}{4}");
        QCOMPARE(drainAll(parser), QList<QByteArray>({"4"}));
    }

    void queueAccessors()
    {
        CsvProtocolParser parser;
        QCOMPARE(parser.takeFrame(), QByteArray());
        QVERIFY(parser.takeFrames(10).isEmpty());
        parser.handleData("{1}{2}{3}{4}{5}");
        QCOMPARE(parser.pendingFrameCount(), 5);
        QCOMPARE(parser.takeFrame(), QByteArray("1"));
        QCOMPARE(parser.takeFrames(2), QList<QByteArray>({"2", "3"}));
        QCOMPARE(parser.pendingFrameCount(), 2);
        QCOMPARE(parser.takeFrames(0), QList<QByteArray>());
        QCOMPARE(parser.takeFrames(100), QList<QByteArray>({"4", "5"}));
        QVERIFY(!parser.hasFrames());
    }

    void frameBlocks()
    {
        CsvProtocolParser parser;
        parser.handleData("{1,2}{ 3 }{4,5,6}{7}");
        QCOMPARE(parser.takeFrame(), QByteArray("1,2"));
        ProtocolParser::FrameBlock block = parser.takeFrameBlock(2);
        QCOMPARE(block.count(), 2);
        QCOMPARE(block.frame(0), QByteArray("3"));
        QCOMPARE(block.frame(1), QByteArray("4,5,6"));
        QCOMPARE(QByteArray(block.frameBegin(1), block.frameEnd(1) - block.frameBegin(1)),
                 QByteArray("4,5,6"));
        parser.handleData("{8}");
        block = parser.takeFrameBlock(1000);
        QCOMPARE(block.count(), 2);
        QCOMPARE(block.frame(0), QByteArray("7"));
        QCOMPARE(block.frame(1), QByteArray("8"));
        QCOMPARE(parser.takeFrameBlock(5).count(), 0);
        QCOMPARE(parser.takeFrameBlock(-1).count(), 0);
        // Taking everything hands the storage over; new frames start afresh.
        parser.handleData("{9}{10}");
        block = parser.takeFrameBlock(2);
        QCOMPARE(block.count(), 2);
        QCOMPARE(block.frame(1), QByteArray("10"));
        parser.handleData("{11}");
        QCOMPARE(parser.takeFrame(), QByteArray("11"));
        QCOMPARE(block.frame(0), QByteArray("9"));
    }

    void queueStaysInOrderWhileTakenOneByOne()
    {
        // Taken frames are squeezed out of the storage now and then; order
        // and content must survive that.
        CsvProtocolParser parser;
        int produced = 0, taken = 0;
        for (int round = 0; round < 60; ++round) {
            QByteArray chunk;
            for (int i = 0; i < 700; ++i, ++produced)
                chunk += "{" + QByteArray::number(produced) + ",x}";
            parser.handleData(chunk);
            const int take = round % 3 == 2 ? 1000 : 500;
            for (int i = 0; i < take && parser.hasFrames(); ++i, ++taken)
                QCOMPARE(parser.takeFrame(), QByteArray::number(taken) + ",x");
            QCOMPARE(parser.pendingFrameCount(), produced - taken);
        }
        const QList<QByteArray> rest = parser.takeFrames(1 << 30);
        for (const QByteArray& f : rest)
            QCOMPARE(f, QByteArray::number(taken++) + ",x");
        QCOMPARE(taken, produced);
    }

    void feedingFromAnotherThread()
    {
        // As in the session: the parser lives on its own thread and gets
        // chunks by queued calls while the GUI thread takes frames.
        QThread thread;
        auto* parser = new CsvProtocolParser;
        parser->moveToThread(&thread);
        connect(&thread, &QThread::finished, parser, &QObject::deleteLater);
        thread.start();

        const int frameCount = 20000;
        QByteArray stream;
        for (int i = 0; i < frameCount; ++i)
            stream += "t{" + QByteArray::number(i) + "," + QByteArray::number(-i) + "}\n";
        for (int at = 0; at < stream.size(); at += 777) {
            const QByteArray chunk = stream.mid(at, 777);
            QMetaObject::invokeMethod(parser, "handleData", Qt::QueuedConnection, Q_ARG(QByteArray, chunk));
        }

        QList<QByteArray> got;
        QElapsedTimer timer;
        timer.start();
        while (got.size() < frameCount && timer.elapsed() < 60000) {
            got += parser->takeFrames(100);
            QTest::qWait(1);
        }
        thread.quit();
        thread.wait();
        QCOMPARE(got.size(), frameCount);
        for (int i = 0; i < frameCount; ++i)
            QCOMPARE(got.at(i), QByteArray::number(i) + "," + QByteArray::number(-i));
    }
};

QTEST_GUILESS_MAIN(TestCsvProtocolParser)
#include "tst_csvprotocolparser.moc"
