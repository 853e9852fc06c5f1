#include "DataHandlerWorker.h"
#include "DisplayWorkerHost.h"
#include "HexLineFormatter.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

namespace {

QByteArray bytes(int from, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out.append(char(from + i));
    return out;
}

// Bytes on each display line ("00 01 02 \n" -> 3), for texts that end with "\n".
QList<int> lineLengths(const QString& text)
{
    QList<int> out;
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (const QString& line : lines) {
        if (!line.isEmpty() && !line.endsWith(QLatin1Char(' ')))
            return {-1}; // not hex display form
        out << int(line.size() / 3);
    }
    return out;
}

QString emitted(const QSignalSpy& spy)
{
    QString all;
    for (const auto& args : spy)
        all += args.at(0).toString();
    return all;
}

} // namespace

class TestDataHandlerWorker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formatterCompletesAnOpenLine()
    {
        HexLineFormatter f;
        QString out;
        f.append(out, bytes(0, 5).constData(), 5, 16);
        QCOMPARE(out, QStringLiteral("00 01 02 03 04 \n"));
        QCOMPARE(f.column(), 5);
        out.clear();
        f.append(out, bytes(5, 20).constData(), 20, 16);
        QCOMPARE(lineLengths(out), QList<int>({11, 9}));
        QVERIFY(out.startsWith(QStringLiteral("05 06 07 08 09 0A 0B 0C 0D 0E 0F \n10 ")));
        QCOMPARE(f.column(), 9);
    }

    void formatterUpperCaseAndExactLines()
    {
        HexLineFormatter f;
        QString out;
        const QByteArray data = QByteArray::fromHex("00abff7f80");
        f.append(out, data.constData(), data.size(), 16);
        QCOMPARE(out, QStringLiteral("00 AB FF 7F 80 \n"));

        HexLineFormatter g;
        QString full;
        g.append(full, bytes(0, 32).constData(), 32, 16);
        // Two full lines, each closed, plus the chunk's own line end.
        QCOMPARE(lineLengths(full), QList<int>({16, 16, 0}));
        QCOMPARE(g.column(), 0);
    }

    void formatterLineLengthChangeMidLine()
    {
        HexLineFormatter f;
        QString out;
        f.append(out, bytes(0, 20).constData(), 20, 32);
        QCOMPARE(f.column(), 20);
        out.clear();
        // Now 16 per line: the 4 bytes that complete the current 16-byte column first.
        f.append(out, bytes(20, 8).constData(), 8, 16);
        QCOMPARE(lineLengths(out), QList<int>({8}));
        QCOMPARE(f.column(), 12);
        out.clear();
        f.append(out, bytes(28, 4).constData(), 4, 16);
        QCOMPARE(lineLengths(out), QList<int>({4, 0}));
        QCOMPARE(f.column(), 0);
    }

    void workerHexWithoutPauseContinuesTheLine()
    {
        DataHandlerWorker w;
        QSignalSpy spy(&w, &DataHandlerWorker::dataProcessed);
        w.processData(bytes(0, 5), true, false, false, 16);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(lineLengths(spy.at(0).at(0).toString()), QList<int>({5}));
        w.processData(bytes(5, 20), true, false, false, 16);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(lineLengths(spy.at(1).at(0).toString()), QList<int>({11, 9}));
    }

    void workerHexAfterPauseStartsAfresh()
    {
        DataHandlerWorker w;
        QSignalSpy spy(&w, &DataHandlerWorker::dataProcessed);
        w.processData(bytes(0, 5), true, false, false, 16);
        w.processData(bytes(5, 20), true, false, true, 16);
        QCOMPARE(lineLengths(spy.at(1).at(0).toString()), QList<int>({16, 4}));
        QVERIFY(spy.at(1).at(0).toString().startsWith(QStringLiteral("05 06 ")));
    }

    void workerHexOtherLineLengths()
    {
        for (int perLine : {32, 48, 96}) {
            DataHandlerWorker w;
            QSignalSpy spy(&w, &DataHandlerWorker::dataProcessed);
            w.processData(bytes(0, 200), true, false, false, perLine);
            QList<int> expected;
            int left = 200;
            while (left >= perLine) {
                expected << perLine;
                left -= perLine;
            }
            expected << left;
            QCOMPARE(lineLengths(spy.at(0).at(0).toString()), expected);
        }
    }

    void workerBadLineLengthDoesNotCrash()
    {
        DataHandlerWorker w;
        QSignalSpy spy(&w, &DataHandlerWorker::dataProcessed);
        w.processData(bytes(0, 20), true, false, false, 0);
        w.processData(bytes(0, 3), true, false, false, -5);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(lineLengths(spy.at(0).at(0).toString()), QList<int>({16, 4}));
    }

    void workerAutoWrapAddsALineEnd()
    {
        DataHandlerWorker w;
        QSignalSpy spy(&w, &DataHandlerWorker::dataProcessed);
        w.processData(QByteArray("\x01\x02", 2), true, true, false, 16);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("01 02 \n\n"));
        w.processData(QByteArray("abc"), false, true, false, 16);
        QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("abc\n"));
        w.processData(QByteArray("abc"), false, false, false, 16);
        QCOMPARE(spy.at(2).at(0).toString(), QStringLiteral("abc"));
    }

    void workerEmptyChunkEmitsNothing()
    {
        DataHandlerWorker w;
        QSignalSpy spy(&w, &DataHandlerWorker::dataProcessed);
        w.processData(QByteArray(), true, true, true, 16);
        w.processData(QByteArray(), false, true, false, 16);
        QCOMPARE(spy.count(), 0);
    }

    void workerSplitUtf8IsDecodedWhole()
    {
        DataHandlerWorker w;
        QSignalSpy spy(&w, &DataHandlerWorker::dataProcessed);
        // "€" = E2 82 AC, split after its first byte.
        w.processData(QByteArray("a\xE2", 2), false, false, false, 16);
        w.processData(QByteArray("\x82\xAC"
                                 "b",
                                 3),
                      false, false, false, 16);
        QCOMPARE(emitted(spy), QStringLiteral("a\u20ACb"));

        // A four-byte character over three chunks.
        spy.clear();
        w.processData(QByteArray("\xF0", 1), false, false, false, 16);
        w.processData(QByteArray("\x9F\x98", 2), false, false, false, 16);
        w.processData(QByteArray("\x80", 1), false, false, false, 16);
        QCOMPARE(emitted(spy), QString::fromUtf8("\xF0\x9F\x98\x80"));
        QVERIFY(!emitted(spy).contains(QChar::ReplacementCharacter));
    }

    void workerInvalidUtf8BecomesReplacement()
    {
        DataHandlerWorker w;
        QSignalSpy spy(&w, &DataHandlerWorker::dataProcessed);
        w.processData(QByteArray("x\xFFy", 3), false, false, false, 16);
        QCOMPARE(emitted(spy), QStringLiteral("x\uFFFDy"));
    }

    void workerSwitchToHexDropsHalfCharacter()
    {
        DataHandlerWorker w;
        QSignalSpy spy(&w, &DataHandlerWorker::dataProcessed);
        w.processData(QByteArray("\xE2", 1), false, false, false, 16);
        w.processData(QByteArray("A", 1), true, false, true, 16);
        QCOMPARE(spy.last().at(0).toString(), QStringLiteral("41 \n"));
        spy.clear();
        w.processData(QByteArray("\x82\xAC", 2), false, false, false, 16);
        const QString text = emitted(spy);
        QVERIFY(!text.contains(QChar(0x20AC)));
        QVERIFY(text.contains(QChar::ReplacementCharacter));
    }

    void workerOnItsThreadKeepsOrder()
    {
        QThread thread;
        auto* w = new DataHandlerWorker;
        w->moveToThread(&thread);
        thread.start();
        QStringList out;
        connect(w, &DataHandlerWorker::dataProcessed, this, [&out](const QString& s) { out << s; });
        QByteArray all;
        for (int i = 0; i < 300; ++i) {
            // Chunks cut at arbitrary places, through multi-byte characters too.
            const QByteArray piece = QStringLiteral("%1:\u00E9\u20AC;").arg(i).toUtf8();
            all += piece;
        }
        QString expected = QString::fromUtf8(all);
        for (qsizetype pos = 0; pos < all.size(); pos += 7) {
            QMetaObject::invokeMethod(w, "processData", Qt::QueuedConnection,
                                      Q_ARG(QByteArray, all.mid(pos, 7)), Q_ARG(bool, false),
                                      Q_ARG(bool, false), Q_ARG(bool, false), Q_ARG(int, 16));
        }
        QTRY_COMPARE(out.join(QString()), expected);
        thread.quit();
        thread.wait();
        delete w;
    }

    // A line of the program's own queued after a burst of chunks arrives after
    // all of their text; once stopped the host joins its thread and takes no more.
    void hostRunsAfterPendingWorkAndStops()
    {
        DisplayWorkerHost host(nullptr, false);
        QVERIFY(host.thread()->isRunning());
        QCOMPARE(host.worker()->thread(), host.thread());
        QStringList out;
        connect(
            host.worker(), &DataHandlerWorker::dataProcessed, this, [&out](const QString& s) { out << s; },
            Qt::QueuedConnection);
        for (int i = 0; i < 200; ++i)
            QMetaObject::invokeMethod(host.worker(), "processData", Qt::QueuedConnection,
                                      Q_ARG(QByteArray, QByteArray::number(i)), Q_ARG(bool, false),
                                      Q_ARG(bool, false), Q_ARG(bool, false), Q_ARG(int, 16));
        bool ran = false;
        qsizetype seenBefore = -1;
        host.afterPending(this, [&] {
            ran = true;
            seenBefore = out.size();
            QCOMPARE(QThread::currentThread(), thread());
        });
        QTRY_VERIFY(ran);
        QCOMPARE(seenBefore, 200);

        QPointer<QThread> joined = host.thread();
        host.stop();
        QVERIFY(!host.worker());
        QVERIFY(joined.isNull());
        bool late = false;
        host.afterPending(this, [&late] { late = true; });
        QCoreApplication::processEvents();
        QVERIFY(!late);
    }
};

QTEST_GUILESS_MAIN(TestDataHandlerWorker)
#include "tst_datahandlerworker.moc"
